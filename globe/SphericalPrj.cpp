#include "globe/SphericalPrj.h"

#include "globe/Geodesy.h"
#include "globe/GlobeMath.h"
#include "globe/LLPointList.h"
#include "globe/PointCache.h"
#include "globe/PrjHost.h"

#include <algorithm>
#include <cmath>

namespace wl {

SphericalPrj::SphericalPrj(PrjHost& host)
    : PrjModel(host, GURect{-GlobeRadius, -GlobeRadius, GlobeRadius, GlobeRadius})
{
}

void SphericalPrj::setView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z)
{
    x = std::clamp(x, -GU90, GU90);
    const auto wrapOnce = [](std::int32_t v) {
        if (v > GU180)
            return static_cast<std::int32_t>(v - GU360);
        if (v < -GU180)
            return static_cast<std::int32_t>(v + GU360);
        return v;
    };
    y = wrapOnce(y);
    z = wrapOnce(z);
    storeView(x, y, scale, z);
    m_radiusPx = scale * GlobeRadius;

    // The roll is applied as a turn of the finished picture about the disc centre, so the view
    // centre stays in the middle of the disc whatever the roll.
    const Matrix3 r = quaternionToMatrix(eulerToQuaternion(x, y, 0));
    const long double roll = z * RadianPerGU;
    const long double c = std::cos(roll), s = std::sin(roll);
    Matrix3 m = r;
    for (int col = 0; col < 3; ++col) {
        m[col] = static_cast<double>(r[col] * c - r[3 + col] * s);
        m[3 + col] = static_cast<double>(r[col] * s + r[3 + col] * c);
    }
    m_n = scaleMatrix(transpose(m), 1 / scale);
    m_m = scaleMatrix(m, scale);
    host().viewChanged();
}

bool SphericalPrj::project(const LLPoint& p, int index)
{
    const long double depth = static_cast<long double>(p.x) * m_m[6] +
                              static_cast<long double>(p.y) * m_m[7] +
                              static_cast<long double>(p.z) * m_m[8];
    if (!(depth < 0))
        return false;
    const long double sx = static_cast<long double>(p.x) * m_m[0] +
                           static_cast<long double>(p.y) * m_m[1] +
                           static_cast<long double>(p.z) * m_m[2];
    const long double sy = static_cast<long double>(p.x) * m_m[3] +
                           static_cast<long double>(p.y) * m_m[4] +
                           static_cast<long double>(p.z) * m_m[5];
    put(index, std::int64_t{gmath::round32(sx)} + m_cx, std::int64_t{gmath::round32(sy)} + m_cy);
    return true;
}

bool SphericalPrj::projectLL(std::int32_t lon, std::int32_t lat, int index)
{
    return project(makeLLPoint(lon, lat), index);
}

long double SphericalPrj::pixelsOffSurface(const LLPoint& centre, long double radius) const
{
    // The view is a linear map of the sphere coordinates, so a row moves a projected
    // coordinate by at most its length times the distance between two positions.
    const Matrix3& m = m_m;
    const auto row = [&](int r) {
        return std::sqrt(m[r] * m[r] + m[r + 1] * m[r + 1] + m[r + 2] * m[r + 2]);
    };
    const long double px = centre.x, py = centre.y, pz = centre.z;
    const long double depth = px * m[6] + py * m[7] + pz * m[8];
    if (depth - row(6) * radius > 1)
        return 1e30L; // all on the hidden side
    // A pixel more for the rounding of each projected position.
    const long double rx = row(0) * radius + 1;
    const long double ry = row(3) * radius + 1;
    const long double x = px * m[0] + py * m[1] + pz * m[2] + m_cx;
    const long double y = px * m[3] + py * m[4] + pz * m[5] + m_cy;
    const long double w = host().surfaceWidth();
    const long double h = host().surfaceHeight();
    return std::max({0.0L, -(x + rx), (x - rx) - (w - 1), -(y + ry), (y - ry) - (h - 1)});
}

bool SphericalPrj::unproject(int x, int y, std::int32_t& lon, std::int32_t& lat) const
{
    const long double dx = static_cast<long double>(x) - m_cx;
    const long double dy = static_cast<long double>(y) - m_cy;
    const long double c = m_radiusPx * m_radiusPx - dx * dx - dy * dy;
    if (c < 0)
        return false;
    const long double dz = -std::sqrt(c);
    const Matrix3& n = m_n;
    lon = gmath::round32(
        arcTan2(dx * n[0] + dy * n[1] + dz * n[2], dx * n[6] + dy * n[7] + dz * n[8]) *
        GUPerRadian);
    lat = gmath::round32(arcSin((dx * n[3] + dy * n[4] + dz * n[5]) / GlobeRadius) * GUPerRadian);
    return true;
}

void SphericalPrj::buildCache(const LLPointList& list, PointCache& cache) const
{
    cache.indices.clear();
    const std::int64_t t = m_unitsPerPixel;
    std::int64_t lastLon = GU180, lastLat = GU180;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        const LLPoint& p = list[i];
        if (t < std::llabs(p.lon - lastLon) || t < std::llabs(p.lat - lastLat)) {
            cache.indices.push_back(i);
            lastLon = p.lon;
            lastLat = p.lat;
        }
    }
    cache.built = true;
}

int SphericalPrj::projectList(const LLPointList& list, PointCache* cache, Shape shape)
{
    if (cache && !cache->built)
        buildCache(list, *cache);
    const std::int32_t n = cache ? static_cast<std::int32_t>(cache->indices.size()) : list.count();
    m_runs.clear();
    int count = 0;
    int runStart = 0;
    long double lastX = 2147483647.0L, lastY = 2147483647.0L;
    const auto endRun = [&] {
        if (count > runStart)
            m_runs.push_back({runStart, count - runStart});
        runStart = count;
        lastX = lastY = 2147483647.0L;
    };
    for (std::int32_t k = 0; k < n; ++k) {
        const LLPoint& p = list[cache ? cache->indices[k] : k];
        const long double px = p.x, py = p.y, pz = p.z;
        long double sx = static_cast<double>(px * m_m[0] + py * m_m[1] + pz * m_m[2]);
        long double sy = static_cast<double>(px * m_m[3] + py * m_m[4] + pz * m_m[5]);
        if (px * m_m[6] + py * m_m[7] + pz * m_m[8] > 0) {
            if (shape == Shape::Polyline) {
                // A line behind the globe is not drawn: joining its ends along the horizon
                // would draw chords that are not there.
                endRun();
                continue;
            }
            // Behind the globe: onto the rim, which clips a polygon to the visible hemisphere.
            const long double h = extHypot(sx, sy);
            if (h > 0) {
                const long double f = m_radiusPx / h;
                sx *= f;
                sy *= f;
            } else {
                sx = m_radiusPx;
            }
        }
        if (std::fabs(sx - lastX) >= 1 || std::fabs(sy - lastY) >= 1) {
            lastX = sx;
            lastY = sy;
            put(count++, std::int64_t{gmath::round32(sx)} + m_cx,
                std::int64_t{gmath::round32(sy)} + m_cy);
        }
    }
    endRun();
    return count;
}

int SphericalPrj::outline()
{
    constexpr long double step = 0.06981317007977318307L; // 4 degrees
    const long double c = std::cos(step), s = std::sin(step);
    put(0, gmath::round32(m_radiusPx + m_cx), m_cy);
    long double x = m_radiusPx, y = 0;
    for (int i = 1; i < 90; ++i) {
        const long double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
        put(i, gmath::round32(x + m_cx), gmath::round32(y + m_cy));
    }
    return 90;
}

} // namespace wl
