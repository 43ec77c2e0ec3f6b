#pragma once

#include <cstdint>

namespace wl {

// Reference ellipsoids; the ordinals are part of the control's stored settings.
enum class Spheroid : std::uint8_t
{
    Airy1830,
    Australian1965,
    Bessel1841,
    Clarke1866,
    Clarke1880,
    Everest1830,
    GRS1967,
    GRS1980,
    Helmert1906,
    Hough,
    International1920,
    Krassovsky1940,
    SouthAmerican1969,
    WGS60,
    WGS66,
    WGS72,
    WGS84,
};

inline constexpr int SpheroidCount = 17;

struct SpheroidData
{
    std::int32_t semiMajorAxis; // GU of length (one arc minute = 1852 m)
    long double flattening;     // f, not 1/f
};

SpheroidData spheroidData(Spheroid s);

} // namespace wl
