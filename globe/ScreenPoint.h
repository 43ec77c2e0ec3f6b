#pragma once

#include <cstdint>

namespace wl {

// A device position in pixels; y grows downward.
struct ScreenPoint
{
    std::int32_t x = 0;
    std::int32_t y = 0;

    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

} // namespace wl

#include "globe/GURect.h"
