#pragma once

#include "globe/GlobeUnits.h"
#include "globe/LLPoint.h"

#include <QString>

namespace wl {

class LocaleInfo;

// The map's measurement texts: the position under the pointer and the heading and distance
// from home, in the window's distance unit.
class MapMeasure
{
public:
    // Distance unit codes of the settings: 0 statute miles, 1 nautical miles, 2 kilometres.
    static GlobeUnits unitOf(int code);
    static QString unitWords(int code); // " miles", " nautical miles", " kilometers"

    // Degrees and minutes with their hemisphere letters, e.g. "27º 12' N   80º 16' W ".
    static QString positionText(const LLPoint& p);
    // The clockwise heading from true north from home to the point, in whole degrees as the
    // status line rounds it, 0 to 359.
    static float heading(const LLPoint& home, const LLPoint& point);
    // Great-circle distance in the unit of the code.
    static double distance(const LLPoint& home, const LLPoint& point, int unitCode);
    // "045º / 1234.5 miles from <home>".
    static QString bearingText(const LLPoint& home, const LLPoint& point, int unitCode,
                               const QString& homeName, const LocaleInfo& locale);
    // Home from its decimal-degree texts (North and West positive); false when either text
    // is not a number.
    static bool homePoint(const QString& latText, const QString& lonText, const LocaleInfo& locale,
                          LLPoint& home);
};

} // namespace wl
