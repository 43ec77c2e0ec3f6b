#include "globe/FlatPrj.h"

#include "globe/Geodesy.h"
#include "globe/GlobeMath.h"

#include <cmath>

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
