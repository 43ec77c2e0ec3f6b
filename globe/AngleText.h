#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wl {

// Angle <-> text with a format of literals and %-codes: %D degrees, %M minutes, %S seconds,
// %T sixths of a second, %U remaining GU, %N N/S and %E E/W sign letters (codes in any case).
std::string guToStr(std::int64_t gu, std::string_view format);
// Never fails: a text that stops matching the format ends the walk with what was read so far.
std::int32_t strToGU(std::string_view text, std::string_view format);
// Decimal degrees through degrees, minutes and seconds, as the stored data was converted.
std::int32_t degToGU(long double degrees);

} // namespace wl
