// Lines across the date line, great circles and the sun's position.
#include "RecordingCanvas.h"
#include "TestGlobeHost.h"

#include "globe/DrawServices.h"

#include <gtest/gtest.h>

using namespace wl;

namespace {

constexpr std::int32_t D = GUPerDegree;

std::vector<std::vector<ScreenPoint>> polylines(const RecordingCanvas& canvas)
{
    std::vector<std::vector<ScreenPoint>> out;
    for (const auto& c : canvas.calls) {
        if (c.what == "polyline")
            out.push_back(c.points);
    }
    return out;
}

} // namespace

TEST(DrawServices, LineAcrossTheDateLineIsSplitWhereItCrosses)
{
    TestGlobeHost host;
    host.model->setView(0, GU180, 300.0L / GlobeRadius, 0); // 180 degrees in the middle
    RecordingCanvas canvas;
    DrawServices(*host.model, canvas, 800, 600)
        .line(makeLLPoint(170 * D, 0), makeLLPoint(-170 * D, 0), 3);

    const auto lines = polylines(canvas);
    ASSERT_EQ(lines.size(), 2u);
    // 170E, 176.67E and the crossing; then the crossing, 176.67W and 170W: eastward throughout.
    ASSERT_EQ(lines[0].size(), 3u);
    ASSERT_EQ(lines[1].size(), 3u);
    EXPECT_LT(lines[0][0].x, lines[0][1].x);
    EXPECT_LT(lines[0][1].x, lines[0][2].x);
    EXPECT_EQ(lines[0][2].x, 400);
    EXPECT_EQ(lines[1][0].x, 400);
    EXPECT_LT(lines[1][1].x, lines[1][2].x);
    EXPECT_EQ(lines[1][2].x, 400 + (400 - lines[0][0].x));
}

TEST(DrawServices, GreatCirclePointsFollowTheShortOrLongWay)
{
    const LLPoint a = makeLLPoint(0, 0), b = makeLLPoint(90 * D, 0);
    const LLPointList shortWay = DrawServices::greatCirclePoints(a, b, 0);
    ASSERT_EQ(shortWay.count(), 91);
    for (int i = 0; i <= 90; i += 15) {
        EXPECT_NEAR(shortWay[i].lon, i * D, 2) << i;
        EXPECT_NEAR(shortWay[i].lat, 0, 2);
    }
    const LLPointList longWay = DrawServices::greatCirclePoints(a, b, 1);
    ASSERT_EQ(longWay.count(), 271);
    EXPECT_NEAR(longWay[0].lon, 90 * D, 2);
    EXPECT_NEAR(longWay[90].lon, GU180, 2); // onward through 180
    EXPECT_NEAR(longWay[270].lon, 0, 2);
    EXPECT_EQ(DrawServices::greatCirclePoints(a, b, 2).count(), 361);
    EXPECT_EQ(DrawServices::greatCirclePoints(a, a, 0).count(), 0); // drawn as one short line

    TestGlobeHost host;
    RecordingCanvas canvas;
    DrawServices(*host.model, canvas, 800, 600).greatCircle(a, a, 0);
    const auto lines = polylines(canvas);
    ASSERT_EQ(lines.size(), 1u); // the single short line of two points
    EXPECT_EQ(lines[0].size(), 2u);
}

TEST(DrawServices, SubsolarPointFollowsTheClockAndTheSeason)
{
    struct Case
    {
        double t;
        double lon, lat;
    };
    // 21 June 2024 (day 45464) and 21 December 2024 (day 45647).
    for (const Case c : {Case{45464.5, 0, 23.44}, Case{45464.0, 180, 23.44},
                         Case{45464.75, -90, 23.44}, Case{45647.5, 0, -23.44}}) {
        const LLPoint p = DrawServices::subsolarPoint(c.t);
        EXPECT_NEAR(p.lon / double(D), c.lon, 1e-9) << c.t;
        EXPECT_NEAR(p.lat / double(D), c.lat, 0.02) << c.t; // the formula's own accuracy
    }
}
