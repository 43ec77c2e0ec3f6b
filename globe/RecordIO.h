#pragma once

#include <cstdint>
#include <string>

namespace wl {

class ByteReader;
class ByteWriter;
class GlobeAttribute;
class ObjectLayer;

// A length byte followed by the characters; longer texts are cut to maxLength on reading.
void writeShortString(ByteWriter& out, const std::string& s);
std::string readShortString(ByteReader& in, std::size_t maxLength);

// An attribute reference as its index in the layer's attribute list (-1 when absent).
void writeAttributeIndex(ByteWriter& out, const ObjectLayer& layer, const GlobeAttribute* a);

// Reads an index: out of range gives none; an attribute of another kind than T is a damaged
// record and raises.
template <class T> T* readAttribute(ByteReader& in, const ObjectLayer& layer);

GlobeAttribute* readAttributeIndex(ByteReader& in, const ObjectLayer& layer);
[[noreturn]] void throwWrongAttributeKind(int index);

template <class T> T* readAttribute(ByteReader& in, const ObjectLayer& layer)
{
    GlobeAttribute* a = readAttributeIndex(in, layer);
    if (!a)
        return nullptr;
    T* t = dynamic_cast<T*>(a);
    if (!t)
        throwWrongAttributeKind(-1);
    return t;
}

} // namespace wl
