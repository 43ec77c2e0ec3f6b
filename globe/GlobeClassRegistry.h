#pragma once

#include "globe/GlobeAttribute.h"
#include "globe/ObjectLayer.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace wl {

class GlobePersistent;

// The classes a layer file may hold, by the names their blocks carry. The order of
// registration is the order in which a layer file's blocks are written.
class GlobeClassRegistry
{
public:
    // Creates an empty record appended to the layer's objects or attributes.
    using Factory = std::function<GlobePersistent*(ObjectLayer&)>;

    // The nine built-in classes in their block order.
    GlobeClassRegistry();

    // Throws GlobeException when a class of that name is already registered.
    void add(const std::string& name, Factory factory);
    // A record class T constructed from its layer; attributes go to the attribute list.
    template <class T> void add(const std::string& name)
    {
        add(name, [](ObjectLayer& layer) -> GlobePersistent* {
            auto p = std::make_unique<T>(layer);
            T* r = p.get();
            if constexpr (std::is_base_of_v<GlobeAttribute, T>)
                layer.adoptAttribute(std::move(p));
            else
                layer.adoptObject(std::move(p));
            return r;
        });
    }

    bool contains(std::string_view name) const;
    const std::vector<std::string>& names() const { return m_names; }
    // nullptr for an unknown name.
    GlobePersistent* create(std::string_view name, ObjectLayer& layer) const;

    // The registry of the built-in classes alone.
    static const GlobeClassRegistry& standard();

private:
    std::vector<std::string> m_names;
    std::vector<Factory> m_factories;
};

} // namespace wl
