#include "globe/GlobeUnits.h"

#include "globe/GlobeException.h"
#include "globe/GlobeMath.h"

#include <array>
#include <cctype>

namespace wl {

namespace {

struct UnitInfo
{
    const char* abbreviation;
    long double factor;
};

// The factors are stored constants, reproduced to the digits the data was made with.
constexpr std::array<UnitInfo, GlobeUnitsCount> Units{{
    {"D", 5400000.0L},
    {"MN", 90000.0L},
    {"NM", 90000.0L},
    {"KM", 48596.112311015116575L},
    {"MI", 78157.894839681437588L},
    {"S", 1500.0L},
    {"T", 250.0L},
    {"H", 15.0L},
    {"TH", 1.0L},
    {"M", 48.59611231101511919L},
    {"CM", 0.48596112311015116081L},
    {"YD", 44.407894795273548993L},
    {"FT", 14.802631598424515147L},
    {"IN", 1.2335526332020430029L},
    {"GU", 1.0L},
    {"PI", 0.0L},
}};

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

long double unitFactor(GlobeUnits unit)
{
    return Units[static_cast<std::size_t>(unit) % GlobeUnitsCount].factor;
}

long double guToUnits(std::int64_t gu, GlobeUnits unit)
{
    const long double f = unitFactor(unit);
    if (f == 0)
        return static_cast<long double>(gu);
    return static_cast<long double>(gu) / f;
}

std::int32_t unitsToGU(GlobeUnits unit, long double value)
{
    return gmath::round32(value * unitFactor(unit));
}

GlobeUnits strToUnits(std::string_view text)
{
    for (int i = 0; i < GlobeUnitsCount; ++i) {
        if (equalNoCase(text, Units[i].abbreviation))
            return static_cast<GlobeUnits>(i);
    }
    throw GlobeException("StrToUnits: Unknown Unit " + std::string(text));
}

std::string unitsToStr(GlobeUnits unit)
{
    return unitsToStr(static_cast<int>(unit));
}

std::string unitsToStr(int ordinal)
{
    const int i = ordinal & 127;
    if (i >= GlobeUnitsCount)
        return {};
    return Units[i].abbreviation;
}

} // namespace wl
