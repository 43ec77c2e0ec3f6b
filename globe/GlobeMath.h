#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Integer helpers shared by the geodesy, the projections and the objects. Rounding is to the
// nearest integer with ties to even (the default floating-point mode), never half away from zero.
namespace wl::gmath {

inline constexpr long double Pi = 3.141592653589793238462643383279502884L;

// Clamps a 64-bit value into the signed 32-bit range.
constexpr std::int32_t saturate32(std::int64_t v)
{
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// Rounds half to even and saturates; NaN gives 0 so a degenerate input cannot poison a caller.
inline std::int32_t round32(long double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0L)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0L)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::llrint(v));
}

// Truncates toward zero and saturates.
inline std::int32_t trunc32(long double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0L)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0L)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// a * m / d with a 64-bit intermediate, rounded to nearest (ties to even); d = 0 gives 0.
inline std::int64_t mulDiv(std::int64_t a, std::int64_t m, std::int64_t d)
{
    if (d == 0)
        return 0;
    return std::llrint(static_cast<long double>(a) * static_cast<long double>(m) /
                       static_cast<long double>(d));
}

// Modulo whose result has the sign of the divisor (a floor modulo).
constexpr std::int64_t floorMod(std::int64_t a, std::int64_t m)
{
    std::int64_t r = a % m;
    return (r != 0 && ((r < 0) != (m < 0))) ? r + m : r;
}

// Sine and cosine of an angle of a few turns at most. The C library reduces every long double
// argument beyond a quarter of pi with a multi-precision routine that costs as much as a
// thousand instructions; projecting a globe full of points spends most of its time there.
// Taking off whole quarter turns first leaves an error of a few units in the last place of a
// long double, far below the integer units every caller rounds to.
inline void sinCos(long double x, long double& s, long double& c)
{
    constexpr long double HalfPi = Pi / 2;
    const long quarter = std::lrint(x / HalfPi);
    const long double r = x - quarter * HalfPi;
    const long double sr = std::sin(r), cr = std::cos(r);
    switch (quarter & 3) {
    case 0:
        s = sr;
        c = cr;
        break;
    case 1:
        s = cr;
        c = -sr;
        break;
    case 2:
        s = -sr;
        c = -cr;
        break;
    default:
        s = -cr;
        c = sr;
        break;
    }
}

} // namespace wl::gmath
