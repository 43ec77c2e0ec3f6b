#include "globe/AngleText.h"
#include "globe/GlobeException.h"
#include "globe/GlobeMath.h"
#include "globe/GlobeUnits.h"
#include "globe/LLPoint.h"
#include "globe/Spheroid.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wl;

TEST(GlobeUnits, FactorsAndAbbreviationsMatchTheStoredTable)
{
    struct Row
    {
        GlobeUnits unit;
        const char* abbreviation;
        long double factor;
    };
    const Row rows[] = {
        {GlobeUnits::Degree, "D", 5400000.0L},
        {GlobeUnits::Minute, "MN", 90000.0L},
        {GlobeUnits::NauticalMile, "NM", 90000.0L},
        {GlobeUnits::Kilometer, "KM", 48596.112311015116575L},
        {GlobeUnits::Mile, "MI", 78157.894839681437588L},
        {GlobeUnits::Second, "S", 1500.0L},
        {GlobeUnits::Third, "T", 250.0L},
        {GlobeUnits::Hundreth, "H", 15.0L},
        {GlobeUnits::Thousanth, "TH", 1.0L},
        {GlobeUnits::Meter, "M", 48.59611231101511919L},
        {GlobeUnits::CentiMeter, "CM", 0.48596112311015116081L},
        {GlobeUnits::Yard, "YD", 44.407894795273548993L},
        {GlobeUnits::Foot, "FT", 14.802631598424515147L},
        {GlobeUnits::Inch, "IN", 1.2335526332020430029L},
        {GlobeUnits::GlobeUnit, "GU", 1.0L},
        {GlobeUnits::Pixel, "PI", 0.0L},
    };
    for (int i = 0; i < GlobeUnitsCount; ++i) {
        SCOPED_TRACE(rows[i].abbreviation);
        EXPECT_EQ(static_cast<int>(rows[i].unit), i);
        EXPECT_EQ(unitFactor(rows[i].unit), rows[i].factor);
        EXPECT_EQ(unitsToStr(rows[i].unit), rows[i].abbreviation);
        EXPECT_EQ(strToUnits(rows[i].abbreviation), rows[i].unit);
    }
    // Lower case matches; MN comes before NM, so an abbreviation names exactly one unit.
    EXPECT_EQ(strToUnits("km"), GlobeUnits::Kilometer);
    EXPECT_EQ(unitsToStr(128 + 3), "KM");
    EXPECT_EQ(unitsToStr(16), "");
    try {
        strToUnits("XX");
        FAIL();
    } catch (const GlobeException& e) {
        EXPECT_STREQ(e.what(), "StrToUnits: Unknown Unit XX");
    }
}

TEST(GlobeUnits, ConversionsIncludingPixel)
{
    EXPECT_EQ(guToUnits(90000, GlobeUnits::NauticalMile), 1.0L);
    EXPECT_EQ(guToUnits(12345, GlobeUnits::Pixel), 12345.0L);
    EXPECT_EQ(unitsToGU(GlobeUnits::Pixel, 12), 0);
    EXPECT_EQ(unitsToGU(GlobeUnits::Kilometer, 1), 48596);
    EXPECT_EQ(unitsToGU(GlobeUnits::Degree, 90), GU90);
    // Ties go to even, not away from zero.
    EXPECT_EQ(unitsToGU(GlobeUnits::GlobeUnit, 2.5L), 2);
    EXPECT_EQ(unitsToGU(GlobeUnits::GlobeUnit, -2.5L), -2);
    EXPECT_EQ(unitsToGU(GlobeUnits::Degree, 1e6L), 2147483647);
}

TEST(Spheroid, AxesAndFlattenings)
{
    EXPECT_EQ(spheroidData(Spheroid::WGS84).semiMajorAxis, 309952662);
    EXPECT_NEAR(static_cast<double>(spheroidData(Spheroid::WGS84).flattening),
                0.0033528106647474809, 1e-18);
    // The axis is the metre value in GU of length.
    EXPECT_EQ(std::llrint(6378137.0L * 90000 / 1852), 309952662);
    EXPECT_EQ(spheroidData(Spheroid::Airy1830).semiMajorAxis, 309924787);
    EXPECT_EQ(1.0L / spheroidData(Spheroid::Hough).flattening, 297.0L);
}

