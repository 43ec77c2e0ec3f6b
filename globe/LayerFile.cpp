#include "globe/LayerFile.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeAttribute.h"
#include "globe/GlobeClassRegistry.h"
#include "globe/GlobeException.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeObject.h"
#include "globe/ObjectLayer.h"
#include "globe/RecordIO.h"
#include "globe/StreamContext.h"

#include <algorithm>
#include <cstdio>

namespace wl {

namespace {

// Attributes referred to by objects live in slots 0 to 16 at most.
constexpr int AttributeSlots = 17;

std::string hex(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(v));
    return buf;
}

StreamContext readHeader(ByteReader& in, const std::string& fileName, int& dataFormat)
{
    StreamContext ctx;
    ctx.fileVersion = in.readU16();
    if (ctx.fileVersion == StreamContext::Version514) {
        in.readU16();
        in.readU16();
        ctx.storedUnit = 90000;
        dataFormat = 0;
        return ctx;
    }
    if (ctx.fileVersion != StreamContext::Version528 &&
        ctx.fileVersion != StreamContext::Version544)
        throw GlobeException("LoadFromFile: Invalid File Version " + hex(ctx.fileVersion) + " in " +
                             fileName);
    dataFormat = in.readI16();
    if (dataFormat != 0 && dataFormat != 1)
        throw GlobeException("LoadFromFile: Invalid Data Format " + std::to_string(dataFormat) +
                             " in " + fileName);
    ctx.storedUnit = dataFormat == 0 ? 90000 : 1;
    in.readU16();
    return ctx;
}

// Drops a record that could not be read whole, so no half-read object is ever drawn.
void dropDamaged(ObjectLayer& layer, GlobePersistent* record)
{
    if (auto* o = dynamic_cast<GlobeObject*>(record))
        layer.removeObject(*o);
    else if (auto* a = dynamic_cast<GlobeAttribute*>(record))
        layer.discardAttribute(*a);
}

void readBlock(ByteReader& in, StreamContext& ctx, ObjectLayer& layer, const std::string& fileName,
               const LayerFile::Progress& progress, const GlobeClassRegistry& registry)
{
    const std::int64_t count =
        ctx.fileVersion < StreamContext::Version528 ? in.readU16() : in.readI32();
    const std::string name = readShortString(in, 255);
    ctx.classVersion = ctx.fileVersion < StreamContext::Version528 ? 0 : in.readI16();
    if (!registry.contains(name))
        throw GlobeException("LoadFromFile: Unknown Globe Object Class " + name + " in " +
                             fileName);
    for (std::int64_t i = 0; i < count; ++i) {
        GlobePersistent* record = registry.create(name, layer);
        try {
            record->loadFromStream(in, ctx);
        } catch (...) {
            dropDamaged(layer, record);
            throw;
        }
        if (auto* o = dynamic_cast<GlobeObject*>(record))
            layer.host().objectCreated(*o);
        if (i > 0 && i % 1000 == 0 && progress)
            progress(static_cast<int>(i));
    }
    for (int i = 0; i < layer.objectCount(); ++i)
        layer.object(i)->loaded();
}

template <class List>
void writeBlocks(ByteWriter& out, const StreamContext& ctx, const List& list,
                 const GlobeClassRegistry& registry)
{
    // A record of a class the registry does not know would be dropped without a word.
    for (const auto& p : list) {
        if (!registry.contains(p->className()))
            throw GlobeException("SaveToFile: Unknown Globe Object Class " + p->className());
    }
    for (const std::string& name : registry.names()) {
        std::vector<const GlobePersistent*> block;
        for (const auto& p : list) {
            if (p->className() == name)
                block.push_back(p);
        }
        if (block.empty())
            continue;
        out.writeI32(static_cast<std::int32_t>(block.size()));
        writeShortString(out, name);
        out.writeI16(static_cast<std::int16_t>(block.front()->classVersion()));
        for (const GlobePersistent* p : block)
            p->saveToStream(out, ctx);
    }
}

void discardUnused(ObjectLayer& layer)
{
    for (int i = 0; i < layer.attributeCount(); ++i)
        layer.attribute(i)->used = false;
    for (int i = 0; i < layer.objectCount(); ++i) {
        for (int slot = 0; slot < AttributeSlots; ++slot) {
            if (GlobeAttribute* a = layer.object(i)->attribute(slot))
                a->used = true;
        }
    }
    for (int i = layer.attributeCount() - 1; i >= 0; --i) {
        if (!layer.attribute(i)->used)
            layer.discardAttribute(*layer.attribute(i));
    }
}

} // namespace

int LayerFile::read(std::span<const std::uint8_t> data, ObjectLayer& layer,
                    const std::string& fileName, const Progress& progress,
                    const GlobeClassRegistry* registry)
{
    const GlobeClassRegistry& classes = registry ? *registry : GlobeClassRegistry::standard();
    ByteReader in(data);
    int dataFormat = 1;
    StreamContext ctx = readHeader(in, fileName, dataFormat);
    while (!in.atEnd())
        readBlock(in, ctx, layer, fileName, progress, classes);
    return dataFormat;
}

void LayerFile::sortAttributes(ObjectLayer& layer)
{
    auto& list = layer.attributes();
    const int n = static_cast<int>(list.size());
    int gap = n - 1;
    if (n < 2)
        return;
    bool swapped;
    do {
        gap = static_cast<int>(gap * 0.76923);
        if (gap == 0)
            gap = 1;
        if (gap == 9 || gap == 10)
            gap = 11;
        swapped = false;
        for (int i = 0; i + gap < n; ++i) {
            if (list[i]->className() > list[i + gap]->className()) {
                std::swap(list[i], list[i + gap]);
                swapped = true;
            }
        }
    } while (gap > 1 || swapped);
}

std::vector<std::uint8_t> LayerFile::write(ObjectLayer& layer, int dataFormat,
                                           const GlobeClassRegistry* registry)
{
    const GlobeClassRegistry& classes = registry ? *registry : GlobeClassRegistry::standard();
    sortAttributes(layer);
    if (dataFormat != 0 && dataFormat != 1)
        throw GlobeException("SaveToFile: Unknown data format " + std::to_string(dataFormat));
    StreamContext ctx;
    ctx.fileVersion = StreamContext::Version544;
    ctx.storedUnit = dataFormat == 0 ? 90000 : 1;
    ByteWriter out;
    out.writeU16(StreamContext::Version544);
    out.writeU16(static_cast<std::uint16_t>(dataFormat));
    out.writeU16(0);
    discardUnused(layer);

    std::vector<const GlobePersistent*> attributes, objects;
    for (int i = 0; i < layer.attributeCount(); ++i)
        attributes.push_back(layer.attribute(i));
    for (int i = 0; i < layer.objectCount(); ++i)
        objects.push_back(layer.object(i));
    writeBlocks(out, ctx, attributes, classes);
    writeBlocks(out, ctx, objects, classes);
    return out.take();
}

} // namespace wl
