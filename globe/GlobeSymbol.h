#pragma once

#include "globe/GlobeText.h"

namespace wl {

// One character of the font, centred on a position and turned with the font's angle.
class GlobeSymbol : public GlobeText
{
public:
    using GlobeText::GlobeText;

    static GlobeSymbol& create(ObjectLayer& layer, std::int16_t symbol, std::int32_t lat,
                               std::int32_t lon, const std::string& title);

    std::int16_t symbol = 0;

    std::string className() const override { return "TGlobeSymbol"; }
    void draw(RenderContext& ctx) override;
    GlobeObject& clone() const override;
    void updateBounds() override;
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;

protected:
    int defaultLabelRank() const override { return 1; }
};

} // namespace wl
