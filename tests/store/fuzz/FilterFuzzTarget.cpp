// libFuzzer entry for the filter parser and compiler; built by run-fuzz.sh with clang.
#include "FilterFuzzDriver.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString fault = wl::store::test::runFilter(data, size);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "%s\n", fault.toUtf8().constData());
        std::abort();
    }
    return 0;
}
