#include "TestPrjHost.h"

#include "globe/CartesianPrj.h"
#include "globe/Clipper.h"
#include "globe/Geodesy.h"
#include "globe/LLPointList.h"
#include "globe/MercatorPrj.h"
#include "globe/PointCache.h"
#include "globe/SphericalPrj.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

using namespace wl;

namespace {

constexpr std::int32_t D = 5400000; // one degree in GU

struct Fixture : ::testing::Test
{
    TestPrjHost host;
    SphericalPrj prj{host};

    void view(std::int32_t x, std::int32_t y, long double radiusPx, std::int32_t z = 0)
    {
        prj.setOrigin(400, 300);
        prj.setView(x, y, radiusPx / GlobeRadius, z);
    }
    ScreenPoint at(std::int32_t lon, std::int32_t lat)
    {
        EXPECT_TRUE(prj.projectLL(lon, lat, 0)) << lon << " " << lat;
        return prj.points()[0];
    }
};

using Spherical = Fixture;

// Orthographic positions from PROJ for a view centre, in GU east and north of the centre.
class ProjOrtho
{
public:
    ProjOrtho(double lat0, double lon0)
    {
        m_ctx = proj_context_create();
        const std::string def = "+proj=ortho +lat_0=" + std::to_string(lat0) +
                                " +lon_0=" + std::to_string(lon0) + " +R=309397230";
        m_pj = proj_create(m_ctx, def.c_str());
    }
    ~ProjOrtho()
    {
        proj_destroy(m_pj);
        proj_context_destroy(m_ctx);
    }
    bool forward(double latDeg, double lonDeg, double& e, double& n) const
    {
        PJ_COORD c = proj_coord(proj_torad(lonDeg), proj_torad(latDeg), 0, 0);
        c = proj_trans(m_pj, PJ_FWD, c);
        if (!std::isfinite(c.xy.x) || c.xy.x == HUGE_VAL)
            return false;
        e = c.xy.x;
        n = c.xy.y;
        return true;
    }
    bool valid() const { return m_pj != nullptr; }

private:
    PJ_CONTEXT* m_ctx = nullptr;
    PJ* m_pj = nullptr;
};

} // namespace

TEST_F(Spherical, CentreDirectionsAndPoles)
{
    view(0, 0, 200);
    EXPECT_EQ(at(0, 0), (ScreenPoint{400, 300}));
    EXPECT_GT(at(10 * D, 0).x, 400);
    EXPECT_EQ(at(10 * D, 0).y, 300);
    EXPECT_LT(at(0, 10 * D).y, 300);
    EXPECT_EQ(at(0, GU90 - 1), (ScreenPoint{400, 100}));
    EXPECT_EQ(at(0, -GU90 + 1), (ScreenPoint{400, 500}));
    EXPECT_FALSE(prj.projectLL(GU180, 0, 0)); // far side

    view(0, -90 * D, 200);
    EXPECT_EQ(at(-90 * D, 0), (ScreenPoint{400, 300}));
    std::int32_t lon = 1, lat = 1;
    ASSERT_TRUE(prj.unproject(400, 300, lon, lat));
    EXPECT_EQ(lon, -90 * D);
    EXPECT_EQ(lat, 0);
    EXPECT_FALSE(prj.unproject(400 + 201, 300, lon, lat));
}

TEST_F(Spherical, ViewIsClampedAndWrapped)
{
    const int before = host.viewChanges;
    view(100 * D, 190 * D, 200, -200 * D);
    EXPECT_EQ(prj.xRotation(), 90 * D);
    EXPECT_EQ(prj.yRotation(), -170 * D);
    EXPECT_EQ(prj.zRotation(), 160 * D);
    EXPECT_EQ(host.viewChanges, before + 1);
    EXPECT_EQ(prj.unitsPerPixel(), std::lrint(GlobeRadius / 200.0));
    EXPECT_EQ(prj.unitsPerInch(), std::lrint(96.0 * GlobeRadius / 200.0));
    view(0, 0, 1e-12L);
    EXPECT_EQ(prj.unitsPerInch(), 2147483647);
}

