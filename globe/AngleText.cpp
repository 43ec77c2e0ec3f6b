#include "globe/AngleText.h"

#include "globe/GlobeMath.h"
#include "globe/LLPoint.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace wl {

namespace {

std::string twoDigits(std::int64_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lld", static_cast<long long>(std::llabs(v)));
    return buf;
}

// Reads a decimal integer (leading blanks skipped, optional sign) at the front of text and
// advances past it; digits read before a stopping character still count.
std::int64_t readInteger(std::string_view& text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        // Saturate instead of overflowing; the final result is clamped to 32 bits anyway.
        if (v < 100000000000LL)
            v = v * 10 + (text[i] - '0');
        ++i;
    }
    text.remove_prefix(i);
    return negative ? -v : v;
}

} // namespace

std::string guToStr(std::int64_t gu, std::string_view format)
{
    const std::int64_t d = gu / 5400000;
    const std::int64_t r1 = gu - d * 5400000;
    const std::int64_t m = r1 / 90000;
    const std::int64_t r2 = r1 - m * 90000;
    const std::int64_t s = r2 / 1500;
    const std::int64_t r3 = r2 - s * 1500;
    const std::int64_t t = r3 / 250;
    const std::int64_t u = r3 - t * 250;
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (++i >= format.size())
            break;
        const char code = static_cast<char>(std::toupper(static_cast<unsigned char>(format[i])));
        switch (code) {
        case 'D':
            out += std::to_string(std::llabs(d));
            break;
        case 'M':
            out += twoDigits(m);
            break;
        case 'S':
            out += twoDigits(s);
            break;
        case 'T':
            out += twoDigits(t);
            break;
        case 'U':
            out += twoDigits(u);
            break;
        case 'N':
            out += gu < 0 ? 'S' : 'N';
            break;
        case 'E':
            out += gu < 0 ? 'W' : 'E';
            break;
        default:
            out += format[i];
            break;
        }
    }
    return out;
}

std::int32_t strToGU(std::string_view text, std::string_view format)
{
    bool positive = true;
    std::int64_t d = 0, m = 0, s = 0, t = 0, u = 0;
    for (std::size_t i = 0; i < format.size() && !text.empty(); ++i) {
        if (format[i] != '%') {
            if (text.front() != format[i])
                break;
            text.remove_prefix(1);
            continue;
        }
        if (++i >= format.size())
            break;
        const char code = static_cast<char>(std::toupper(static_cast<unsigned char>(format[i])));
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text.front())));
        switch (code) {
        case 'D':
            d = readInteger(text);
            break;
        case 'M':
            m = readInteger(text);
            break;
        case 'S':
            s = readInteger(text);
            break;
        case 'T':
            t = readInteger(text);
            break;
        case 'U':
            u = readInteger(text);
            break;
        case 'N':
            positive = c == 'N';
            text.remove_prefix(1);
            break;
        case 'E':
            positive = c == 'E';
            text.remove_prefix(1);
            break;
        default:
            break;
        }
    }
    const std::int64_t v = u + d * 5400000 + m * 90000 + s * 1500 + t * 250;
    return gmath::saturate32(positive ? v : -v);
}

std::int32_t degToGU(long double x)
{
    if (!std::isfinite(x))
        return 0;
    const long double a = std::trunc(x);
    const long double f1 = x - a;
    const long double b = std::trunc(f1 * 60);
    const long double f2 = f1 * 60 - b;
    const long double c = std::trunc(f2 * 60);
    // rint rounds as nearbyint does in the default rounding mode, without saving and
    // restoring the floating-point environment: a million records convert in far less time.
    const long double d = std::rint((f2 * 60 - c) * 1500);
    return gmath::round32(a * 5400000 + b * 90000 + c * 1500 + d);
}

} // namespace wl
