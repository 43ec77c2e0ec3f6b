#include "globe/LocationCulling.h"

#include "globe/GlobeObject.h"
#include "globe/PrjModel.h"

#include <algorithm>
#include <cmath>

namespace wl {

namespace {

constexpr std::int64_t CellGU = GU180 / 36; // 5 degrees
constexpr int LonCells = 72;
constexpr int LatCells = 36;

long double distance(const LLPoint& a, const LLPoint& b)
{
    const long double dx = static_cast<long double>(a.x) - b.x;
    const long double dy = static_cast<long double>(a.y) - b.y;
    const long double dz = static_cast<long double>(a.z) - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

} // namespace

LocationCulling::LocationCulling(PrjModel& projection, bool enabled)
    : m_projection(projection), m_enabled(enabled)
{
}

const std::vector<LocationCulling::Cell>& LocationCulling::cells()
{
    static const std::vector<Cell> grid = [] {
        std::vector<Cell> g;
        g.reserve(LonCells * LatCells);
        for (int j = 0; j < LatCells; ++j) {
            for (int i = 0; i < LonCells; ++i) {
                const std::int64_t lon0 = -std::int64_t{GU180} + i * CellGU;
                const std::int64_t lat0 = -std::int64_t{GU90} + j * CellGU;
                const LLPoint centre = makeLLPoint(static_cast<std::int32_t>(lon0 + CellGU / 2),
                                                   static_cast<std::int32_t>(lat0 + CellGU / 2));
                // Along a parallel or a meridian the distance from the centre grows towards
                // the ends, so the farthest position of the cell is a corner.
                long double r = 0;
                for (const std::int64_t lon : {lon0, lon0 + CellGU}) {
                    for (const std::int64_t lat : {lat0, lat0 + CellGU})
                        r = std::max(r,
                                     distance(centre, makeLLPoint(static_cast<std::int32_t>(lon),
                                                                  static_cast<std::int32_t>(lat))));
                }
                // Room for the rounding of the stored sphere coordinates.
                g.push_back({centre, r * 1.001L + 4});
            }
        }
        return g;
    }();
    return grid;
}

int LocationCulling::cellOf(const LLPoint& p)
{
    if (p.lon < -GU180 || p.lon > GU180 || p.lat < -GU90 || p.lat > GU90)
        return -1;
    // The upper edges belong to the last cells, whose corners include them.
    const auto i = std::min<std::int64_t>((std::int64_t{p.lon} + GU180) / CellGU, LonCells - 1);
    const auto j = std::min<std::int64_t>((std::int64_t{p.lat} + GU90) / CellGU, LatCells - 1);
    return static_cast<int>(j * LonCells + i);
}

bool LocationCulling::offSurface(const GlobeObject& object)
{
    if (!m_enabled)
        return false;
    const LLPoint& p = object.location();
    const int cell = cellOf(p);
    if (cell < 0)
        return false;
    if (m_gap.empty())
        m_gap.assign(cells().size(), -1);
    long double& gap = m_gap[static_cast<std::size_t>(cell)];
    const Cell& c = cells()[static_cast<std::size_t>(cell)];
    if (gap < 0)
        gap = std::max<long double>(m_projection.pixelsOffSurface(c.centre, c.radius), 0);
    // Cells near the view are tested object by object, like every object without a
    // position-only test; so is a position not within its cell's sphere.
    if (gap <= 2)
        return false;
    const int margin = object.locationMargin();
    if (margin < 0 || gap <= margin + 1.0L)
        return false;
    return distance(p, c.centre) <= c.radius;
}

} // namespace wl