TEST_F(Spherical, MatchesProjOrthographicWithinAPixel)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::int32_t> lon(-971999999, 972000000);
    std::uniform_int_distribution<std::int32_t> lat(-GU90, GU90);
    int compared = 0;
    for (int v = 0; v < 20; ++v) {
        const std::int32_t x = lat(rng), y = lon(rng);
        const long double radiusPx = 100 + 400 * v;
        view(x, y, radiusPx);
        ProjOrtho ortho(x / 5400000.0, y / 5400000.0);
        ASSERT_TRUE(ortho.valid());
        for (int i = 0; i < 2000; ++i) {
            const LLPoint p = makeLLPoint(lon(rng), lat(rng));
            double e, n;
            const bool visible = prj.project(p, 0);
            if (!ortho.forward(p.lat / 5400000.0, p.lon / 5400000.0, e, n)) {
                EXPECT_FALSE(visible && std::hypot(prj.points()[0].x - 400.0,
                                                   prj.points()[0].y - 300.0) < radiusPx - 2);
                continue;
            }
            const double scale = static_cast<double>(prj.scale());
            if (!visible) {
                // Only points on the horizon may disagree about visibility.
                EXPECT_GT(std::hypot(e, n) * scale, radiusPx - 2);
                continue;
            }
            ASSERT_NEAR(prj.points()[0].x, 400 + e * scale, 1.0) << v << " " << i;
            ASSERT_NEAR(prj.points()[0].y, 300 - n * scale, 1.0) << v << " " << i;
            ++compared;
        }
    }
    EXPECT_GT(compared, 15000);
}

TEST_F(Spherical, UnprojectInvertsProjectAndReachesThePole)
{
    std::mt19937 rng(3);
    std::uniform_int_distribution<std::int32_t> lon(-971999999, 972000000);
    std::uniform_int_distribution<std::int32_t> lat(-GU90 + D, GU90 - D);
    for (std::int32_t roll : {0, 30 * D, -100 * D}) {
        view(40 * D, -75 * D, 300000, roll);
        for (int i = 0; i < 500; ++i) {
            const LLPoint p = makeLLPoint(lon(rng), lat(rng));
            // Near the horizon half a pixel spans far more ground; compare the inner disc.
            if (llDistance(p, makeLLPoint(-75 * D, 40 * D)) > 60 * D || !prj.project(p, 0))
                continue;
            std::int32_t l, t;
            ASSERT_TRUE(prj.unproject(prj.points()[0].x, prj.points()[0].y, l, t));
            // One pixel is about 1,031 GU at this scale.
            EXPECT_LT(std::hypot(std::remainder(l - p.lon, 1944000000.0) *
                                     std::cos(p.lat * M_PI / 972000000),
                                 t - p.lat),
                      1500);
        }
    }
    // Clicking the centre of a pole-centred view gives the pole, not the equator.
    view(GU90, 0, 200);
    std::int32_t l, t;
    ASSERT_TRUE(prj.unproject(400, 300, l, t));
    // Not the equator; the few GU are the double-precision matrix near asin(1).
    EXPECT_NEAR(t, GU90, 10);
}

TEST_F(Spherical, RollTurnsThePictureAboutTheDiscCentre)
{
    view(30 * D, 20 * D, 200);
    const ScreenPoint north = at(20 * D, 40 * D);
    view(30 * D, 20 * D, 200, 90 * D);
    // The view centre stays in the middle; north now points to the right.
    EXPECT_EQ(at(20 * D, 30 * D), (ScreenPoint{400, 300}));
    const ScreenPoint turned = at(20 * D, 40 * D);
    EXPECT_NEAR(turned.x - 400, 300 - north.y, 1);
    EXPECT_NEAR(turned.y - 300, north.x - 400, 1);
    std::int32_t l, t;
    ASSERT_TRUE(prj.unproject(400, 300, l, t));
    EXPECT_EQ(l, 20 * D);
    EXPECT_EQ(t, 30 * D);
}

