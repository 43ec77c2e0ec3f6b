#pragma once

#include "globe/DrawStyle.h"
#include "globe/LLPoint.h"

#include <cstdint>
#include <optional>
#include <string>

namespace wl {

class GlobeObject;
class GlobeLayer;

// A city taken out of its layer: everything needed to create it again elsewhere, so no
// reference to the object has to outlive a change of the layer.
struct CityRecord
{
    std::string title;
    LLPoint location;
    std::optional<FontData> font; // none: the control's current font
    std::int32_t objectID = 0;
    std::int32_t rowID = 0;
    double value = 0;
    bool hidden = false;

    static CityRecord of(const GlobeObject& city);
};

// Operations on a layer of cities (point texts).
class CityLayer
{
public:
    // A new point text at the end of the layer, with the record's font when it has one.
    static GlobeObject& add(GlobeLayer& layer, const CityRecord& city);
    // Puts the objects in ascending byte-wise order of their titles; equal titles keep their
    // order. Runs without letting any event in, so nothing sees the layer half sorted.
    static void sortByTitle(GlobeLayer& layer);
    // The first object with exactly this title, or -1.
    static int indexOfTitle(const GlobeLayer& layer, const std::string& title);
};

} // namespace wl
