#include "globe/RecordIO.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeException.h"
#include "globe/ObjectLayer.h"

#include <algorithm>

namespace wl {

void writeShortString(ByteWriter& out, const std::string& s)
{
    const std::size_t n = std::min<std::size_t>(s.size(), 255);
    out.writeU8(static_cast<std::uint8_t>(n));
    out.writeBytes(std::string_view(s).substr(0, n));
}

std::string readShortString(ByteReader& in, std::size_t maxLength)
{
    const std::uint8_t n = in.readU8();
    std::string s = in.readBytes(n);
    if (s.size() > maxLength)
        s.resize(maxLength);
    return s;
}

void writeAttributeIndex(ByteWriter& out, const ObjectLayer& layer, const GlobeAttribute* a)
{
    out.writeI16(static_cast<std::int16_t>(a ? layer.indexOfAttribute(a) : -1));
}

GlobeAttribute* readAttributeIndex(ByteReader& in, const ObjectLayer& layer)
{
    return layer.attribute(in.readI16());
}

void throwWrongAttributeKind(int)
{
    throw GlobeException("Stream read error: attribute of the wrong kind");
}

} // namespace wl
