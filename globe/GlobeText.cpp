#include "globe/GlobeText.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/Canvas.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeMath.h"
#include "globe/LLPointList.h"
#include "globe/LabelPlacer.h"
#include "globe/ObjectLayer.h"
#include "globe/PrjHost.h"
#include "globe/PrjModel.h"
#include "globe/RecordIO.h"
#include "globe/RenderContext.h"

#include <algorithm>
#include <cstdlib>

namespace wl {

GlobeText& GlobeText::create(ObjectLayer& layer, std::int32_t lat, std::int32_t lon,
                             const std::string& title)
{
    GlobeText& t = make<GlobeText>(layer);
    t.initText(lat, lon, title);
    t.host().objectCreated(t);
    return t;
}

void GlobeText::initText(std::int32_t lat, std::int32_t lon, const std::string& title)
{
    init(lat, lon, title);
    font = &layer().findOrCreateFont(host().font());
}

void GlobeText::initText(std::int32_t lat, std::int32_t lon, std::string&& title, GlobeFont& font)
{
    setTitle(std::move(title));
    moveTo(makeLLPoint(lon, lat));
    this->font = &font;
}

GlobeAttribute* GlobeText::attribute(int index) const
{
    return index == 0 ? font : nullptr;
}

void GlobeText::setAttribute(int index, GlobeAttribute* a)
{
    if (index != 0)
        return;
    if (auto* f = dynamic_cast<GlobeFont*>(a))
        font = f;
}

int GlobeText::fontHeight() const
{
    return font ? std::abs(font->pixelHeight()) : 0;
}

void GlobeText::drawLabel(RenderContext& ctx)
{
    if (title().empty() || !font || !projection().project(location(), 0))
        return;
    drawLabelAt(ctx, projection().points()[0]);
}

void GlobeText::drawLabelAt(RenderContext& ctx, const ScreenPoint& p)
{
    if (title().empty() || !font)
        return;
    const std::int64_t minHeight = gmath::mulDiv(
        host().minTextHeight(), host().surfacePixelsPerInch(), host().screenPixelsPerInch());
    if (fontHeight() < minHeight)
        return;
    // Level labels are placed; turned text is written where it stands.
    if (ctx.labels && (state & OwnAttributes) && font->angle == 0) {
        const int rank = layer().labelRank != -1 ? layer().labelRank : defaultLabelRank();
        ctx.labels->add(
            {p.x, p.y, ctx.textOffset, &title(), font, state, rank, objectID, layer().groupLabels});
        return;
    }
    font->apply(ctx, state);
    const bool wasTransparent = ctx.canvas.transparentText();
    ctx.canvas.setTransparentText(true);
    ctx.canvas.drawText(gmath::saturate32(std::int64_t{p.x} + ctx.textOffset), p.y, title());
    ctx.canvas.setTransparentText(wasTransparent);
}

void GlobeText::draw(RenderContext& ctx)
{
    drawLabel(ctx);
}

GlobeObject& GlobeText::clone() const
{
    GlobeText& t = create(layer(), location().lat, location().lon, title());
    t.font = font;
    return t;
}

void GlobeText::updateBounds()
{
    if (!font) {
        GlobeObject::updateBounds();
        return;
    }
    const std::int64_t b = std::int64_t{projection().unitsPerPixel()} * fontHeight();
    const std::int64_t lon = location().lon, lat = location().lat;
    setBounds(
        {location().lon, gmath::saturate32(lat - b), gmath::saturate32(lon + b), location().lat});
}

bool GlobeText::isOnScreen()
{
    // One projection of the position, whose sphere coordinates are kept, instead of the four
    // corners of the bounds: with a million labels the corners' trigonometry was most of a
    // redraw. Nothing of a text shows when its position is out of sight, and the bounds lie
    // within a font's height of it.
    PrjModel& prj = projection();
    if (!prj.project(location(), 0))
        return false;
    const ScreenPoint p = prj.points()[0];
    const int margin = locationMargin();
    return p.x >= -margin && p.y >= -margin && p.x < prj.host().surfaceWidth() + margin &&
           p.y < prj.host().surfaceHeight() + margin;
}

int GlobeText::locationMargin() const
{
    return std::max(1, fontHeight());
}

void GlobeText::saveToStream(ByteWriter& out, const StreamContext& ctx) const
{
    saveHeader(out);
    writePointRecord(out, ctx, location());
    writeAttributeIndex(out, layer(), font);
}

void GlobeText::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    loadHeader(in, ctx);
    setLocation(readPointRecord(in, ctx));
    font = readAttribute<GlobeFont>(in, layer());
}

void GlobeText::boundsAroundLocation()
{
    if (!font) {
        GlobeObject::updateBounds();
        return;
    }
    const std::int64_t b = gmath::mulDiv(fontHeight(), projection().unitsPerPixel(), 2);
    const std::int64_t lon = location().lon, lat = location().lat;
    setBounds({gmath::saturate32(lon - b), gmath::saturate32(lat - b), gmath::saturate32(lon + b),
               gmath::saturate32(lat + b)});
}

} // namespace wl
