#include "store/PositionText.h"

#include <gtest/gtest.h>

namespace wl::store {
namespace {

TEST(PositionTextTest, DegreesBecomeTheFieldsTextForm)
{
    const struct
    {
        double lat, lon; // north and west positive
        const char* text;
    } cases[] = {
        {45.6333333, 122.6833333, "45 38N 122 41W      "},
        {-33.8666667, -151.2, "33 52S 151 12E      "},
        {0.0, 0.0, "0 00N 0 00W         "},
        // A minute rounded up to 60 carries into the degree; the sign still names the side.
        {51.9999, -0.0001, "52 00N 0 00E        "},
        {-89.9999, 179.9999, "90 00S 180 00W      "},
        {7.05, -100.5, "7 03N 100 30E       "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(positionText(c.lat, c.lon), QLatin1String(c.text)) << c.lat << ' ' << c.lon;
}

} // namespace
} // namespace wl::store
