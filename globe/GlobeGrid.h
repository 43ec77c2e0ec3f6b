#pragma once

#include "globe/GlobeObject.h"

namespace wl {

class GlobePen;

// Meridians and parallels over a rectangle, in major and minor spacings.
class GlobeGrid : public GlobeObject
{
public:
    using GlobeObject::GlobeObject;

    // Both pens come from the control's current pen; a minor spacing of 0 or above the major
    // one takes the major spacing.
    static GlobeGrid& create(ObjectLayer& layer, std::int32_t minorY, std::int32_t minorX,
                             std::int32_t majorY, std::int32_t majorX, const GURect& rect,
                             const std::string& title);

    std::int32_t majorX = 0, majorY = 0, minorX = 0, minorY = 0;
    GlobePen* majorPen = nullptr;
    GlobePen* minorPen = nullptr;

    std::string className() const override { return "TGlobeGrid"; }
    GlobeAttribute* attribute(int index) const override;
    void setAttribute(int index, GlobeAttribute* attribute) override;
    void draw(RenderContext& ctx) override;
    GlobeObject& clone() const override;
    void updateBounds() override {} // set at creation
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;

private:
    void meridian(RenderContext& ctx, std::int64_t lon, std::int64_t steps);
    void parallel(RenderContext& ctx, std::int64_t lat, std::int64_t steps);
};

} // namespace wl
