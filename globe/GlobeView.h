#pragma once

#include <array>
#include <cstdint>

namespace wl {

// A saved view of the globe control: scale, screen origin and rotations, stored by the map
// window as a 32-byte record (80-bit extended scale, 2 bytes padding, CX, CY, X rotation,
// Y rotation, Y rotation again; little-endian).
struct GlobeView
{
    static constexpr std::size_t Size = 32;

    long double scale = 0;
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    std::int32_t xRotation = 0;
    std::int32_t yRotation = 0;
    std::int32_t yRotationAgain = 0;

    std::array<std::uint8_t, Size> toBytes() const;
    static GlobeView fromBytes(const std::array<std::uint8_t, Size>& bytes);
};

} // namespace wl
