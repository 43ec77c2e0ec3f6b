#include "globe/GlobeBrush.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/Canvas.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeObject.h"
#include "globe/ObjectLayer.h"
#include "globe/RenderContext.h"

namespace wl {

void GlobeBrush::saveToStream(ByteWriter& out, const StreamContext&) const
{
    out.writeI32(data.color);
    out.writeU8(data.style);
}

void GlobeBrush::loadFromStream(ByteReader& in, const StreamContext&)
{
    BrushData s;
    s.color = in.readI32();
    s.style = in.readU8();
    data = s;
}

void GlobeBrush::apply(RenderContext& ctx, std::uint8_t objectState) const
{
    if (!(objectState & GlobeObject::OwnAttributes))
        return;
    if (objectState & GlobeObject::Selected)
        ctx.canvas.setBrush(layer().host().selectedBrush());
    else
        ctx.canvas.setBrush(data);
}

GlobeAttribute& GlobeBrush::cloneTo(ObjectLayer& other) const
{
    return other.findOrCreateBrush(data.color, data.style);
}

} // namespace wl
