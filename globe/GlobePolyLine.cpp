#include "globe/GlobePolyLine.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/Canvas.h"
#include "globe/Clipper.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/GlobePen.h"
#include "globe/PrjHost.h"
#include "globe/RecordIO.h"
#include "globe/RenderContext.h"
#include "globe/StreamContext.h"

#include <algorithm>
#include <cmath>

namespace wl {

GlobePolyLine& GlobePolyLine::create(ObjectLayer& layer, const LLPointList& list,
                                     const std::string& title)
{
    GlobePolyLine& l = make<GlobePolyLine>(layer);
    l.initLine(list, title);
    l.host().objectCreated(l);
    return l;
}

void GlobePolyLine::initLine(const LLPointList& list, const std::string& title)
{
    const LLPoint first = list.count() > 0 ? list.get(0) : LLPoint{};
    init(first.lat, first.lon, title);
    const PenData p = host().pen();
    pen = &layer().findOrCreatePen(p.color, p.width, p.style);
    points.assign(list);
}

void GlobePolyLine::moveTo(const LLPoint& p)
{
    const std::int64_t dLon = std::int64_t{p.lon} - location().lon;
    const std::int64_t dLat = std::int64_t{p.lat} - location().lat;
    if (gmath::floorMod(dLon, GU360) != 0 || dLat != 0) {
        // Shifted in 64 bits: a line moved across the date line passes 2^31 on the way.
        for (std::int32_t i = 0; i < points.count(); ++i) {
            const LLPoint& q = points[i];
            points.set(i, makeLLPoint(normalizeLon(q.lon + dLon), clampLat(q.lat + dLat)));
        }
    }
    GlobeObject::moveTo(p);
}

GlobeAttribute* GlobePolyLine::attribute(int index) const
{
    return index == 0 ? pen : nullptr;
}

void GlobePolyLine::setAttribute(int index, GlobeAttribute* a)
{
    if (index != 0)
        return;
    if (auto* p = dynamic_cast<GlobePen*>(a))
        pen = p;
}

void GlobePolyLine::drawRuns(RenderContext& ctx, PrjModel::Shape shape, int minPoints)
{
    PrjModel& prj = projection();
    const int n = prj.projectList(points, &m_cache, shape);
    if (n < minPoints)
        return;
    if (shape == PrjModel::Shape::Polyline && m_crossesDateLine) {
        host().drawLLPolyline(ctx.canvas, points, clipCode);
        return;
    }
    const int w = prj.host().surfaceWidth(), h = prj.host().surfaceHeight();
    const bool polygon = shape == PrjModel::Shape::Polygon;
    std::vector<ScreenPoint> run;
    for (const PrjModel::Run& r : prj.runs()) {
        if (r.count < minPoints)
            continue;
        run.assign(prj.points().begin() + r.start, prj.points().begin() + r.start + r.count);
        // The code of the run's own points: on the sphere the projected bounds need not
        // enclose the projected shape.
        const std::uint8_t code = wl::clipCode(run.data(), r.count, w, h);
        if (!clipCodeVisible(code))
            continue;
        const int m = clipShape(run, r.count, code, polygon, w, h);
        if (m < minPoints)
            continue;
        if (polygon)
            ctx.canvas.drawPolygon(run.data(), m);
        else
            ctx.canvas.drawPolyline(run.data(), m);
    }
}

void GlobePolyLine::draw(RenderContext& ctx)
{
    if (pen)
        pen->apply(ctx, state);
    drawRuns(ctx, PrjModel::Shape::Polyline, 2);
}

GlobeObject& GlobePolyLine::clone() const
{
    GlobePolyLine& l = create(layer(), points, title());
    l.pen = pen;
    return l;
}

bool GlobePolyLine::isOnScreen()
{
    return projection().rectVisible(bounds(), clipCode);
}

void GlobePolyLine::updateBounds()
{
    m_cache.reset();
    const std::int64_t u = projection().unitsPerPixel();
    if (points.count() == 1) {
        setBounds({0, 0, 1, 1});
        if (u >= 1)
            state |= TooSmall;
        return;
    }
    std::int64_t left = 2147483647, top = 2147483647, right = -2147483647, bottom = -2147483647;
    m_crossesDateLine = false;
    int previousQuarter = 0;
    for (std::int32_t i = 0; i < points.count(); ++i) {
        const LLPoint& p = points[i];
        const int q = p.lon / GU90;
        if (q != 0 && q == -previousQuarter)
            m_crossesDateLine = true;
        previousQuarter = q;
        if (p.lon < left)
            left = std::int64_t{p.lon} - 1;
        if (p.lat < top)
            top = std::int64_t{p.lat} - 1;
        if (p.lon > right)
            right = std::int64_t{p.lon} + 1;
        if (p.lat > bottom)
            bottom = std::int64_t{p.lat} + 1;
    }
    setBounds({gmath::saturate32(left), gmath::saturate32(top), gmath::saturate32(right),
               gmath::saturate32(bottom)});
    if (u >= right - left && u >= bottom - top)
        state |= TooSmall;
}

namespace {

// Distance in GU from (px, py) to the segment a-b; longitudes are shortened by cos(latitude)
// so the distance is the one seen on the globe.
long double segmentDistance(long double px, long double py, long double ax, long double ay,
                            long double bx, long double by)
{
    const long double k = std::cos(py * RadianPerGU);
    px *= k;
    ax *= k;
    bx *= k;
    const long double dx = bx - ax, dy = by - ay;
    const long double len2 = dx * dx + dy * dy;
    long double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0L, 1.0L);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

} // namespace

bool GlobePolyLine::hitTest(std::int32_t lon, std::int32_t lat)
{
    if (!GlobeObject::hitTest(lon, lat))
        return false;
    const long double t = projection().unitsPerPixel();
    for (std::int32_t i = 0; i + 1 < points.count(); ++i) {
        const LLPoint& a = points[i];
        const LLPoint& b = points[i + 1];
        if (segmentDistance(lon, lat, a.lon, a.lat, b.lon, b.lat) <= t)
            return true;
    }
    return false;
}

void GlobePolyLine::saveToStream(ByteWriter& out, const StreamContext& ctx) const
{
    saveHeader(out);
    points.saveToStream(out, ctx);
    writeAttributeIndex(out, layer(), pen);
}

void GlobePolyLine::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    loadHeader(in, ctx);
    LLPoint first;
    if (ctx.fileVersion < StreamContext::Version544)
        first = readPointRecord(in, ctx);
    points.loadFromStream(in, ctx, first);
    setLocation(ctx.fileVersion < StreamContext::Version544 || points.count() == 0 ? first
                                                                                   : points.get(0));
    m_cache.reset();
    pen = readAttribute<GlobePen>(in, layer());
}

} // namespace wl
