#pragma once

#include <cstdint>

namespace wl {

// Globe units (GU): 5,400,000 per degree, so every angle fits a signed 32-bit integer.
inline constexpr std::int32_t GUPerDegree = 5400000;
inline constexpr std::int32_t GUPerMinute = 90000;
inline constexpr std::int32_t GU90 = 486000000;
inline constexpr std::int32_t GU180 = 972000000;
inline constexpr std::int64_t GU360 = 1944000000;
// 972,000,000 / pi: radians to GU.
inline constexpr long double GUPerRadian = 309397209.37064453276L;
inline constexpr long double RadianPerGU = 3.141592653589793238462643383279502884L / 972000000.0L;
// Radius of the sphere on which X, Y, Z are built; deliberately not GUPerRadian.
inline constexpr std::int32_t GlobeRadius = 309397230;

// A position in GU (east- and north-positive) with its point on the globe sphere.
struct LLPoint
{
    std::int32_t lon = 0;
    std::int32_t lat = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;

    friend bool operator==(const LLPoint&, const LLPoint&) = default;
};

// Wraps the longitude once into (-180, 180] and fills the sphere coordinates.
LLPoint makeLLPoint(std::int32_t lon, std::int32_t lat);
// A bare position without sphere coordinates (rectangles, temporaries).
constexpr LLPoint llPoint(std::int32_t lon, std::int32_t lat)
{
    return LLPoint{lon, lat, 0, 0, 0};
}

// Brings any longitude, however far out, into (-180, 180] with a floor modulo.
std::int32_t normalizeLon(std::int64_t lon);
// Clamps a latitude into [-90, 90].
std::int32_t clampLat(std::int64_t lat);

} // namespace wl