TEST_F(Spherical, ProjectListPushesPolygonsOntoTheRimAndBreaksPolylines)
{
    view(0, 0, 200);
    LLPointList line;
    for (std::int32_t lon = -60; lon <= 290; lon += 10)
        line.add(makeLLPoint(lon * D, 0));
    // Polygon mode: every point is emitted, hidden ones on the rim (x = 400 +/- 200).
    const int n = prj.projectList(line, nullptr, PrjModel::Shape::Polygon);
    ASSERT_EQ(prj.runs().size(), 1u);
    int onRim = 0;
    for (int i = 0; i < n; ++i) {
        EXPECT_LE(std::abs(prj.points()[i].x - 400), 200);
        onRim += std::abs(prj.points()[i].x - 400) == 200;
    }
    EXPECT_GE(onRim, 2);
    // Polyline mode: the run ends at the horizon and resumes where the line comes back.
    const int m = prj.projectList(line, nullptr, PrjModel::Shape::Polyline);
    ASSERT_EQ(prj.runs().size(), 2u);
    EXPECT_EQ(prj.runs()[0].start, 0);
    EXPECT_EQ(prj.runs()[0].count, 16); // -60 .. 90, the last on the horizon
    EXPECT_EQ(prj.runs()[1].count, 3);  // 270 .. 290, that is -90 .. -70
    EXPECT_EQ(prj.runs()[1].start + prj.runs()[1].count, m);
    EXPECT_EQ(prj.points()[prj.runs()[1].start], (ScreenPoint{200, 300}));

    // The owner's cache keeps only points more than a pixel apart at the zoom it was built.
    LLPointList dense;
    for (int i = 0; i < 1000; ++i)
        dense.add(makeLLPoint(i * 100, 0));
    PointCache cache;
    prj.projectList(dense, &cache, PrjModel::Shape::Polyline);
    EXPECT_TRUE(cache.built);
    EXPECT_LT(cache.indices.size(), 10u);
}

TEST_F(Spherical, RectanglesAndHiddenPolygonsGetClipCodes)
{
    view(0, 0, 200);
    std::uint8_t code = 99;
    EXPECT_TRUE(prj.rectVisible(GURect{-10 * D, -10 * D, 10 * D, 10 * D}, code));
    EXPECT_EQ(code, 0);
    // Entirely on the far side: no corner projects, the code is left alone.
    code = 99;
    EXPECT_FALSE(prj.rectVisible(GURect{170 * D, -10 * D, 175 * D, 10 * D}, code));
    EXPECT_EQ(code, 99);
    // Larger than the surface: visible, with a code that asks for clipping.
    view(0, 0, 2000);
    EXPECT_TRUE(prj.rectVisible(GURect{-60 * D, -60 * D, 60 * D, 60 * D}, code));
    EXPECT_NE(code, 0);

    // Boxes whose four corners are all hidden but which reach the visible side: one wider
    // than a hemisphere (a land mass across the date line, seen from 20E), and one whose
    // bottom edge runs through the view from corners behind the horizon.
    view(0, 20 * D, 200);
    code = 99;
    EXPECT_TRUE(prj.rectVisible(GURect{-179 * D, -35 * D, 180 * D, 78 * D}, code));
    EXPECT_NE(code, 99);
    view(-10 * D, 0, 200);
    EXPECT_TRUE(prj.rectVisible(GURect{-89 * D, 70 * D, 89 * D, 85 * D}, code));

    // A polygon wholly behind the globe still lands on the rim as a shape.
    view(0, 0, 200);
    LLPointList back;
    for (auto [lon, lat] : {std::pair{170, 0}, {175, 0}, {175, 5}, {170, 5}})
        back.add(makeLLPoint(lon * D, lat * D));
    const int n = prj.projectList(back, nullptr, PrjModel::Shape::Polygon);
    EXPECT_GE(n, 2);
    for (int i = 0; i < n; ++i)
        EXPECT_NEAR(std::hypot(prj.points()[i].x - 400, prj.points()[i].y - 300), 200, 1);
    EXPECT_EQ(prj.projectList(back, nullptr, PrjModel::Shape::Polyline), 0);
}

