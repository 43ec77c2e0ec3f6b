#include "map/CityLayer.h"

#include "globe/GlobeFont.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "map/CityText.h"

#include <algorithm>
#include <vector>

namespace wl {

namespace {

FontData dataOf(const GlobeFont& font)
{
    FontData data;
    data.face = font.face;
    data.styles = font.styles;
    data.angle = font.angle;
    data.size = font.size;
    data.unit = font.unit();
    data.color = font.color;
    return data;
}

bool allPointTexts(const GlobeLayer& layer)
{
    for (int i = 0; i < layer.objectCount(); ++i) {
        if (!dynamic_cast<const GlobePointText*>(layer.object(i)))
            return false;
    }
    return true;
}

bool byTitle(const CityRecord& a, const CityRecord& b)
{
    return CityText::titleLess(a.title, b.title);
}

// A layer of point texts is rebuilt from records: linear in the number of cities.
void rebuildSorted(GlobeLayer& layer)
{
    std::vector<CityRecord> cities;
    cities.reserve(static_cast<std::size_t>(layer.objectCount()));
    for (int i = 0; i < layer.objectCount(); ++i)
        cities.push_back(CityRecord::of(*layer.object(i)));
    std::stable_sort(cities.begin(), cities.end(), byTitle);
    layer.unload();
    for (const CityRecord& city : cities)
        CityLayer::add(layer, city);
}

// Objects of other classes cannot be re-created from a record; they are moved into place.
void moveSorted(GlobeLayer& layer)
{
    std::vector<GlobeObject*> order;
    for (int i = 0; i < layer.objectCount(); ++i)
        order.push_back(layer.object(i));
    std::stable_sort(order.begin(), order.end(), [](const GlobeObject* a, const GlobeObject* b) {
        return CityText::titleLess(a->title(), b->title());
    });
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        layer.moveObject(*order[static_cast<std::size_t>(i)], i);
}

} // namespace

CityRecord CityRecord::of(const GlobeObject& city)
{
    CityRecord r;
    r.title = city.title();
    r.location = city.location();
    if (const auto* text = dynamic_cast<const GlobeText*>(&city); text && text->font)
        r.font = dataOf(*text->font);
    r.objectID = city.objectID;
    r.rowID = city.rowID;
    r.value = city.value;
    r.hidden = city.hidden();
    return r;
}

GlobeObject& CityLayer::add(GlobeLayer& layer, const CityRecord& city)
{
    GlobePointText& t =
        GlobePointText::create(layer, city.location.lat, city.location.lon, city.title);
    if (city.font)
        t.font = &layer.findOrCreateFont(*city.font);
    t.objectID = city.objectID;
    t.rowID = city.rowID;
    t.value = city.value;
    if (city.hidden)
        t.setHidden(true);
    return t;
}

void CityLayer::sortByTitle(GlobeLayer& layer)
{
    if (allPointTexts(layer))
        rebuildSorted(layer);
    else
        moveSorted(layer);
    layer.host().redraw();
}

int CityLayer::indexOfTitle(const GlobeLayer& layer, const std::string& title)
{
    for (int i = 0; i < layer.objectCount(); ++i) {
        if (layer.object(i)->title() == title)
            return i;
    }
    return -1;
}

} // namespace wl
