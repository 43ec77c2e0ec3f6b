#pragma once

#include "globe/GlobePolyLine.h"

namespace wl {

class GlobeBrush;

// A filled area; hit by the even-odd rule.
class GlobePolygon : public GlobePolyLine
{
public:
    using GlobePolyLine::GlobePolyLine;

    // Pen and brush come from the control's current pen and brush.
    static GlobePolygon& create(ObjectLayer& layer, const LLPointList& points,
                                const std::string& title);

    GlobeBrush* brush = nullptr;

    std::string className() const override { return "TGlobePolygon"; }
    GlobeAttribute* attribute(int index) const override;
    void setAttribute(int index, GlobeAttribute* attribute) override;
    void draw(RenderContext& ctx) override;
    GlobeObject& clone() const override;
    bool hitTest(std::int32_t lon, std::int32_t lat) override;
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;
};

} // namespace wl
