#include "globe/GlobeGrid.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeException.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/GlobePen.h"
#include "globe/LLPointList.h"
#include "globe/RecordIO.h"
#include "globe/RenderContext.h"
#include "globe/StreamContext.h"

#include <cstdlib>

namespace wl {

namespace {

std::int32_t minorOf(std::int32_t minor, std::int32_t major)
{
    return minor != 0 && minor <= major ? minor : major;
}

} // namespace

GlobeGrid& GlobeGrid::create(ObjectLayer& layer, std::int32_t minorY, std::int32_t minorX,
                             std::int32_t majorY, std::int32_t majorX, const GURect& rect,
                             const std::string& title)
{
    GlobeGrid& g = make<GlobeGrid>(layer);
    g.init(rect.top, rect.left, title);
    const PenData p = g.host().pen();
    g.majorPen = &layer.findOrCreatePen(p.color, p.width, p.style);
    g.minorPen = g.majorPen;
    g.setBounds(rect);
    g.majorX = majorX;
    g.majorY = majorY;
    g.minorX = minorOf(minorX, majorX);
    g.minorY = minorOf(minorY, majorY);
    g.host().objectCreated(g);
    return g;
}

GlobeAttribute* GlobeGrid::attribute(int index) const
{
    if (index == 0)
        return majorPen;
    if (index == 1)
        return minorPen;
    return nullptr;
}

void GlobeGrid::setAttribute(int index, GlobeAttribute* a)
{
    auto* p = dynamic_cast<GlobePen*>(a);
    if (!p)
        return;
    if (index == 0)
        majorPen = p;
    else if (index == 1)
        minorPen = p;
}

void GlobeGrid::meridian(RenderContext& ctx, std::int64_t lon, std::int64_t steps)
{
    const std::int32_t l = gmath::saturate32(lon);
    host().drawLLLine(ctx.canvas, makeLLPoint(l, bounds().top), makeLLPoint(l, bounds().bottom),
                      gmath::saturate32(steps));
}

void GlobeGrid::parallel(RenderContext& ctx, std::int64_t lat, std::int64_t steps)
{
    const std::int32_t t = gmath::saturate32(lat);
    host().drawLLLine(ctx.canvas, makeLLPoint(bounds().left, t), makeLLPoint(bounds().right, t),
                      gmath::saturate32(steps));
}

void GlobeGrid::draw(RenderContext& ctx)
{
    // A spacing of 0 or less would never advance; such a grid has nothing to draw.
    if (majorX <= 0 || majorY <= 0 || minorX <= 0 || minorY <= 0)
        return;
    const GURect& b = bounds();
    const std::int64_t left = b.left, right = b.right, top = b.top, bottom = b.bottom;
    const std::int64_t a = std::llabs((right - left) / majorX);
    const std::int64_t c = std::llabs((bottom - top) / majorY);
    if (minorPen)
        minorPen->apply(ctx, state);
    for (std::int64_t d = left; d < right; d += majorX) {
        for (std::int64_t e = d + minorX; e < d + majorX; e += minorX)
            meridian(ctx, e, a);
    }
    for (std::int64_t e = top; e < bottom; e += majorY) {
        for (std::int64_t f = e + minorY; f < e + majorY; f += minorY)
            parallel(ctx, f, c);
    }
    if (majorPen)
        majorPen->apply(ctx, state);
    for (std::int64_t d = left; d < right; d += majorX)
        meridian(ctx, d, a);
    meridian(ctx, right, a);
    for (std::int64_t e = top; e < bottom; e += majorY)
        parallel(ctx, e, c);
    parallel(ctx, bottom, c);
}

GlobeObject& GlobeGrid::clone() const
{
    GlobeGrid& g = create(layer(), minorY, minorX, majorY, majorX, bounds(), title());
    g.majorPen = majorPen;
    g.minorPen = minorPen;
    return g;
}

void GlobeGrid::saveToStream(ByteWriter& out, const StreamContext& ctx) const
{
    saveHeader(out);
    writePointRecord(out, ctx, llPoint(bounds().right, bounds().bottom));
    out.writeI32(majorX);
    out.writeI32(majorY);
    out.writeI32(minorX);
    out.writeI32(minorY);
    writeAttributeIndex(out, layer(), majorPen);
    writeAttributeIndex(out, layer(), minorPen);
}

void GlobeGrid::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    loadHeader(in, ctx);
    if (ctx.fileVersion < StreamContext::Version544)
        readPointRecord(in, ctx);
    const LLPoint far = readPointRecord(in, ctx);
    std::int32_t spacing[4];
    for (std::int32_t& s : spacing) {
        s = in.readI32();
        if (s <= 0)
            throw GlobeException("Stream read error: grid spacing " + std::to_string(s));
    }
    GlobePen* major = readAttribute<GlobePen>(in, layer());
    GlobePen* minor = readAttribute<GlobePen>(in, layer());
    // The record holds only the far corner; the near one is the object's location.
    setBounds({location().lon, location().lat, far.lon, far.lat});
    majorX = spacing[0];
    majorY = spacing[1];
    minorX = spacing[2];
    minorY = spacing[3];
    majorPen = major;
    minorPen = minor;
}

} // namespace wl
