// libFuzzer entry for the record reader; built only with -DWAVELARK_FUZZ=ON and clang.
#include "fuzz/RecordStreamDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    readRecordStream(data, size);
    return 0;
}
