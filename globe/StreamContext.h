#pragma once

#include <cstdint>

namespace wl {

// What a layer file's loader or saver knows about the stream, passed to every record reader
// and writer instead of being held process-wide.
struct StreamContext
{
    static constexpr int Version514 = 514;
    static constexpr int Version528 = 528;
    static constexpr int Version544 = 544;

    int fileVersion = Version544; // writers always write 544
    int classVersion = 0;         // of the class block being read; 0 before 528
    std::int32_t storedUnit = 1;  // 1: GU as int32; 90000: arc minutes as int16
};

} // namespace wl
