#pragma once

#include "globe/DrawStyle.h"
#include "globe/GlobeAttribute.h"

namespace wl {

class GlobeBrush : public GlobeAttribute
{
public:
    using GlobeAttribute::GlobeAttribute;

    BrushData data;

    std::string className() const override { return "TGlobeBrush"; }
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;
    void apply(RenderContext& ctx, std::uint8_t objectState) const override;
    GlobeAttribute& cloneTo(ObjectLayer& layer) const override;
};

} // namespace wl
