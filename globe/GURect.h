#pragma once

#include <cstdint>

namespace wl {

// A rectangle of GU: Left/Right longitudes, Top/Bottom latitudes (Top is the smaller).
struct GURect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool isEmpty() const { return left >= right || top >= bottom; }
    friend bool operator==(const GURect&, const GURect&) = default;
};

} // namespace wl
