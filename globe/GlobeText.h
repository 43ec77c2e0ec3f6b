#pragma once

#include "globe/GlobeObject.h"

namespace wl {

class GlobeFont;

// A title written at a position, its top-left corner on the point.
class GlobeText : public GlobeObject
{
public:
    using GlobeObject::GlobeObject;

    // Latitude first; the font comes from the control's current font settings.
    static GlobeText& create(ObjectLayer& layer, std::int32_t lat, std::int32_t lon,
                             const std::string& title);

    GlobeFont* font = nullptr;

    std::string className() const override { return "TGlobeText"; }
    GlobeAttribute* attribute(int index) const override;
    void setAttribute(int index, GlobeAttribute* attribute) override;
    void draw(RenderContext& ctx) override;
    GlobeObject& clone() const override;
    void updateBounds() override;
    // Text is drawn only where its position is on the visible side: the position within a
    // font's height of the surface.
    bool isOnScreen() override;
    // A font's height: isOnScreen's margin, by which a label near the edge still shows.
    int locationMargin() const override;
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;

protected:
    // Sets the title, position and the font from the control.
    void initText(std::int32_t lat, std::int32_t lon, const std::string& title);
    // The same with a font of the layer given.
    void initText(std::int32_t lat, std::int32_t lon, std::string&& title, GlobeFont& font);
    // Rank of this kind of label among others competing for room (see ObjectLayer::labelRank).
    virtual int defaultLabelRank() const { return -1; }
    // |pixel height| of the font, 0 without one.
    int fontHeight() const;
    void drawLabel(RenderContext& ctx);
    // The same for a position already projected to p, so that a caller drawing more at the
    // position projects it once.
    void drawLabelAt(RenderContext& ctx, const ScreenPoint& p);
    // Bounds of a label centred on its position: a square of the font's height, or the bare
    // point without a font.
    void boundsAroundLocation();
};

} // namespace wl
