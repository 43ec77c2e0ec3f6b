#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wl {

// Measurement units; the ordinals are stored in layer files and must not change.
enum class GlobeUnits : std::uint8_t
{
    Degree,
    Minute,
    NauticalMile,
    Kilometer,
    Mile,
    Second,
    Third,
    Hundreth,
    Thousanth,
    Meter,
    CentiMeter,
    Yard,
    Foot,
    Inch,
    GlobeUnit,
    Pixel,
};

inline constexpr int GlobeUnitsCount = 16;

// GU per unit; 0 for Pixel, which is no ground unit.
long double unitFactor(GlobeUnits unit);
// Value / factor; a Pixel value comes back unchanged.
long double guToUnits(std::int64_t gu, GlobeUnits unit);
// Rounded (ties to even) and saturated to 32 bits; 0 for Pixel.
std::int32_t unitsToGU(GlobeUnits unit, long double value);
// Case-insensitive abbreviation lookup; throws GlobeException for an unknown text.
GlobeUnits strToUnits(std::string_view text);
std::string unitsToStr(GlobeUnits unit);
// Ordinal form used by stream readers: only the low seven bits count, above 15 gives "".
std::string unitsToStr(int ordinal);

} // namespace wl