TEST_F(Spherical, OutlineIsTheDisc)
{
    view(0, 0, 150);
    ASSERT_EQ(prj.outline(), 90);
    for (int i = 0; i < 90; ++i)
        EXPECT_NEAR(std::hypot(prj.points()[i].x - 400, prj.points()[i].y - 300), 150, 0.8);
    EXPECT_EQ(prj.points()[0], (ScreenPoint{550, 300}));
}

TEST(FlatProjection, CartesianAndMercatorLimitsAndPanning)
{
    TestPrjHost host;
    CartesianPrj cart(host);
    // A new model's view centre is 23.5N, so the first view pans; place the origin after it.
    cart.setView(0, 0, 800.0L / 1944000000, 0);
    cart.setOrigin(400, 300);
    std::int32_t lon, lat;
    EXPECT_FALSE(cart.unproject(-1, 300, lon, lat)); // just beyond -180
    EXPECT_TRUE(cart.unproject(0, 300, lon, lat));
    ASSERT_TRUE(cart.unproject(400, 300, lon, lat));
    EXPECT_EQ(lon, 0);
    ASSERT_TRUE(cart.projectLL(GU180, GU90, 0));
    EXPECT_EQ(cart.points()[0], (ScreenPoint{800, 100}));
    EXPECT_FALSE(cart.projectLL(0, GU90 + 1, 0));
    // Panning east by 90 degrees moves longitude 90 to where 0 was.
    cart.setView(0, GU90, 800.0L / 1944000000, 0);
    ASSERT_TRUE(cart.projectLL(GU90, 0, 0));
    EXPECT_EQ(cart.points()[0], (ScreenPoint{400, 300}));
    EXPECT_EQ(cart.yRotation(), GU90);

    MercatorPrj merc(host);
    merc.setView(0, 0, 800.0L / 1944000000, 0);
    merc.setOrigin(400, 300);
    EXPECT_FALSE(merc.projectLL(0, 87 * D, 0));
    ASSERT_TRUE(merc.projectLL(0, 60 * D, 0));
    const ScreenPoint p60 = merc.points()[0];
    // ln(tan(75 deg)) = 1.3170 radians of northing.
    EXPECT_NEAR(300 - p60.y, 1.3169578969 * GUPerRadian * 800 / 1944000000, 0.5);
    ASSERT_TRUE(merc.unproject(p60.x, p60.y, lon, lat));
    EXPECT_NEAR(lat, 60 * D, 1944000000 / 800);
    EXPECT_EQ(merc.outline(), 4);
}

TEST(FlatProjection, ListDropsPointsOutsideTheMap)
{
    TestPrjHost host;
    MercatorPrj merc(host);
    merc.setView(0, 0, 1e-5L, 0);
    LLPointList l;
    l.add(makeLLPoint(0, 0));
    l.add(makeLLPoint(0, 88 * D));
    l.add(makeLLPoint(D, 0));
    EXPECT_EQ(merc.projectList(l, nullptr, PrjModel::Shape::Polyline), 2);
}

