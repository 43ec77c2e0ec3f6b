#include "globe/GlobeClassRegistry.h"

#include "globe/GlobeClasses.h"
#include "globe/GlobeException.h"

#include <algorithm>

namespace wl {

GlobeClassRegistry::GlobeClassRegistry()
{
    for (const std::string& name : GlobeClasses::names())
        add(name, [name](ObjectLayer& layer) { return GlobeClasses::create(name, layer); });
}

void GlobeClassRegistry::add(const std::string& name, Factory factory)
{
    if (contains(name))
        throw GlobeException("TGlobeControl.RegisterGlobeClass: Class " + name +
                             " already registered");
    m_names.push_back(name);
    m_factories.push_back(std::move(factory));
}

bool GlobeClassRegistry::contains(std::string_view name) const
{
    return std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

GlobePersistent* GlobeClassRegistry::create(std::string_view name, ObjectLayer& layer) const
{
    const auto it = std::find(m_names.begin(), m_names.end(), name);
    if (it == m_names.end())
        return nullptr;
    return m_factories[static_cast<std::size_t>(it - m_names.begin())](layer);
}

const GlobeClassRegistry& GlobeClassRegistry::standard()
{
    static const GlobeClassRegistry registry;
    return registry;
}

} // namespace wl
