// libFuzzer entry for the layer file reader: reads the bytes as a whole layer file, then
// measures and writes back whatever was read, so a record the reader accepted but left
// inconsistent shows up too. Built by run-fuzz.sh with clang.
#include "TestGlobeHost.h"

#include "globe/GlobeException.h"
#include "globe/LayerFile.h"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TestGlobeHost host;
    wl::ObjectLayer layer(host);
    try {
        wl::LayerFile::read(std::span(data, size), layer, "fuzz.lay");
    } catch (const wl::GlobeException&) {
    }
    for (int i = 0; i < layer.objectCount(); ++i) {
        wl::GlobeObject& o = *layer.object(i);
        o.updateBounds();
        o.hitTest(0, 0);
    }
    for (int format : {0, 1})
        wl::LayerFile::write(layer, format);
    return 0;
}
