#include "globe/FlatPrj.h"

#include "globe/Geodesy.h"
#include "globe/GlobeMath.h"
#include "globe/LLPointList.h"
#include "globe/PrjHost.h"

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
    if (x != m_xRotation || y != m_yRotation) {
        // The asked point may lie outside the map; the origin is computed without the extent
        // test that drawing applies.
        const GURect& e = extent();
        const long double halfW = host().surfaceWidth() / 2, halfH = host().surfaceHeight() / 2;
        m_cx = gmath::saturate32(std::llround(halfW - y * scale));
        m_cy = gmath::saturate32(
            std::llround(halfH + northing(std::clamp(x, e.top, e.bottom)) * scale));
        m_askedX = x;
        m_askedY = y;
        PrjModel::setView(x, y, scale, 0);
        return;
    }
    PrjModel::setView(x, y, scale, 0);
    centreRotationsOnOrigin();
}

void FlatPrj::setOrigin(std::int32_t cx, std::int32_t cy)
{
    PrjModel::setOrigin(cx, cy);
    if (m_unitsPerPixel != 0)
        centreRotationsOnOrigin();
}

void FlatPrj::centreRotationsOnOrigin()
{
    const long double east = (host().surfaceWidth() / 2 - static_cast<long double>(m_cx)) / m_scale;
    const long double north =
        (static_cast<long double>(m_cy) - host().surfaceHeight() / 2) / m_scale;
    // The origin is a whole pixel: a centre within a pixel of the point last asked for is that
    // point, so the rotations read back exactly what was set after a zoom or resize.
    const long double pixel = 1 / m_scale;
    m_yRotation =
        std::fabs(east - m_askedY) <= pixel ? m_askedY : gmath::saturate32(std::llround(east));
    const GURect& e = extent();
    m_xRotation = std::fabs(north - northing(std::clamp(m_askedX, e.top, e.bottom))) <= pixel
                      ? m_askedX
                      : gmath::saturate32(std::llround(latitudeOf(north)));
}

namespace {

struct GUPoint
{
    long double lon;
    long double lat;
};

// Cuts a ring to lon >= edge (keepAbove) or lon <= edge: one Sutherland-Hodgman step.
std::vector<GUPoint> clipAtMeridian(const std::vector<GUPoint>& in, long double edge,
                                    bool keepAbove)
{
    std::vector<GUPoint> out;
    const std::size_t n = in.size();
    out.reserve(n + 4);
    const auto inside = [&](const GUPoint& p) { return keepAbove ? p.lon >= edge : p.lon <= edge; };
    for (std::size_t i = 0; i < n; ++i) {
        const GUPoint& a = in[i];
        const GUPoint& b = in[(i + 1) % n];
        const bool ia = inside(a), ib = inside(b);
        if (ia)
            out.push_back(a);
        if (ia != ib) {
            const long double t = (edge - a.lon) / (b.lon - a.lon);
            out.push_back({edge, a.lat + t * (b.lat - a.lat)});
        }
    }
    return out;
}

} // namespace

int FlatPrj::projectList(const LLPointList& list, PointCache* cache, Shape shape)
{
    if (shape != Shape::Polygon)
        return PrjModel::projectList(list, cache, shape);
    constexpr long double HalfTurn = GU180, FullTurn = GU360;
    const std::int64_t t = m_unitsPerPixel;
    const GURect& e = extent();
    // The ring made continuous across the date line, thinned to a point per pixel, with its
    // latitudes held to the map so that the fill reaches its top and bottom edges.
    std::vector<GUPoint> ring;
    ring.reserve(static_cast<std::size_t>(list.count()));
    long double shift = 0, lo = 0, hi = 0;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        const LLPoint& p = list[i];
        if (i > 0) {
            const std::int64_t step = std::int64_t{p.lon} - list[i - 1].lon;
            if (step > HalfTurn)
                shift -= FullTurn;
            else if (step < -HalfTurn)
                shift += FullTurn;
        }
        const GUPoint q{p.lon + shift, std::clamp<long double>(p.lat, e.top, e.bottom)};
        if (!ring.empty() && t >= 2 && std::fabs(q.lon - ring.back().lon) < t &&
            std::fabs(q.lat - ring.back().lat) < t)
            continue;
        lo = ring.empty() ? q.lon : std::min(lo, q.lon);
        hi = ring.empty() ? q.lon : std::max(hi, q.lon);
        ring.push_back(q);
    }
    m_runs.clear();
    int count = 0;
    if (ring.empty())
        return 0;
    // A ring that starts on the date line may unwrap wholly beyond one edge: bring its middle
    // onto the map.
    const long double base = -std::round((lo + hi) / 2 / FullTurn) * FullTurn;
    for (const long double offset : {base, base - FullTurn, base + FullTurn}) {
        if (hi + offset <= e.left || lo + offset >= e.right)
            continue;
        std::vector<GUPoint> copy = ring;
        for (GUPoint& q : copy)
            q.lon += offset;
        if (lo + offset < e.left)
            copy = clipAtMeridian(copy, e.left, true);
        if (hi + offset > e.right)
            copy = clipAtMeridian(copy, e.right, false);
        const int start = count;
        for (const GUPoint& q : copy) {
            const ScreenPoint s = toScreen(q.lon, q.lat);
            put(count++, s.x, s.y);
        }
        if (count > start)
            m_runs.push_back({start, count - start});
    }
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
