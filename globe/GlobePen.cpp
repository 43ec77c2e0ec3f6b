#include "globe/GlobePen.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/Canvas.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeObject.h"
#include "globe/ObjectLayer.h"
#include "globe/RenderContext.h"
#include "globe/StreamContext.h"

namespace wl {

void GlobePen::saveToStream(ByteWriter& out, const StreamContext&) const
{
    out.writeI32(data.color);
    out.writeU8(data.style);
    out.writeU8(data.width);
}

void GlobePen::loadFromStream(ByteReader& in, const StreamContext& ctx)
{
    PenData s;
    s.color = in.readI32();
    s.style = in.readU8();
    s.width = ctx.classVersion == 1 ? in.readU8() : 1;
    data = s;
}

void GlobePen::apply(RenderContext& ctx, std::uint8_t objectState) const
{
    if (!(objectState & GlobeObject::OwnAttributes))
        return;
    if (objectState & GlobeObject::Selected)
        ctx.canvas.setPen(layer().host().selectedPen());
    else
        ctx.canvas.setPen(data);
}

GlobeAttribute& GlobePen::cloneTo(ObjectLayer& other) const
{
    return other.findOrCreatePen(data.color, data.width, data.style);
}

} // namespace wl
