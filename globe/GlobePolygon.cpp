#include "globe/GlobePolygon.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeBrush.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/GlobePen.h"
#include "globe/RecordIO.h"

namespace wl {

GlobePolygon& GlobePolygon::create(ObjectLayer& layer, const LLPointList& list,
                                   const std::string& title)
{
    GlobePolygon& g = make<GlobePolygon>(layer);
    g.initLine(list, title);
    const BrushData b = g.host().brush();
    g.brush = &layer.findOrCreateBrush(b.color, b.style);
    g.host().objectCreated(g);
    return g;
}

GlobeAttribute* GlobePolygon::attribute(int index) const
{
    if (index == 1)
        return brush;
    return GlobePolyLine::attribute(index);
}

void GlobePolygon::setAttribute(int index, GlobeAttribute* a)
{
    if (index == 1) {
        if (auto* b = dynamic_cast<GlobeBrush*>(a))
            brush = b;
        return;
    }
    GlobePolyLine::setAttribute(index, a);
}

void GlobePolygon::draw(RenderContext& ctx)
{
    if (pen)
        pen->apply(ctx, state);
    if (brush)
        brush->apply(ctx, state);
    drawRuns(ctx, PrjModel::Shape::Polygon, 3);
}

GlobeObject& GlobePolygon::clone() const
{
    GlobePolygon& g = create(layer(), points, title());
    g.pen = pen;
    g.brush = brush;
    return g;
}

bool GlobePolygon::hitTest(std::int32_t lon, std::int32_t lat)
{
    if (!GlobeObject::hitTest(lon, lat))
        return false;
    const std::int32_t n = points.count();
    if (n == 0)
        return false;
    bool inside = false;
    const LLPoint* prev = &points[n - 1];
    for (std::int32_t i = 0; i < n; ++i) {
        const LLPoint& cur = points[i];
        if ((lat >= cur.lat && lat < prev->lat) || (lat >= prev->lat && lat < cur.lat)) {
            const std::int64_t x = cur.lon + gmath::mulDiv(std::int64_t{prev->lon} - cur.lon,
                                                           std::int64_t{lat} - cur.lat,
                                                           std::int64_t{prev->lat} - cur.lat);
            if (lon < x)
                inside = !inside;
        }
        prev = &cur;
    }
    return inside;
}

void GlobePolygon::saveToStream(ByteWriter& out, const StreamContext& ctx) const
{
    GlobePolyLine::saveToStream(out, ctx);
    writeAttributeIndex(out, layer(), brush);
}

void GlobePolygon::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    GlobePolyLine::loadFromStream(in, ctx);
    brush = readAttribute<GlobeBrush>(in, layer());
}

} // namespace wl
