#include "globe/GlobeFont.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/Canvas.h"
#include "globe/GlobeException.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/GlobeObject.h"
#include "globe/ObjectLayer.h"
#include "globe/PrjModel.h"
#include "globe/RecordIO.h"
#include "globe/RenderContext.h"
#include "globe/StreamContext.h"

#include <cstdlib>

namespace wl {

void GlobeFont::setUnit(GlobeUnits unit)
{
    m_unit = unit;
    m_unitFactor = unitsToGU(unit, 1);
}

int GlobeFont::pixelHeight() const
{
    GlobeHost& host = layer().host();
    const int surfacePpi = host.surfacePixelsPerInch();
    const int screenPpi = host.screenPixelsPerInch();
    std::int64_t h;
    if (layer().scaleFont && m_unitFactor != 0) {
        // Size x factor leaves 32 bits for large ground sizes; kept wide until the end.
        h = gmath::round32(static_cast<long double>(size) * m_unitFactor *
                           host.projection().scale());
    } else {
        h = gmath::mulDiv(size, surfacePpi, screenPpi);
    }
    const std::int64_t cap = gmath::mulDiv(layer().maxFontHeight, surfacePpi, screenPpi);
    if (cap != 0 && cap < std::llabs(h))
        return gmath::saturate32(cap);
    return gmath::saturate32(h);
}

void GlobeFont::saveToStream(ByteWriter& out, const StreamContext&) const
{
    out.writeI32(color);
    out.writeU8(static_cast<std::uint8_t>(m_unit));
    out.writeI16(static_cast<std::int16_t>(size));
    out.writeI16(static_cast<std::int16_t>(angle));
    out.writeU8(styles);
    writeShortString(out, face);
}

void GlobeFont::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    const GlobeColor c = in.readI32();
    GlobeUnits u = GlobeUnits::NauticalMile;
    if (ctx.fileVersion >= StreamContext::Version528) {
        const std::uint8_t b = in.readU8();
        if (b >= GlobeUnitsCount)
            throw GlobeException("Stream read error: unknown font unit " + std::to_string(b));
        u = static_cast<GlobeUnits>(b);
    }
    const std::int16_t s = in.readI16();
    const std::int16_t a = in.readI16();
    const std::uint8_t st = in.readU8();
    std::string f = readShortString(in, MaxFaceLength);
    color = c;
    setUnit(u);
    size = s;
    angle = a;
    styles = st;
    face = std::move(f);
}

void GlobeFont::makeFont(RenderContext& ctx, GlobeColor c) const
{
    const int h = pixelHeight();
    ctx.canvas.setFont(face, styles, angle, h == 0 ? 1 : std::abs(h), c);
}

void GlobeFont::apply(RenderContext& ctx, std::uint8_t objectState) const
{
    if (!(objectState & GlobeObject::OwnAttributes))
        return;
    if (objectState & GlobeObject::Selected) {
        // Selected text is red whatever its colour; the next unselected one makes its own.
        makeFont(ctx, 255);
        ctx.fontCache = nullptr;
    } else if (ctx.fontCache != this) {
        ctx.fontCache = this;
        makeFont(ctx, color);
    }
}

GlobeAttribute& GlobeFont::cloneTo(ObjectLayer& other) const
{
    FontData s;
    s.face = face;
    s.styles = styles;
    s.angle = angle;
    s.size = size;
    s.unit = m_unit;
    s.color = color;
    return other.findOrCreateFont(s);
}

void GlobeFont::resetCache(RenderContext& ctx) const
{
    if (ctx.fontCache == this)
        ctx.fontCache = nullptr;
}

} // namespace wl
