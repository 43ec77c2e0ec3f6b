// Regenerates data/ from the text extract-globe-data.js writes:
//   node tools/extract-globe-data.js <node_modules> /tmp/extract
//   globe_data_convert /tmp/extract data
#include "globe/GlobeException.h"
#include "tools/GlobeDataConverter.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <extract folder> <data folder>\n", argv[0]);
        return 2;
    }
    try {
        wl::tools::GlobeDataConverter::convert(argv[1], argv[2]);
    } catch (const wl::GlobeException& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
