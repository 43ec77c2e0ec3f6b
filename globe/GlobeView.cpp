#include "globe/GlobeView.h"

#include <cmath>

namespace wl {

namespace {

void putI32(std::array<std::uint8_t, GlobeView::Size>& b, std::size_t at, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t getI32(const std::array<std::uint8_t, GlobeView::Size>& b, std::size_t at)
{
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= std::uint32_t{b[at + i]} << (8 * i);
    return static_cast<std::int32_t>(u);
}

// The 80-bit extended format written field by field, so the record is the same whatever
// width long double has on the building machine.
void putExtended(std::array<std::uint8_t, GlobeView::Size>& b, long double v)
{
    std::uint64_t mantissa = 0;
    std::uint16_t signExp = std::signbit(v) ? 0x8000 : 0;
    v = std::fabs(v);
    if (v != 0 && std::isfinite(v)) {
        int e = 0;
        const long double f = std::frexp(v, &e); // v = f * 2^e, f in [0.5, 1)
        mantissa = static_cast<std::uint64_t>(std::ldexp(f, 64));
        signExp |= static_cast<std::uint16_t>(e - 1 + 16383);
    }
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    b[8] = static_cast<std::uint8_t>(signExp);
    b[9] = static_cast<std::uint8_t>(signExp >> 8);
}

long double getExtended(const std::array<std::uint8_t, GlobeView::Size>& b)
{
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= std::uint64_t{b[i]} << (8 * i);
    const int signExp = b[8] | (b[9] << 8);
    const int e = signExp & 0x7FFF;
    if (mantissa == 0 || e == 0x7FFF)
        return 0; // zero, or a damaged record's infinity or NaN, which no view can use
    const long double v = std::ldexp(static_cast<long double>(mantissa), e - 16383 - 63);
    return signExp & 0x8000 ? -v : v;
}

} // namespace

std::array<std::uint8_t, GlobeView::Size> GlobeView::toBytes() const
{
    std::array<std::uint8_t, Size> b{};
    putExtended(b, scale);
    putI32(b, 12, cx);
    putI32(b, 16, cy);
    putI32(b, 20, xRotation);
    putI32(b, 24, yRotation);
    putI32(b, 28, yRotationAgain);
    return b;
}

GlobeView GlobeView::fromBytes(const std::array<std::uint8_t, Size>& b)
{
    GlobeView v;
    v.scale = getExtended(b);
    v.cx = getI32(b, 12);
    v.cy = getI32(b, 16);
    v.xRotation = getI32(b, 20);
    v.yRotation = getI32(b, 24);
    v.yRotationAgain = getI32(b, 28);
    return v;
}

} // namespace wl
