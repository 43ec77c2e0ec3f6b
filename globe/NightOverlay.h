#pragma once

#include "globe/LLPoint.h"

#include <QColor>

class QPainter;

namespace wl {

class PrjModel;

// The night as a translucent veil over the map, darkening with the sun's depth below the
// horizon through civil, nautical and astronomical twilight (the sun 0, 6, 12 and 18 degrees
// down) to full night, so that the greyline shows as a soft band and whatever is drawn over
// the veil stays readable.
class NightOverlay
{
public:
    enum class Band
    {
        Day,
        Civil,
        Nautical,
        Astronomical,
        Night,
    };
    // Opacity of the veil in full night, of 255.
    static constexpr int NightAlpha = 150;
    // Degrees below the horizon where the twilight ends and the night is darkest.
    static constexpr double TwilightDepth = 18;
    // The sun's height is sampled on a grid of this many pixels and blended between samples.
    static constexpr int Cell = 8;

    static Band bandOf(double sunAltitude);
    // Opacity (0 to NightAlpha) for the sun at this height in degrees.
    static double opacity(double sunAltitude);
    // The sun's height in degrees at p with the sun overhead at subsolar.
    static double sunAltitude(const LLPoint& p, const LLPoint& subsolar);

    // Veils the mappable area of a w x h surface seen through model.
    static void paint(QPainter& painter, PrjModel& model, int w, int h, const LLPoint& subsolar,
                      const QColor& night);
};

} // namespace wl