TEST(LLPoint, MakeWrapsLongitudeOnceAndBuildsSphereCoordinates)
{
    EXPECT_EQ(makeLLPoint(-972000000, 0).lon, 972000000);
    EXPECT_EQ(makeLLPoint(972000001, 0).lon, -971999999);
    EXPECT_EQ(makeLLPoint(-971999999, 0).lon, -971999999);
    EXPECT_EQ(makeLLPoint(0, 500000000).lat, 500000000);
    EXPECT_EQ(makeLLPoint(2147483647, 0).lon, 2147483647 - 1944000000);

    const LLPoint east = makeLLPoint(GU90, 0);
    EXPECT_EQ(east.x, GlobeRadius);
    EXPECT_EQ(east.y, 0);
    EXPECT_EQ(east.z, 0);
    const LLPoint north = makeLLPoint(0, GU90);
    EXPECT_EQ(north.y, GlobeRadius);
    EXPECT_EQ(llPoint(5, 6), (LLPoint{5, 6, 0, 0, 0}));

    EXPECT_EQ(normalizeLon(2808000000LL), 864000000);
    EXPECT_EQ(normalizeLon(-972000000), 972000000);
    EXPECT_EQ(normalizeLon(972000000), 972000000);
    EXPECT_EQ(normalizeLon(-5 * 1944000000LL + 1), 1);
    EXPECT_EQ(clampLat(500000000), GU90);
    EXPECT_EQ(clampLat(-3000000000LL), -GU90);
}

// The quick sine and cosine agree with the library's over every angle a point can carry, and
// so do the sphere coordinates built with them.
TEST(LLPoint, QuickSineAndCosineMatchTheLibrary)
{
    for (long double x = -8; x <= 8; x += 0.0009765625L) {
        long double s = 0, c = 0;
        gmath::sinCos(x, s, c);
        ASSERT_NEAR(static_cast<double>(s - std::sin(x)), 0, 1e-17) << static_cast<double>(x);
        ASSERT_NEAR(static_cast<double>(c - std::cos(x)), 0, 1e-17) << static_cast<double>(x);
    }
    int differing = 0;
    for (std::int64_t lon = -972000000; lon <= 972000000; lon += 9719999) {
        for (std::int64_t lat = -486000000; lat <= 486000000; lat += 4860001) {
            const LLPoint p =
                makeLLPoint(static_cast<std::int32_t>(lon), static_cast<std::int32_t>(lat));
            const long double lambda = p.lon * RadianPerGU, phi = p.lat * RadianPerGU;
            const long double c = std::cos(phi) * GlobeRadius;
            const std::int32_t ref[3] = {gmath::round32(std::sin(lambda) * c),
                                         gmath::round32(std::sin(phi) * GlobeRadius),
                                         gmath::round32(std::cos(lambda) * c)};
            differing += (p.x != ref[0]) + (p.y != ref[1]) + (p.z != ref[2]);
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(AngleText, FormatsAndParsesBothWays)
{
    const std::int32_t south = -(37 * 5400000 + 30 * 90000);
    EXPECT_EQ(guToStr(south, "%d %m %N"), "37 30 S");
    EXPECT_EQ(guToStr(south, "%d %m %W"), "37 30 W");
    EXPECT_EQ(guToStr(-south, "%d %m %E"), "37 30 E");
    EXPECT_EQ(guToStr(-south, "%d %m %W"), "37 30 W");
    EXPECT_EQ(guToStr(1 * 5400000 + 2 * 90000 + 3 * 1500 + 4 * 250 + 5, "%D:%M:%S:%T:%U"),
              "1:02:03:04:05");
    EXPECT_EQ(guToStr(-2147483647 - 1LL, "%d%e"), "397W");

    struct Case
    {
        const char* text;
        const char* format;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"45 30 N", "%d %m %N", 45 * 5400000 + 30 * 90000},
        {"45 30 S", "%d %m %N", -(45 * 5400000 + 30 * 90000)},
        {"45 30 s", "%d %m %n", -(45 * 5400000 + 30 * 90000)},
        {"120 15 e", "%D %M %E", 120 * 5400000 + 15 * 90000},
        {"120 15 W", "%D %M %E", -(120 * 5400000 + 15 * 90000)},
        {"1:02:03:04:05", "%D:%M:%S:%T:%U", 1 * 5400000 + 2 * 90000 + 3 * 1500 + 4 * 250 + 5},
        {"  7x30", "%d %m", 7 * 5400000}, // literal mismatch ends the walk
        {"12", "%d %m %N", 12 * 5400000}, // text runs out first
        {"12abc", "%d", 12 * 5400000},    // digits before the stop count
        {"", "%d", 0},
        {"99999999999999", "%d", 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(strToGU(c.text, c.format), c.expected);
    }
    for (std::int32_t v : {0, 1, 249, 250, 1499, 5399999, 486000000, -486000000, -123456789}) {
        EXPECT_EQ(strToGU(guToStr(v, "%D %M %S %T %U %N"), "%D %M %S %T %U %N"), v);
    }
}

TEST(AngleText, DecimalDegrees)
{
    EXPECT_EQ(degToGU(1.0L), 5400000);
    EXPECT_EQ(degToGU(-1.5L), -8100000);
    EXPECT_EQ(degToGU(51.5074L), 278139960);
    EXPECT_EQ(degToGU(-74.006L), -399632400);
    EXPECT_EQ(degToGU(0.5L / 3600), 750);
    EXPECT_EQ(degToGU(1e30L), 2147483647);
    EXPECT_EQ(degToGU(NAN), 0);
}
