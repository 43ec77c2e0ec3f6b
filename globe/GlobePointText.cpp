#include "globe/GlobePointText.h"

#include "globe/Canvas.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/PrjModel.h"
#include "globe/RenderContext.h"

namespace wl {

GlobePointText& GlobePointText::create(ObjectLayer& layer, std::int32_t lat, std::int32_t lon,
                                       const std::string& title)
{
    GlobePointText& t = make<GlobePointText>(layer);
    t.initText(lat, lon, title);
    t.host().objectCreated(t);
    return t;
}

GlobePointText& GlobePointText::create(ObjectLayer& layer, std::int32_t lat, std::int32_t lon,
                                       std::string&& title, GlobeFont& font)
{
    GlobePointText& t = make<GlobePointText>(layer);
    t.initText(lat, lon, std::move(title), font);
    t.host().objectCreated(t);
    return t;
}

void GlobePointText::draw(RenderContext& ctx)
{
    // Label and dot share one projection of the position: with many records it is most of
    // the drawing time.
    if (!projection().project(location(), 0))
        return;
    const ScreenPoint p = projection().points()[0];
    const int r = pointSize != 0 ? pointSize / 3 : fontHeight() / 3;
    ctx.textOffset = r;
    drawLabelAt(ctx, p);
    ctx.textOffset = 0;
    const GlobeColor color = font ? font->color : 0;
    if (r < 2) {
        ctx.canvas.setPixel(p.x, p.y, color);
        return;
    }
    if (selected()) {
        ctx.canvas.setBrush(host().selectedBrush());
        ctx.canvas.setPen(host().selectedPen());
    } else {
        ctx.canvas.setBrush(BrushData{color, static_cast<std::uint8_t>(BrushStyle::Solid)});
        ctx.canvas.setPen(PenData{0, static_cast<std::uint8_t>(PenStyle::Solid), 1});
    }
    const std::int64_t x = p.x, y = p.y;
    ctx.canvas.drawEllipse(gmath::saturate32(x + r), gmath::saturate32(y + r),
                           gmath::saturate32(x - r), gmath::saturate32(y - r));
}

GlobeObject& GlobePointText::clone() const
{
    GlobePointText& t = create(layer(), location().lat, location().lon, title());
    t.font = font;
    return t;
}

void GlobePointText::updateBounds()
{
    boundsAroundLocation();
}

} // namespace wl
