#include "globe/GlobeClasses.h"

#include "globe/GlobeBrush.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeGrid.h"
#include "globe/GlobePen.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolygon.h"
#include "globe/GlobeSymbol.h"
#include "globe/ObjectLayer.h"

#include <memory>

namespace wl {

namespace {

template <class T> GlobePersistent* addAttribute(ObjectLayer& layer)
{
    auto p = std::make_unique<T>(layer);
    T* r = p.get();
    layer.adoptAttribute(std::move(p));
    return r;
}

template <class T> GlobePersistent* addObject(ObjectLayer& layer)
{
    auto p = std::make_unique<T>(layer);
    T* r = p.get();
    layer.adoptObject(std::move(p));
    return r;
}

} // namespace

const std::vector<std::string>& GlobeClasses::names()
{
    static const std::vector<std::string> n{
        "TGlobeBrush",    "TGlobeFont",   "TGlobeGrid",      "TGlobePen",  "TGlobePolygon",
        "TGlobePolyLine", "TGlobeSymbol", "TGlobePointText", "TGlobeText",
    };
    return n;
}

bool GlobeClasses::isAttribute(std::string_view name)
{
    return name == "TGlobeBrush" || name == "TGlobeFont" || name == "TGlobePen";
}

GlobePersistent* GlobeClasses::create(std::string_view name, ObjectLayer& layer)
{
    if (name == "TGlobeBrush")
        return addAttribute<GlobeBrush>(layer);
    if (name == "TGlobeFont")
        return addAttribute<GlobeFont>(layer);
    if (name == "TGlobePen")
        return addAttribute<GlobePen>(layer);
    if (name == "TGlobeGrid")
        return addObject<GlobeGrid>(layer);
    if (name == "TGlobePolygon")
        return addObject<GlobePolygon>(layer);
    if (name == "TGlobePolyLine")
        return addObject<GlobePolyLine>(layer);
    if (name == "TGlobeSymbol")
        return addObject<GlobeSymbol>(layer);
    if (name == "TGlobePointText")
        return addObject<GlobePointText>(layer);
    if (name == "TGlobeText")
        return addObject<GlobeText>(layer);
    return nullptr;
}

} // namespace wl
