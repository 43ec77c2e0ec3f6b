#pragma once

// Reads an arbitrary byte string as a stream of object and attribute records, the way a layer
// file's blocks are read, then measures, hit-tests and writes back whatever was read. Shared by
// the libFuzzer target and the replay test.
//
// Byte 0 picks the stream context (file version, stored unit, class version); after it, each
// record is preceded by one byte choosing its class.

#include "TestGlobeHost.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeClasses.h"
#include "globe/GlobeException.h"
#include "globe/GlobeObject.h"
#include "globe/ObjectLayer.h"
#include "globe/StreamContext.h"

#include <cstddef>
#include <cstdint>

inline wl::StreamContext contextFromByte(std::uint8_t mode)
{
    static const int versions[] = {wl::StreamContext::Version514, wl::StreamContext::Version528,
                                   wl::StreamContext::Version544};
    wl::StreamContext ctx;
    ctx.fileVersion = versions[(mode & 3) % 3];
    ctx.storedUnit = (mode & 4) ? 90000 : 1;
    ctx.classVersion = (mode & 8) ? 1 : 0;
    return ctx;
}

// Returns the number of records read completely; a malformed record ends the stream.
inline int readRecordStream(const std::uint8_t* data, std::size_t size, bool* failed = nullptr)
{
    if (failed)
        *failed = false;
    if (size == 0)
        return 0;
    const wl::StreamContext ctx = contextFromByte(data[0]);
    wl::ByteReader in({data + 1, size - 1});
    TestGlobeHost host;
    wl::ObjectLayer layer(host);
    const auto& names = wl::GlobeClasses::names();
    int complete = 0;
    try {
        while (!in.atEnd()) {
            const std::uint8_t c = in.readU8();
            wl::GlobePersistent* p = wl::GlobeClasses::create(names[c % names.size()], layer);
            p->loadFromStream(in, ctx);
            ++complete;
        }
    } catch (const wl::GlobeException&) {
        if (failed)
            *failed = true;
    }
    // Whatever was read, even a record cut short, must be safe to use.
    for (int i = 0; i < layer.objectCount(); ++i) {
        wl::GlobeObject* o = layer.object(i);
        o->hitTest(0, 0);
        o->isOnScreen();
        wl::ByteWriter w;
        try {
            o->saveToStream(w, ctx);
        } catch (const wl::GlobeException&) {
        }
    }
    return complete;
}
