#include "globe/Clipper.h"

#include "globe/GlobeMath.h"

#include <algorithm>

namespace wl {

namespace {

int outcode(std::int64_t x, std::int64_t y, int width, int height)
{
    int c = 0;
    if (x < 0)
        c |= 1;
    if (x > width)
        c |= 2;
    if (y < 0)
        c |= 4;
    if (y > height)
        c |= 8;
    return c;
}

enum class Edge
{
    Top,
    Right,
    Bottom,
    Left
};

bool inside(const ScreenPoint& p, Edge e, int width, int height)
{
    switch (e) {
    case Edge::Top:
        return p.y >= 0;
    case Edge::Right:
        return p.x <= width;
    case Edge::Bottom:
        return p.y <= height;
    case Edge::Left:
        return p.x >= 0;
    }
    return true;
}

ScreenPoint crossing(const ScreenPoint& p1, const ScreenPoint& p2, Edge e, int width, int height)
{
    const bool horizontal = e == Edge::Top || e == Edge::Bottom;
    const std::int64_t b = e == Edge::Top      ? -1
                           : e == Edge::Bottom ? height
                           : e == Edge::Left   ? -1
                                               : width;
    if (horizontal) {
        const std::int64_t x =
            p2.x + gmath::mulDiv(b - p2.y, std::int64_t{p1.x} - p2.x, std::int64_t{p1.y} - p2.y);
        return {gmath::saturate32(x), static_cast<std::int32_t>(b)};
    }
    const std::int64_t y =
        p2.y + gmath::mulDiv(b - p2.x, std::int64_t{p1.y} - p2.y, std::int64_t{p1.x} - p2.x);
    return {static_cast<std::int32_t>(b), gmath::saturate32(y)};
}

// One Sutherland-Hodgman step from src[0..n) into dst; returns the new count.
int clipPass(const std::vector<ScreenPoint>& src, int n, std::vector<ScreenPoint>& dst,
             bool polygon, Edge e, int width, int height)
{
    dst.clear();
    for (int i = 0; i < n; ++i) {
        const ScreenPoint& a = src[i];
        // The shape is closed back to its start for a polygon, onto its last point otherwise.
        const ScreenPoint& b = i + 1 < n ? src[i + 1] : (polygon ? src[0] : src[n - 1]);
        const bool ina = inside(a, e, width, height);
        const bool inb = inside(b, e, width, height);
        if (ina)
            dst.push_back(a);
        if (ina != inb)
            dst.push_back(crossing(a, b, e, width, height));
    }
    return static_cast<int>(dst.size());
}

} // namespace

std::uint8_t clipCode(const ScreenPoint* points, int n, int width, int height)
{
    if (n <= 1)
        return 255;
    std::int32_t minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (int i = 1; i < n; ++i) {
        minX = std::min(minX, points[i].x);
        maxX = std::max(maxX, points[i].x);
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    return static_cast<std::uint8_t>(outcode(minX, minY, width, height) * 16 +
                                     outcode(maxX, maxY, width, height));
}

bool clipCodeVisible(std::uint8_t code)
{
    // Minimum corner below or right of the surface, or maximum corner above or left of it.
    return (code & (0x80 | 0x20 | 0x04 | 0x01)) == 0;
}

int clipShape(std::vector<ScreenPoint>& points, int n, std::uint8_t code, bool polygon, int width,
              int height)
{
    if (code == 0)
        return n;
    struct Pass
    {
        int mask;
        Edge edge;
    };
    const Pass passes[] = {
        {0xC0, Edge::Top}, {0x03, Edge::Right}, {0x0C, Edge::Bottom}, {0x30, Edge::Left}};
    std::vector<ScreenPoint> scratch;
    std::vector<ScreenPoint> current(points.begin(), points.begin() + n);
    for (const Pass& p : passes) {
        if (n <= 1)
            break;
        if ((code & p.mask) == 0)
            continue;
        n = clipPass(current, n, scratch, polygon, p.edge, width, height);
        current.swap(scratch);
    }
    if (points.size() < static_cast<std::size_t>(n))
        points.resize(static_cast<std::size_t>(n));
    std::copy(current.begin(), current.begin() + n, points.begin());
    return n;
}

} // namespace wl
