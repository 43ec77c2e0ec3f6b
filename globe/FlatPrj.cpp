#include "globe/FlatPrj.h"

#include "globe/Geodesy.h"
#include "globe/GlobeMath.h"
#include "globe/LLPointList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace wl {

bool FlatPrj::inExtent(std::int64_t lon, std::int64_t lat) const
{
    const GURect& e = extent();
    return !(lon < e.left || lon > e.right || lat < e.top || lat > e.bottom);
}

ScreenPoint FlatPrj::toScreen(long double lon, long double lat) const
{
    return {gmath::saturate32(std::int64_t{gmath::round32(lon * m_scale)} + m_cx),
            gmath::saturate32(m_cy - std::int64_t{gmath::round32(northing(lat) * m_scale)})};
}

void FlatPrj::setView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z)
{
    (void)z; // flat maps do not roll
    // The pan offset may lie outside the map (a pan by more than the extent), so the origin is
    // computed without the extent test that drawing applies.
    const ScreenPoint origin = toScreen(static_cast<long double>(m_yRotation) - y,
                                        static_cast<long double>(m_xRotation) - x);
    setOrigin(origin.x, origin.y);
    PrjModel::setView(x, y, scale, 0);
}

int FlatPrj::projectList(const LLPointList& list, PointCache* cache, Shape shape)
{
    if (shape != Shape::Polygon)
        return PrjModel::projectList(list, cache, shape);
    constexpr std::int64_t HalfTurn = 180LL * GUPerDegree, FullTurn = 2 * HalfTurn;
    const std::int64_t t = m_unitsPerPixel;
    std::int64_t lastLon = 0, lastLat = 0, shift = 0;
    bool haveLast = false;
    int count = 0;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        const LLPoint& p = list[i];
        if (i > 0) {
            const std::int64_t step = std::int64_t{p.lon} - list[i - 1].lon;
            if (step > HalfTurn)
                shift -= FullTurn;
            else if (step < -HalfTurn)
                shift += FullTurn;
        }
        const std::int64_t lon = p.lon + shift;
        if (haveLast && t >= 2 && std::llabs(lon - lastLon) < t && std::llabs(p.lat - lastLat) < t)
            continue;
        haveLast = true;
        lastLon = lon;
        lastLat = p.lat;
        if (!inExtent(std::clamp(lon, std::int64_t{extent().left}, std::int64_t{extent().right}),
                      p.lat))
            continue;
        const ScreenPoint s = toScreen(static_cast<long double>(lon), p.lat);
        put(count++, s.x, s.y);
    }
    singleRun(count);
    return count;
}

bool FlatPrj::projectLL(std::int32_t lon, std::int32_t lat, int index)
{
    if (!inExtent(lon, lat))
        return false;
    const ScreenPoint p = toScreen(lon, lat);
    put(index, p.x, p.y);
    return true;
}

bool FlatPrj::unproject(int x, int y, std::int32_t& lon, std::int32_t& lat) const
{
    const std::int32_t l = gmath::round32((static_cast<long double>(x) - m_cx) / m_scale);
    const std::int32_t t =
        gmath::round32(latitudeOf(-(static_cast<long double>(y) - m_cy) / m_scale));
    if (!inExtent(l, t))
        return false;
    lon = l;
    lat = t;
    return true;
}

} // namespace wl
