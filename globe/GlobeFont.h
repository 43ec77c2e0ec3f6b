#pragma once

#include "globe/DrawStyle.h"
#include "globe/GlobeAttribute.h"
#include "globe/GlobeUnits.h"

namespace wl {

class GlobeFont : public GlobeAttribute
{
public:
    static constexpr std::size_t MaxFaceLength = 64;

    using GlobeAttribute::GlobeAttribute;

    GlobeColor color = 16777215;
    std::int32_t size = 12;
    std::int32_t angle = 0; // tenths of a degree
    std::uint8_t styles = 0;
    std::string face;

    GlobeUnits unit() const { return m_unit; }
    // Also keeps the GU-per-unit factor the scaled height uses.
    void setUnit(GlobeUnits unit);
    std::int32_t unitFactor() const { return m_unitFactor; }

    // Character height in device pixels on the current surface at the current zoom.
    int pixelHeight() const;

    std::string className() const override { return "TGlobeFont"; }
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;
    void apply(RenderContext& ctx, std::uint8_t objectState) const override;
    GlobeAttribute& cloneTo(ObjectLayer& layer) const override;
    void resetCache(RenderContext& ctx) const override;

private:
    void makeFont(RenderContext& ctx, GlobeColor color) const;

    GlobeUnits m_unit = GlobeUnits::Pixel;
    std::int32_t m_unitFactor = 0;
};

} // namespace wl
