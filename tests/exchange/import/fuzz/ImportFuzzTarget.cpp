// libFuzzer entry for the text import's reader (decoding, separator choice, quoted fields over
// lines, control characters). Built by run-fuzz.sh with clang.
#include "ImportReadCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    wl::fuzz::checkImportRead(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
