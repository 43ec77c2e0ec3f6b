#pragma once

#include "globe/DrawStyle.h"
#include "globe/LLPoint.h"

#include <cstdint>

namespace wl {

class Canvas;
class LLPointList;
class PrjModel;

// Drawing in longitude and latitude on a surface through a projection: lines that stay whole
// across the date line, great circles, the graticule and the night shadow. Everything draws
// with the canvas's current pen.
class DrawServices
{
public:
    DrawServices(PrjModel& model, Canvas& canvas, int width, int height)
        : m_model(model), m_canvas(canvas), m_width(width), m_height(height)
    {
    }

    // Split where the line crosses 180 degrees and where a point cannot be shown.
    void polyline(const LLPointList& points, std::uint8_t clipCode);
    // steps + 1 points evenly spaced in longitude and latitude, the short way across 180.
    void line(const LLPoint& from, const LLPoint& to, int steps);
    // mode 0 the short arc, 1 the long arc, anything else the whole circle.
    void greatCircle(const LLPoint& from, const LLPoint& to, int mode);
    void graticule(int longitudeStep, int latitudeStep);
    // Shades night and twilight at moment t (days since 30 December 1899, UTC) on every
    // step-th pixel of every step-th row; returns the point with the sun overhead.
    LLPoint nightShadow(GlobeColor night, GlobeColor twilight, int step, double t);

    // The points of a great circle in one-degree steps, as greatCircle draws them.
    static LLPointList greatCirclePoints(const LLPoint& from, const LLPoint& to, int mode);
    static LLPoint subsolarPoint(double t);

private:
    void flush(int& count, std::uint8_t clipCode);
    // Class of a pixel (0 off the map, 1 day, 2 night, 3 twilight) and the sun's height there.
    struct Sample
    {
        int cls;
        long double d;
    };
    Sample classify(int x, int y, const long double* sun) const;

    PrjModel& m_model;
    Canvas& m_canvas;
    int m_width;
    int m_height;
};

} // namespace wl
