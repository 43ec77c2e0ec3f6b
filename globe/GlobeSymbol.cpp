#include "globe/GlobeSymbol.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/Canvas.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/PrjModel.h"
#include "globe/RenderContext.h"

#include <cmath>

namespace wl {

GlobeSymbol& GlobeSymbol::create(ObjectLayer& layer, std::int16_t symbol, std::int32_t lat,
                                 std::int32_t lon, const std::string& title)
{
    GlobeSymbol& s = make<GlobeSymbol>(layer);
    s.initText(lat, lon, title);
    s.symbol = symbol;
    s.host().objectCreated(s);
    return s;
}

void GlobeSymbol::draw(RenderContext& ctx)
{
    if (!projection().project(location(), 0))
        return;
    const ScreenPoint p = projection().points()[0];
    if (!font || fontHeight() < 4) {
        ctx.canvas.setPixel(p.x, p.y, font ? font->color : 0);
        return;
    }
    font->apply(ctx, state);
    const bool wasTransparent = ctx.canvas.transparentText();
    ctx.canvas.setTransparentText(true);
    const auto glyph = static_cast<char16_t>(static_cast<std::uint16_t>(symbol));
    const ScreenPoint extent = ctx.canvas.glyphExtent(glyph);
    // Offset of the glyph's centre from its top-left corner, turned with the font.
    const long double a = (-font->angle / 10) * gmath::Pi / 180;
    const long double hx = extent.x / 2, hy = extent.y / 2;
    const std::int64_t dx = gmath::trunc32(hx * std::cos(a) - hy * std::sin(a));
    const std::int64_t dy = gmath::trunc32(hx * std::sin(a) + hy * std::cos(a));
    ctx.canvas.drawGlyph(gmath::saturate32(p.x - dx), gmath::saturate32(p.y - dy), glyph);
    ctx.canvas.setTransparentText(wasTransparent);
    // Where labels are placed the symbol is named beside it, as a map names its capitals.
    if (ctx.labels) {
        ctx.textOffset = static_cast<int>(dx) + 1;
        drawLabel(ctx);
        ctx.textOffset = 0;
    }
}

GlobeObject& GlobeSymbol::clone() const
{
    GlobeSymbol& s = create(layer(), symbol, location().lat, location().lon, title());
    s.font = font;
    return s;
}

void GlobeSymbol::updateBounds()
{
    boundsAroundLocation();
}

void GlobeSymbol::saveToStream(ByteWriter& out, const StreamContext& ctx) const
{
    GlobeText::saveToStream(out, ctx);
    out.writeI16(symbol);
}

void GlobeSymbol::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    GlobeText::loadFromStream(in, ctx);
    symbol = in.readI16();
}

} // namespace wl
