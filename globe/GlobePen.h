#pragma once

#include "globe/DrawStyle.h"
#include "globe/GlobeAttribute.h"

namespace wl {

class GlobePen : public GlobeAttribute
{
public:
    using GlobeAttribute::GlobeAttribute;

    PenData data;

    std::string className() const override { return "TGlobePen"; }
    // Version 1 blocks carry the pen width.
    int classVersion() const override { return 1; }
    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;
    void apply(RenderContext& ctx, std::uint8_t objectState) const override;
    GlobeAttribute& cloneTo(ObjectLayer& layer) const override;
};

} // namespace wl