// A ring across the 180th meridian is drawn continuous, cut at the map's edge, and once more
// on the other side for the part beyond it; joining its points straight would run back across
// the whole map and fill a band. Polylines keep the plain projection.
TEST(FlatProjection, PolygonAcrossTheDateLineIsCutAtBothEdges)
{
    TestPrjHost host;
    host.width = 2000;
    host.height = 1000;
    CartesianPrj flat(host);
    flat.setView(0, 0, 1e-6L, 0);
    ASSERT_EQ(flat.cx(), 1000);
    LLPointList ring;
    int lat = 60;
    for (int lon : {170, 179, -179, -170, -170, -179, 179, 170})
        ring.add(makeLLPoint(lon * D, lat++ * D));
    const int n = flat.projectList(ring, nullptr, PrjModel::Shape::Polygon);
    ASSERT_EQ(flat.runs().size(), 2u);
    const double px = 1e-6 * D; // pixels per degree
    const auto xs = [&](const PrjModel::Run& r) {
        std::pair<int, int> m{1 << 30, -(1 << 30)};
        for (int i = r.start; i < r.start + r.count; ++i)
            m = {std::min(m.first, flat.points()[i].x), std::max(m.second, flat.points()[i].x)};
        return m;
    };
    std::vector<std::pair<int, int>> spans{xs(flat.runs()[0]), xs(flat.runs()[1])};
    std::sort(spans.begin(), spans.end());
    EXPECT_EQ(spans[0], std::make_pair(int(1000 - 180 * px), int(1000 - 170 * px)));
    EXPECT_EQ(spans[1], std::make_pair(int(1000 + 170 * px), int(1000 + 180 * px)));
    EXPECT_EQ(flat.runs()[0].count + flat.runs()[1].count, n);
    EXPECT_EQ(flat.projectList(ring, nullptr, PrjModel::Shape::Polyline), 8);
    EXPECT_NEAR(flat.points()[2].x, 1000 - 179 * px, 1);
}

// A polar ring that starts on the date line unwraps to 180..540 degrees; it must still land on
// the map, and on Mercator its pole end is held to the map's bottom edge.
TEST(FlatProjection, RingStartingOnTheDateLineStaysOnTheMap)
{
    TestPrjHost host;
    host.width = 2000;
    host.height = 1000;
    CartesianPrj cart(host);
    MercatorPrj merc(host);
    for (PrjModel* prj : {static_cast<PrjModel*>(&cart), static_cast<PrjModel*>(&merc)}) {
        prj->setView(0, 0, 1e-6L, 0);
        LLPointList ring;
        for (int lon : {180, -180, -90, 0, 90, 180})
            ring.add(makeLLPoint(lon * D, -70 * D));
        ring.add(makeLLPoint(180 * D, -90 * D));
        ring.add(makeLLPoint(-180 * D, -90 * D));
        prj->projectList(ring, nullptr, PrjModel::Shape::Polygon);
        ASSERT_EQ(prj->runs().size(), 1u);
        int minX = 1 << 30, maxX = -(1 << 30), maxY = 0;
        for (int i = 0; i < prj->runs()[0].count; ++i) {
            minX = std::min(minX, prj->points()[i].x);
            maxX = std::max(maxX, prj->points()[i].x);
            maxY = std::max(maxY, prj->points()[i].y);
        }
        EXPECT_EQ(minX, 28); // 180 degrees at 5.4 pixels a degree
        EXPECT_EQ(maxX, 1972);
        ASSERT_TRUE(prj->projectLL(0, prj->extent().top, 0));
        EXPECT_EQ(maxY, prj->points()[0].y); // the bottom edge of the map
    }
}

