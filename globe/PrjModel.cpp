#include "globe/PrjModel.h"

#include "globe/Clipper.h"
#include "globe/GlobeMath.h"
#include "globe/LLPointList.h"
#include "globe/PrjHost.h"

#include <algorithm>
#include <cstdlib>

namespace wl {

PrjModel::PrjModel(PrjHost& host, const GURect& extent) : m_host(host), m_extent(extent)
{
    const long double h = std::abs(static_cast<std::int64_t>(extent.bottom) - extent.top);
    const long double w = std::abs(static_cast<std::int64_t>(extent.right) - extent.left);
    m_scale = std::min(150 / h, 150 / w);
}

void PrjModel::setOrigin(std::int32_t cx, std::int32_t cy)
{
    m_cx = cx;
    m_cy = cy;
}

void PrjModel::put(int index, std::int64_t x, std::int64_t y)
{
    if (m_points.size() <= static_cast<std::size_t>(index))
        m_points.resize(static_cast<std::size_t>(index) + 1);
    m_points[index] = {gmath::saturate32(x), gmath::saturate32(y)};
}

void PrjModel::storeView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z)
{
    m_unitsPerPixel = gmath::round32(1 / scale);
    m_xRotation = x;
    m_yRotation = y;
    m_zRotation = z;
    m_scale = scale;
    m_unitsPerInch = gmath::round32(m_host.surfacePixelsPerInch() / scale);
}

void PrjModel::setView(std::int32_t x, std::int32_t y, long double scale, std::int32_t z)
{
    storeView(x, y, scale, z);
    m_host.viewChanged();
}

void PrjModel::singleRun(int count)
{
    m_runs.clear();
    if (count > 0)
        m_runs.push_back({0, count});
}

bool PrjModel::rectVisible(const GURect& r, std::uint8_t& code)
{
    int n = 0;
    const auto tryPoint = [&](std::int64_t lon, std::int64_t lat) {
        if (projectLL(gmath::saturate32(lon), gmath::saturate32(lat), n))
            ++n;
    };
    tryPoint(r.left, r.top);
    tryPoint(r.right, r.bottom);
    tryPoint(r.left, r.bottom);
    tryPoint(r.right, r.top);
    constexpr std::int64_t step = 81000000; // 15 degrees
    const std::int64_t width = std::int64_t{r.right} - r.left;
    const std::int64_t height = std::int64_t{r.bottom} - r.top;
    if (n == 0) {
        // A box wider than a hemisphere always reaches the visible side, corners or not.
        if (width > GU180) {
            code = WholeSurfaceCode;
            return true;
        }
        // No corner shows and the box is too small for its edges to reach round the view:
        // the quick rejection that keeps a redraw of many small objects fast.
        if (width <= step && height <= step)
            return false;
    }
    for (std::int64_t lon = std::int64_t{r.left} + step; lon < r.right; lon += step) {
        tryPoint(lon, r.top);
        tryPoint(lon, r.bottom);
    }
    for (std::int64_t lat = std::int64_t{r.top} + step; lat < r.bottom; lat += step) {
        tryPoint(r.left, lat);
        tryPoint(r.right, lat);
    }
    // Only edges that cross the visible side (hidden corners) make a large box visible.
    if (n == 0)
        return false;
    code = clipCode(m_points.data(), n, m_host.surfaceWidth(), m_host.surfaceHeight());
    return clipCodeVisible(code);
}

int PrjModel::projectList(const LLPointList& list, PointCache*, Shape)
{
    const std::int64_t t = m_unitsPerPixel;
    std::int64_t lastLon = 2147483647, lastLat = 2147483647;
    int count = 0;
    for (std::int32_t i = 0; i < list.count(); ++i) {
        const LLPoint& p = list[i];
        if (t < 2 || std::llabs(p.lon - lastLon) >= t || std::llabs(p.lat - lastLat) >= t) {
            lastLon = p.lon;
            lastLat = p.lat;
            if (projectLL(p.lon, p.lat, count))
                ++count;
        }
    }
    singleRun(count);
    return count;
}

bool PrjModel::project(const LLPoint& p, int index)
{
    return projectLL(p.lon, p.lat, index);
}

int PrjModel::outline()
{
    projectLL(m_extent.left, m_extent.top, 0);
    projectLL(m_extent.right, m_extent.top, 1);
    projectLL(m_extent.right, m_extent.bottom, 2);
    projectLL(m_extent.left, m_extent.bottom, 3);
    return 4;
}

} // namespace wl