// Setting the rotations of a flat map centres it on that point, and they read back as set,
// also after the origin moved for a zoom; moving the origin pans the rotations along.
TEST(FlatProjection, RotationsCentreTheMapAndReadBack)
{
    TestPrjHost host;
    CartesianPrj cart(host);
    MercatorPrj merc(host);
    for (PrjModel* prj : {static_cast<PrjModel*>(&cart), static_cast<PrjModel*>(&merc)}) {
        const long double s = 2e-6L;
        prj->setView(0, 0, s, 0);
        prj->setView(50 * D, -100 * D, s, 0);
        std::int32_t lon = 0, lat = 0;
        ASSERT_TRUE(prj->unproject(400, 300, lon, lat));
        EXPECT_NEAR(lat, 50 * D, 1 / s);
        EXPECT_NEAR(lon, -100 * D, 1 / s);
        EXPECT_EQ(prj->xRotation(), 50 * D);
        // A zoom about the centre, as the control does it: origin first, then the scale.
        prj->setOrigin(static_cast<std::int32_t>((prj->cx() - 400) * 2 + 400),
                       static_cast<std::int32_t>((prj->cy() - 300) * 2 + 300));
        prj->setView(prj->xRotation(), prj->yRotation(), 2 * s, 0);
        EXPECT_EQ(prj->xRotation(), 50 * D);
        EXPECT_EQ(prj->yRotation(), -100 * D);
        // A pan by 100 pixels to the left shows a point further east in the centre.
        prj->setOrigin(prj->cx() - 100, prj->cy());
        EXPECT_NEAR(prj->yRotation(), -100 * D + 100 / (2 * s), 2 / s);
    }
}

TEST(Clipper, CodesAndVisibility)
{
    const std::vector<ScreenPoint> one{{10, 10}};
    EXPECT_EQ(clipCode(one.data(), 1, 100, 100), 255);
    EXPECT_FALSE(clipCodeVisible(255));
    const std::vector<ScreenPoint> inside{{10, 10}, {20, 20}};
    EXPECT_EQ(clipCode(inside.data(), 2, 100, 100), 0);
    const std::vector<ScreenPoint> across{{-10, -10}, {120, 50}};
    const std::uint8_t c = clipCode(across.data(), 2, 100, 100);
    EXPECT_EQ(c, (1 | 4) * 16 + 2);
    EXPECT_TRUE(clipCodeVisible(c));
    const std::vector<ScreenPoint> left{{-30, 10}, {-5, 50}};
    EXPECT_FALSE(clipCodeVisible(clipCode(left.data(), 2, 100, 100)));
    const std::vector<ScreenPoint> below{{10, 130}, {50, 150}};
    EXPECT_FALSE(clipCodeVisible(clipCode(below.data(), 2, 100, 100)));
}

TEST(Clipper, PolygonAndPolylineStayOnTheSurface)
{
    std::vector<ScreenPoint> square{{-50, -50}, {150, -50}, {150, 150}, {-50, 150}};
    const int n = clipShape(square, 4, 255, true, 100, 100);
    ASSERT_EQ(n, 4);
    EXPECT_EQ(square[0], (ScreenPoint{-1, -1}));
    EXPECT_EQ(square[2], (ScreenPoint{100, 100}));

    std::vector<ScreenPoint> line{{50, 50}, {50, 200}};
    const std::uint8_t code = clipCode(line.data(), 2, 100, 100);
    const int m = clipShape(line, 2, code, false, 100, 100);
    ASSERT_EQ(m, 2);
    EXPECT_EQ(line[1], (ScreenPoint{50, 100}));
    EXPECT_EQ(clipShape(line, 2, 0, false, 100, 100), 2);
}

TEST(Clipper, LongSawtoothOutgrowsAnyFixedBuffer)
{
    // 70,000 teeth that cross the top edge: every tooth adds crossings, so the clipped shape is
    // larger than its input and than a fixed 65,537-point buffer.
    std::vector<ScreenPoint> saw;
    for (int i = 0; i < 70000; ++i)
        saw.push_back({i % 100, (i % 2) ? -5 : 5});
    const int n = clipShape(saw, static_cast<int>(saw.size()), 255, true, 100, 100);
    EXPECT_GT(n, 70000);
    EXPECT_GE(static_cast<int>(saw.size()), n);
    for (int i = 0; i < n; ++i)
        ASSERT_GE(saw[i].y, -1);
}
