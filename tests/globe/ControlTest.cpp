// The globe control offscreen: fit scale, positions against PROJ's orthographic projection,
// saved views, mouse zoom and rotation, the overlay, and the night shadow pixel by pixel.
#include "globe/Geodesy.h"
#include "globe/GlobeControl.h"
#include "globe/GlobeException.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePen.h"
#include "globe/GlobePointText.h"
#include "globe/GlobeTestApp.h"
#include "globe/LayerFile.h"
#include "globe/NightOverlay.h"
#include "globe/PainterCanvas.h"
#include "globe/PrjModel.h"
#include "globe/SphericalPrj.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstring>
#include <map>

using namespace wl;
using wl::globetest::app;

namespace {

constexpr long double FitScale = 466.0L / 618794460.0L;

class ControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app();
        ctl = std::make_unique<GlobeControl>();
        ctl->setScrollBars(GlobeControl::ScrollBars::None); // the whole window is map
        ctl->resize(792, 466);
        ctl->setScaleFactor(0);
    }

    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint pos,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent e(type, QPointF(pos), QPointF(pos), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, modifiers);
        QCoreApplication::sendEvent(ctl.get(), &e);
    }

    void wheel(QPoint pos, int angle)
    {
        const QPointF at(pos);
        QWheelEvent e(at, at, QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(ctl.get(), &e);
    }

    // Where a position shows, in pixels; false off the map.
    bool pixelOf(const LLPoint& p, QPoint& at)
    {
        if (!ctl->projection().projectLL(p.lon, p.lat, 0))
            return false;
        at = QPoint(ctl->projection().points()[0].x, ctl->projection().points()[0].y);
        return true;
    }

    void drag(Qt::MouseButton button, QPoint from, QPoint to)
    {
        mouse(QEvent::MouseButtonPress, button, from);
        mouse(QEvent::MouseMove, button, (from + to) / 2);
        mouse(QEvent::MouseMove, button, to);
        mouse(QEvent::MouseButtonRelease, button, to);
    }

    std::unique_ptr<GlobeControl> ctl;
};

// The screen position PROJ's spherical orthographic projection gives, in pixels of a globe
// of radius 233 centred in the window.
QPointF projOrtho(double lat0, double lon0, double lat, double lon)
{
    PJ_CONTEXT* c = proj_context_create();
    const std::string def =
        "+proj=ortho +R=233 +lat_0=" + std::to_string(lat0) + " +lon_0=" + std::to_string(lon0);
    PJ* p = proj_create(c, def.c_str());
    const PJ_COORD r = proj_trans(p, PJ_FWD, proj_coord(proj_torad(lon), proj_torad(lat), 0, 0));
    proj_destroy(p);
    proj_context_destroy(c);
    return {396 + r.xy.x, 233 - r.xy.y};
}

} // namespace

TEST_F(ControlTest, FitScaleMakesARadiusOf233AndCentresTheDisc)
{
    EXPECT_EQ(ctl->scaleFactor(), FitScale);
    EXPECT_EQ(dynamic_cast<SphericalPrj&>(ctl->projection()).radiusPx(), 233);
    EXPECT_EQ(ctl->screenOrigin().x, 396);
    EXPECT_EQ(ctl->screenOrigin().y, 233);
    EXPECT_EQ(ctl->rotation(6), 23); // 23.5 degrees truncated

    ctl->setColor(0);             // black around the disc
    ctl->setGlobeColor(0x00FF00); // green disc
    ctl->setDrawGrid(GlobeControl::DrawGrid::None);
    const QImage img = ctl->renderToImage();
    EXPECT_EQ(img.pixelColor(396 + 231, 233), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(396 + 235, 233), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(396 - 231, 233), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(396 - 235, 233), QColor(0, 0, 0));

    ctl->setScaleFactor(10);
    EXPECT_EQ(ctl->scaleFactor(), 4);
}

TEST_F(ControlTest, CitiesLandWhereProjPutsThem)
{
    ctl->setRotation(6, 40);
    ctl->setRotation(5, -100);
    struct City
    {
        const char* name;
        double lat, lon;
    };
    for (const City c : {City{"Denver", 39.7392, -104.9903}, City{"New York", 40.7128, -74.0060},
                         City{"London", 51.5074, -0.1278}}) {
        PrjModel& m = ctl->projection();
        ASSERT_TRUE(m.projectLL(static_cast<std::int32_t>(std::lround(c.lon * GUPerDegree)),
                                static_cast<std::int32_t>(std::lround(c.lat * GUPerDegree)), 0))
            << c.name;
        const QPointF want = projOrtho(40, -100, c.lat, c.lon);
        EXPECT_NEAR(m.points()[0].x, want.x(), 1.0) << c.name;
        EXPECT_NEAR(m.points()[0].y, want.y(), 1.0) << c.name;
    }
}

TEST_F(ControlTest, ViewRecordIsByteExactAndRestoresScaleOriginAndRotation)
{
    const auto bytes = ctl->saveView().toBytes();
    std::array<std::uint8_t, 32> want{};
    const long double s = FitScale;
    std::memcpy(want.data(), &s, 10); // the machine's own 80-bit extended
    const std::int32_t ints[] = {396, 233, 126900000, 0, 0};
    std::memcpy(want.data() + 12, ints, sizeof ints);
    EXPECT_EQ(bytes, want);

    const GlobeView saved = GlobeView::fromBytes(bytes);
    EXPECT_EQ(saved.scale, FitScale);
    ctl->setScaleFactor(FitScale * 3);
    ctl->setRotation(6, -10);
    ctl->setRotation(5, 120);
    ctl->setRotation(4, 30);
    ctl->scrollBy(1000000, -2000000);
    ctl->restoreView(saved);
    EXPECT_EQ(ctl->saveView().toBytes(), bytes);
    EXPECT_EQ(ctl->rotation(4), 30); // the roll is not part of the view
}

TEST_F(ControlTest, RubberBandZoomsOnlyWhenDraggedDownRight)
{
    drag(Qt::RightButton, {300, 200}, {250, 260}); // leftward: nothing
    EXPECT_EQ(ctl->scaleFactor(), FitScale);

    LLPoint target;
    ASSERT_TRUE(ctl->screenToLL(350, 250, target));
    drag(Qt::RightButton, {300, 200}, {400, 300});
    EXPECT_NEAR(static_cast<double>(ctl->scaleFactor() / FitScale), 466.0 / 100, 0.05);
    // The middle of the band is now the middle of the window.
    LLPoint centre;
    ASSERT_TRUE(ctl->screenToLL(396, 233, centre));
    EXPECT_NEAR(centre.lon, target.lon, 0.2 * GUPerDegree);
    EXPECT_NEAR(centre.lat, target.lat, 0.2 * GUPerDegree);

    ctl->zoomToRect(GURect{});
    EXPECT_EQ(ctl->scaleFactor(), FitScale);
}

TEST_F(ControlTest, DraggingKeepsTheGrabbedPointUnderTheCursor)
{
    LLPoint grabbed;
    ASSERT_TRUE(ctl->screenToLL(380, 240, grabbed));
    // Qt merges mouse moves, so the drag arrives as a few larger steps.
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, {380, 240});
    for (int i = 1; i <= 8; ++i)
        mouse(QEvent::MouseMove, Qt::LeftButton, {380 + 10 * i, 240 - 5 * i});
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {460, 200});
    LLPoint now;
    ASSERT_TRUE(ctl->screenToLL(460, 200, now));
    EXPECT_NEAR(now.lon, grabbed.lon, 0.5 * GUPerDegree);
    EXPECT_NEAR(now.lat, grabbed.lat, 0.5 * GUPerDegree);
}

// A hand turn (middle button, or Shift with the left button) carries the grabbed point with
// the pointer; across the middle of the disc a drag of N pixels turns the centre by
// asin(N / radius). Neither press zooms or selects, and flat maps slide by the drag.
TEST_F(ControlTest, HandTurnCarriesTheGrabbedPointAndTurnsTheCentreByTheDragAngle)
{
    ctl->handTurning = true;
    ctl->mouseRotateButton = GlobeControl::MouseButton::None;
    ctl->mouseZoomButton = GlobeControl::MouseButton::Left;
    const struct
    {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
    } presses[] = {{Qt::MiddleButton, Qt::NoModifier}, {Qt::LeftButton, Qt::ShiftModifier}};
    for (const auto& k : presses) {
        ctl->setRotation(6, 10);
        ctl->setRotation(5, -100);
        const long double scale = ctl->scaleFactor();
        LLPoint before, grabbed;
        ASSERT_TRUE(ctl->screenToLL(396, 233, before));
        ASSERT_TRUE(ctl->screenToLL(396, 233, grabbed));
        const int n = 120;
        mouse(QEvent::MouseButtonPress, k.button, {396, 233}, k.modifiers);
        for (int i = 1; i <= 6; ++i)
            mouse(QEvent::MouseMove, k.button, {396 + n * i / 6, 233}, k.modifiers);
        mouse(QEvent::MouseButtonRelease, k.button, {396 + n, 233}, k.modifiers);
        EXPECT_EQ(ctl->scaleFactor(), scale); // no zoom rectangle
        LLPoint under;
        ASSERT_TRUE(ctl->screenToLL(396 + n, 233, under));
        EXPECT_NEAR(under.lon, grabbed.lon, GUPerMinute);
        EXPECT_NEAR(under.lat, grabbed.lat, GUPerMinute);
        // The centre moved west (the globe turned east under the pointer) by the drag's angle
        // on the equator of the view, foreshortened by the latitude of the view's centre.
        LLPoint centre;
        ASSERT_TRUE(ctl->screenToLL(396, 233, centre));
        const double angle = std::asin(n / 233.0) * 180 / M_PI;
        EXPECT_LT(centre.lon, before.lon);
        const double turned = (before.lon - centre.lon) / double(GUPerDegree);
        EXPECT_NEAR(turned * std::cos(10 * M_PI / 180), angle, 1.0);
    }

    // A flat map slides: the point under the press follows the pointer to the pixel.
    ctl->setProjection(GlobeEngine::Projection::Cartesian);
    LLPoint grabbed;
    ASSERT_TRUE(ctl->screenToLL(300, 200, grabbed));
    mouse(QEvent::MouseButtonPress, Qt::MiddleButton, {300, 200});
    mouse(QEvent::MouseMove, Qt::MiddleButton, {340, 170});
    mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, {340, 170});
    QPoint at;
    ASSERT_TRUE(pixelOf(grabbed, at));
    EXPECT_LE((at - QPoint(340, 170)).manhattanLength(), 1);
}

// The wheel zooms about the pointer: the point under it stays on the same pixel, in every
// projection and also when the window centres the globe again after each change of scale.
TEST_F(ControlTest, WheelZoomKeepsThePointUnderThePointer)
{
    ctl->wheelZooms = true;
    for (const auto projection :
         {GlobeEngine::Projection::Spherical, GlobeEngine::Projection::Cartesian,
          GlobeEngine::Projection::Mercator}) {
        for (const bool recentre : {false, true}) {
            SCOPED_TRACE(testing::Message() << int(projection) << " recentre " << recentre);
            ctl->setProjection(projection);
            ctl->setScaleFactor(0);
            ctl->onZoomed = nullptr;
            if (recentre)
                ctl->onZoomed = [&] {
                    LLPoint c;
                    if (ctl->screenToLL(396, 233, c))
                        ctl->centreOnLL(c.lon, c.lat);
                };
            const QPoint pointer(470, 180);
            LLPoint p;
            ASSERT_TRUE(ctl->screenToLL(pointer.x(), pointer.y(), p));
            const long double scale = ctl->scaleFactor();
            wheel(pointer, 240); // two notches in
            EXPECT_NEAR(double(ctl->scaleFactor() / scale), 1.25 * 1.25, 1e-6);
            QPoint at;
            ASSERT_TRUE(pixelOf(p, at));
            EXPECT_LE(std::abs(at.x() - pointer.x()), 1);
            EXPECT_LE(std::abs(at.y() - pointer.y()), 1);
            wheel(pointer, -120);
            ASSERT_TRUE(pixelOf(p, at));
            EXPECT_LE((at - pointer).manhattanLength(), 2);
        }
    }
    ctl->onZoomed = nullptr;
}

// One zoom step goes at most 8 times deeper and no view gets narrower than 5 nautical miles,
// however small the rectangle or however many steps; without limits the old behaviour holds.
TEST_F(ControlTest, ZoomStopsAtTheStepAndDepthLimits)
{
    ctl->maxZoomStep = 8;
    ctl->minViewAcross = 5 * GUPerMinute;
    const long double deepest = 466.0L / (5 * GUPerMinute);
    drag(Qt::RightButton, {300, 200}, {312, 212});
    EXPECT_NEAR(double(ctl->scaleFactor() / FitScale), 8, 1e-6);
    for (int i = 0; i < 10; ++i)
        drag(Qt::RightButton, {300, 200}, {312, 212});
    EXPECT_NEAR(double(ctl->scaleFactor()), double(deepest), 1e-12);
    ctl->setScaleFactor(4);
    EXPECT_NEAR(double(ctl->scaleFactor()), double(deepest), 1e-12);
    ctl->zoomAbout(300, 200, 100);
    EXPECT_NEAR(double(ctl->scaleFactor()), double(deepest), 1e-12);
    // Zooming out is never held back.
    ctl->setScaleFactor(FitScale);
    EXPECT_EQ(ctl->scaleFactor(), FitScale);

    ctl->maxZoomStep = 0;
    ctl->minViewAcross = 0;
    ctl->setScaleFactor(10);
    EXPECT_EQ(ctl->scaleFactor(), 4);
}

// Every projection the map offers shows a point where unprojecting that pixel finds it again.
TEST_F(ControlTest, EachProjectionRoundTripsAPoint)
{
    for (const auto projection :
         {GlobeEngine::Projection::Spherical, GlobeEngine::Projection::Cartesian,
          GlobeEngine::Projection::Mercator}) {
        ctl->setProjection(projection);
        ctl->setScaleFactor(0);
        ctl->setRotation(6, 0);
        ctl->setRotation(5, 20);
        ctl->setScaleFactor(ctl->scaleFactor() * 3);
        // Nairobi, Lagos, Cairo, Tunis and the origin, all in view.
        for (const auto [lon, lat] :
             {std::pair{36.82, -1.29}, {3.38, 6.52}, {31.24, 30.04}, {10.18, 36.81}, {0.0, 0.0}}) {
            SCOPED_TRACE(testing::Message() << int(projection) << " " << lon << "," << lat);
            const LLPoint p =
                makeLLPoint(std::lround(lon * GUPerDegree), std::lround(lat * GUPerDegree));
            QPoint at;
            ASSERT_TRUE(pixelOf(p, at));
            LLPoint back;
            ASSERT_TRUE(ctl->screenToLL(at.x(), at.y(), back));
            const double pixel = 1 / double(ctl->scaleFactor());
            // Mercator stretches latitude by 1/cos: a pixel there spans less latitude.
            EXPECT_NEAR(back.lon, p.lon, 1.5 * pixel);
            EXPECT_NEAR(back.lat, p.lat, 1.5 * pixel);
        }
    }
}

// Labels of places near the rim are moved or left out rather than hang off the globe into
// space; a place well inside keeps its label.
TEST_F(ControlTest, LabelsStayOnTheGlobesDisc)
{
    GlobeLayer& layer = ctl->addLayer("labels");
    layer.labelRank = 2;
    layer.setLayerFlag(GlobeLayer::FlagScaleFont, false); // labels in pixels, as the map has them
    ctl->setRotation(6, 0);
    ctl->setRotation(5, 0);
    for (int lon = -88; lon <= 88; lon += 4)
        for (int lat = -80; lat <= 80; lat += 20)
            GlobePointText::create(layer, lat * GUPerDegree, lon * GUPerDegree,
                                   "Rim station " + std::to_string(lon));
    ctl->renderToImage();
    ASSERT_FALSE(ctl->placedLabels().empty());
    int inside = 0;
    for (const LabelPlacer::Placed& l : ctl->placedLabels()) {
        const QPoint corners[] = {
            {l.left, l.top}, {l.right, l.top}, {l.left, l.bottom}, {l.right, l.bottom}};
        for (const QPoint& c : corners)
            EXPECT_LE(std::hypot(c.x() - 396.0, c.y() - 233.0), 233.5) << l.lines.front();
        inside += l.left > 300 && l.right < 500;
    }
    EXPECT_GT(inside, 0);
}

TEST_F(ControlTest, ScreenToLLOffTheDisc)
{
    LLPoint p;
    EXPECT_FALSE(ctl->screenToLL(5, 5, p));
    EXPECT_EQ(p.lon, 972000000);
    EXPECT_EQ(p.lat, 972000000);
    EXPECT_THROW(ctl->layer(0), GlobeException);
}

TEST_F(ControlTest, OverlayLinesLastUntilTheNextRedrawOrRefresh)
{
    ctl->setDrawGrid(GlobeControl::DrawGrid::None);
    ctl->penData = PenData{0x0000FF, 0, 3};
    ctl->setRotation(6, 0);
    ctl->setRotation(5, 0);
    ctl->grab();
    const auto drawLine = [this] {
        ctl->drawGreatCircle(makeLLPoint(-20 * GUPerDegree, 0), makeLLPoint(20 * GUPerDegree, 0),
                             0);
    };
    drawLine();
    EXPECT_TRUE(ctl->hasOverlayLines());
    EXPECT_EQ(ctl->grab().toImage().pixelColor(396, 233), QColor(255, 0, 0));
    ctl->redraw();
    EXPECT_FALSE(ctl->hasOverlayLines());
    EXPECT_NE(ctl->grab().toImage().pixelColor(396, 233), QColor(255, 0, 0));

    // A refresh takes the line away by showing the picture again, without rendering it.
    drawLine();
    int renders = 0;
    bool painterDuringRender = false;
    ctl->onRender = [&] {
        ++renders;
        painterDuringRender = ctl->surfacePainter() != nullptr;
    };
    ctl->refresh();
    EXPECT_FALSE(ctl->hasOverlayLines());
    EXPECT_NE(ctl->grab().toImage().pixelColor(396, 233), QColor(255, 0, 0));
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(ctl->surfacePainter(), nullptr);
    ctl->renderToImage();
    EXPECT_TRUE(painterDuringRender);
}

TEST_F(ControlTest, SelectionCyclesThroughOverlappingObjects)
{
    GlobeLayer& layer = ctl->addLayer("towns");
    ctl->setRotation(6, 0);
    ctl->setRotation(5, 0);
    GlobeObject& bottom = GlobePointText::create(layer, 0, 0, "bottom");
    GlobeObject& middle = GlobePointText::create(layer, 0, 0, "middle");
    GlobeObject& top = GlobePointText::create(layer, 0, 0, "top");
    int selectedEvents = 0;
    ctl->onSelected = [&] { ++selectedEvents; };
    ctl->renderToImage(); // marks the objects on screen
    const std::pair<GlobeObject*, GlobeObject*> clicks[] = {
        {&top, nullptr}, {&middle, &top}, {&bottom, &middle}, {&top, &bottom}};
    for (auto [expected, previous] : clicks) {
        mouse(QEvent::MouseButtonPress, Qt::LeftButton, {396, 233});
        mouse(QEvent::MouseButtonRelease, Qt::LeftButton, {396, 233});
        EXPECT_EQ(ctl->selectedObjectValue(), expected) << expected->title();
        EXPECT_TRUE(expected->selected());
        if (previous) {
            EXPECT_FALSE(previous->selected());
        }
        EXPECT_EQ(ctl->selectedCount(), 1);
    }
    EXPECT_EQ(selectedEvents, 4);
}

// Every sampled row of the shadow is set across its whole width, probe columns included: a
// column left unset shows as a vertical stripe through the night. Where a row only grazes the
// night or the twilight (near the solstices, in views south of the equator, the band's edge
// turns within a few dozen pixels), the short piece must still be shaded, not cut off at the
// sampling grid in straight vertical edges. Step 0 counts as 1.
TEST_F(ControlTest, NightShadowMatchesAnIndependentDayNightClassification)
{
    const struct
    {
        double t;     // days since 30 December 1899, UTC
        int days;     // since 21 December of the year before, for the declination
        int lat, lon; // the view's centre
    } cases[] = {
        {45464.5, 183, 20, 60},    // 21 June 2024 12:00
        {46377.5, 365, -40, -160}, // 21 December 2026 12:00, views where the band turns
        {46377.5, 365, -60, -40},
        {46377.5, 365, 0, -40},
    };
    for (const auto& k : cases) {
        for (const int step : {0, 3}) {
            SCOPED_TRACE(testing::Message()
                         << k.t << " " << k.lat << "," << k.lon << " step " << step);
            ctl->setDrawGrid(GlobeControl::DrawGrid::None);
            ctl->setColor(0x000000);
            ctl->setGlobeColor(0x00FF00);
            ctl->setRotation(6, k.lat);
            ctl->setRotation(5, k.lon);
            const GlobeColor night = 0x800000, twilight = 0x008080;
            LLPoint sun;
            ctl->onRender = [&] { sun = ctl->drawNightShadow(night, twilight, step, k.t); };
            const QImage img = ctl->renderToImage();

            const double decl =
                -std::atan(0.4333823 * std::cos(k.days * 2 * M_PI / 365.24225)) * 180 / M_PI;
            EXPECT_EQ(sun.lon, 0);
            EXPECT_NEAR(sun.lat / double(GUPerDegree), decl, 1e-6);
            EXPECT_NEAR(std::abs(decl), 23.44, 0.01);

            // Day when the sun is above the horizon; twilight to the distance the threshold
            // gives (a dot product of -64,800,000 against twice the globe radius).
            const double twilightCos = -64800000.0 / (2.0 * GlobeRadius);
            const double sLat = decl * M_PI / 180;
            int checked = 0, mismatched = 0;
            const int s = std::max(step, 1);
            for (int y = 0; y < img.height(); y += s) {
                for (int x = 0; x < img.width(); ++x) {
                    // Off the disc, or at its rim where the filled outline may stop short.
                    LLPoint p;
                    if (!ctl->screenToLL(x, y, p) || std::hypot(x - 396, y - 233) > 231.5)
                        continue;
                    // Every step-th pixel is a probe standing for the pixels after it; a probe
                    // off the disc shades nothing.
                    QColor want(0, 255, 0);
                    if (ctl->screenToLL(x - x % s, y, p)) {
                        const double lat = p.lat * M_PI / 972000000.0;
                        const double lon = p.lon * M_PI / 972000000.0;
                        const double c = std::sin(lat) * std::sin(sLat) +
                                         std::cos(lat) * std::cos(sLat) * std::cos(lon);
                        // On a boundary integer positions may tip either way.
                        if (std::abs(c) < 2e-3 || std::abs(c - twilightCos) < 2e-3)
                            continue;
                        if (c <= 0)
                            want = PainterCanvas::toQColor(c >= twilightCos ? twilight : night);
                    }
                    ++checked;
                    if (img.pixelColor(x, y) != want && ++mismatched <= 5)
                        ADD_FAILURE() << x << "," << y << " got "
                                      << img.pixelColor(x, y).name().toStdString();
                }
            }
            EXPECT_GT(checked, 100000 / s);
            EXPECT_EQ(mismatched, 0);
        }
    }
}

// The translucent night over a plain white globe: every pixel is darkened by the sun's depth
// below the horizon, computed here from the declination and the hour angle, so that the day,
// the civil, nautical and astronomical twilights (the sun 0, 6, 12, 18 degrees down) and the
// night each show where they are, as a soft gradient without stripes.
TEST_F(ControlTest, NightVeilDarkensByTheSunsDepthThroughTheTwilights)
{
    const struct
    {
        QDateTime utc;
        int days; // since 21 December of the year before, for the declination
        int lat, lon;
    } cases[] = {
        {QDateTime(QDate(2026, 6, 21), QTime(6, 0), QTimeZone::utc()), 182, 30, 10},
        {QDateTime(QDate(2026, 6, 21), QTime(18, 0), QTimeZone::utc()), 182, 20, -10},
        {QDateTime(QDate(2026, 12, 21), QTime(6, 0), QTimeZone::utc()), 365, -20, 0},
        {QDateTime(QDate(2026, 12, 21), QTime(18, 0), QTimeZone::utc()), 365, 40, 5},
    };
    ctl->setDrawGrid(GlobeControl::DrawGrid::None);
    ctl->setColor(0x000000);
    ctl->setGlobeColor(0xFFFFFF);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.utc.toString(Qt::ISODate).toStdString());
        ctl->setRotation(6, k.lat);
        ctl->setRotation(5, k.lon);
        ctl->onRender = [&] { ctl->drawNightOverlay(0x000000, GlobeEngine::moment(k.utc)); };
        const QImage img = ctl->renderToImage();

        const double decl =
            -std::atan(0.4333823 * std::cos(k.days * 2 * M_PI / 365.24225)) * 180 / M_PI;
        const double sunLon = (12 - k.utc.time().hour()) * 15.0;
        const auto band = [](double alt) { return alt >= 0 ? 0 : int(-alt / 6) + 1; };
        std::map<int, int> seen; // band -> pixels
        int mismatched = 0;
        const double sLat = decl * M_PI / 180, sLon = sunLon * M_PI / 180;
        const auto altitudeAt = [&](int x, int y, double& alt) {
            LLPoint p;
            if (!ctl->screenToLL(x, y, p))
                return false;
            const double lat = p.lat * M_PI / GU180, lon = p.lon * M_PI / GU180;
            alt = std::asin(std::sin(lat) * std::sin(sLat) +
                            std::cos(lat) * std::cos(sLat) * std::cos(lon - sLon)) *
                  180 / M_PI;
            return true;
        };
        for (int y = 0; y < img.height(); y += 2) {
            for (int x = 0; x < img.width(); x += 2) {
                double alt = 0;
                if (!altitudeAt(x, y, alt))
                    continue;
                // The sun is sampled every few pixels and blended between: a pixel is only
                // judged when the band's edge is farther than the change across a sample's
                // reach (much more than a degree near the rim).
                double reach = 0.5;
                bool whole = true;
                const int c = NightOverlay::Cell;
                for (const QPoint d : {QPoint(-c, 0), QPoint(c, 0), QPoint(0, -c), QPoint(0, c)}) {
                    double n = 0;
                    whole = whole && altitudeAt(x + d.x(), y + d.y(), n);
                    reach = std::max(reach, std::abs(n - alt) + 0.5);
                }
                if (!whole)
                    continue;
                const double edge = std::clamp(std::round(alt / 6) * 6, -18.0, 0.0);
                if (std::abs(alt - edge) < reach)
                    continue;
                const int darkness = 255 - img.pixelColor(x, y).red();
                const double shownAlt = -darkness / double(NightOverlay::NightAlpha) * 18;
                const int want = std::min(band(alt), 4);
                ++seen[want];
                const int got = darkness >= NightOverlay::NightAlpha - 3 ? 4 : band(shownAlt);
                if (got != want && ++mismatched <= 5)
                    ADD_FAILURE() << x << "," << y << " sun " << alt << " shows " << shownAlt;
            }
        }
        EXPECT_EQ(mismatched, 0);
        // The view holds the day, every twilight and the night.
        for (int b = 0; b <= 4; ++b)
            EXPECT_GT(seen[b], 50) << "band " << b;
    }
    ctl->onRender = nullptr;
}

TEST_F(ControlTest, PrintsToPdfAndRefusesToStartDuringARender)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("globe.pdf")));
    bool nested = true;
    ctl->onRender = [&] { nested = ctl->print(printer); };
    EXPECT_TRUE(ctl->print(printer));
    EXPECT_FALSE(nested); // a print asked for while the page renders is refused
    EXPECT_GT(QFile(dir.filePath(QStringLiteral("globe.pdf"))).size(), 1000);
    // The window's view is back as it was.
    EXPECT_EQ(ctl->scaleFactor(), FitScale);
    EXPECT_EQ(ctl->screenOrigin().x, 396);
}

namespace {

struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

// A redraw renders from the event loop and shows the half-finished picture at each step; a
// change made while a step lets events run is not lost, and renders outside the event loop
// (a paint, an image) draw no steps.
TEST_F(ControlTest, ProgressiveRenderShowsStepsAndKeepsChangesMadeMeanwhile)
{
    ctl->setDrawGrid(GlobeControl::DrawGrid::None);
    ctl->setColor(0);
    ctl->setGlobeColor(0x00FF00);
    GlobeLayer& layer = ctl->addLayer("towns");
    GlobePointText::create(layer, 0, 0, "here");
    PaintCounter counter;
    ctl->installEventFilter(&counter);
    ctl->show();
    QCoreApplication::processEvents();

    int stepPaints = -1;
    ctl->onRenderAttributes = [&](GlobeObject&, bool&) {
        if (stepPaints >= 0)
            return; // the render of the change
        const int before = counter.paints;
        ctl->showProgressPicture();
        stepPaints = counter.paints - before;
        if (stepPaints > 0)
            ctl->setGlobeColor(0x0000FF); // red, asked for while the step runs
    };
    ctl->redraw();
    QCoreApplication::processEvents();
    EXPECT_EQ(stepPaints, 1);
    ctl->onRenderAttributes = nullptr;
    QCoreApplication::processEvents();
    EXPECT_EQ(ctl->grab().toImage().pixelColor(396 + 231, 233), QColor(255, 0, 0));

    ctl->onRenderAttributes = [&](GlobeObject&, bool&) {
        const int before = counter.paints;
        ctl->showProgressPicture();
        stepPaints = counter.paints - before;
    };
    for (const bool image : {false, true}) {
        stepPaints = -1;
        ctl->redraw();
        if (image)
            ctl->renderToImage();
        else
            ctl->repaint();
        EXPECT_EQ(stepPaints, 0) << image;
    }
    ctl->removeEventFilter(&counter);
}

// Events that run during a step may free what the render is walking: the render stops there
// and a new one draws the changed content.
TEST_F(ControlTest, ProgressiveRenderStopsWhenItsLayersChangeMeanwhile)
{
    GlobeLayer& layer = ctl->addLayer("towns");
    for (int i = 0; i < 3; ++i)
        GlobePointText::create(layer, 0, i * 10 * GUPerDegree, "town");
    ctl->show();
    QCoreApplication::processEvents();

    int attributeCalls = 0;
    ctl->onRenderAttributes = [&](GlobeObject&, bool&) {
        if (attributeCalls++ > 0)
            return;
        QTimer::singleShot(0, ctl.get(), [this] { ctl->clearLayers(); });
        ctl->showProgressPicture(); // runs the timer: every object is freed here
    };
    ctl->redraw();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(attributeCalls, 1); // nothing freed was touched after the step
    EXPECT_EQ(ctl->layerCount(), 0);

    // The control renders normally afterwards.
    GlobeLayer& again = ctl->addLayer("again");
    GlobePointText::create(again, 0, 0, "here");
    ctl->redraw();
    QCoreApplication::processEvents();
    EXPECT_EQ(attributeCalls, 2);
    EXPECT_FALSE(ctl->renderToImage().isNull());
}

TEST_F(ControlTest, DoProgressAnswersTheHandlersAbort)
{
    EXPECT_FALSE(ctl->doProgress(1, QStringLiteral("Loading layer x")));
    std::vector<std::pair<int, QString>> seen;
    ctl->onProgress = [&](int type, const QString& text, bool& abort) {
        seen.emplace_back(type, text);
        abort = type == 0;
    };
    EXPECT_TRUE(ctl->doProgress(0, QStringLiteral("x Loaded 5 objects")));
    EXPECT_FALSE(ctl->doProgress(2, QString()));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].second, QStringLiteral("x Loaded 5 objects"));
    EXPECT_EQ(seen[1].first, 2);
}

// Switching the model keeps the point at the window centre and the scale; the flat maps show
// land 300 pixels west of the centre, beyond the disc's edge; a centre off the map refits.
TEST_F(ControlTest, ProjectionChangeKeepsTheCentrePointOrRefits)
{
    ctl->setDrawGrid(GlobeControl::DrawGrid::None);
    ctl->setColor(0);
    ctl->setGlobeColor(0x00FF00);
    ctl->centreOnLL(-100 * GUPerDegree, 40 * GUPerDegree);
    const long double scale = ctl->scaleFactor();
    for (auto kind : {GlobeControl::Projection::Cartesian, GlobeControl::Projection::Mercator,
                      GlobeControl::Projection::Spherical}) {
        ctl->setProjection(kind);
        EXPECT_EQ(ctl->projectionKind(), kind);
        LLPoint c;
        ASSERT_TRUE(ctl->screenToLL(396, 233, c)) << int(kind);
        const double pixelGU = 1.5 / static_cast<double>(scale);
        EXPECT_NEAR(c.lon, -100.0 * GUPerDegree, pixelGU) << int(kind);
        EXPECT_NEAR(c.lat, 40.0 * GUPerDegree, pixelGU) << int(kind);
        EXPECT_NEAR(static_cast<double>(ctl->scaleFactor() / scale), 1.0, 0.01) << int(kind);
        const QColor corner = ctl->renderToImage().pixelColor(96, 233);
        EXPECT_EQ(corner == QColor(0, 255, 0), kind != GlobeControl::Projection::Spherical)
            << int(kind);
    }

    ctl->setScreenOrigin({100000, 100000}); // the window shows empty space
    ctl->setProjection(GlobeControl::Projection::Cartesian);
    EXPECT_EQ(ctl->screenOrigin().x, 396);
    EXPECT_EQ(ctl->screenOrigin().y, 233);
    LLPoint c;
    EXPECT_TRUE(ctl->screenToLL(396, 233, c));
}

TEST_F(ControlTest, EllipsoidDistanceUsesTheChosenSpheroid)
{
    const LLPoint a = makeLLPoint(0, 0), b = makeLLPoint(0, 90 * GUPerDegree);
    EXPECT_EQ(ctl->spheroid, Spheroid::WGS84);
    EXPECT_EQ(ctl->ellipsoidDistance(a, b), ellipsoidDistance(a, b, Spheroid::WGS84));
    ctl->spheroid = Spheroid::Airy1830;
    EXPECT_EQ(ctl->ellipsoidDistance(a, b), ellipsoidDistance(a, b, Spheroid::Airy1830));
    EXPECT_NE(ctl->ellipsoidDistance(a, b), ellipsoidDistance(a, b, Spheroid::WGS84));
}

// PrintRect places the picture at the rectangle and cuts it to the rectangle's size.
TEST_F(ControlTest, PrintRectPlacesAndCutsThePicture)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("rect.pdf")));
    QSize rendered;
    ctl->onRender = [&] { rendered = QSize(ctl->surfaceWidth(), ctl->surfaceHeight()); };
    EXPECT_TRUE(ctl->printRect(printer, QRect(300, 400, 500, 200)));
    EXPECT_EQ(rendered, QSize(500, 200));
    EXPECT_GT(QFile(dir.filePath(QStringLiteral("rect.pdf"))).size(), 500);
    EXPECT_EQ(ctl->surfaceWidth(), 792);
    EXPECT_EQ(ctl->scaleFactor(), FitScale);
}

// The bars take their room from the map; line and page steps scroll by a twentieth and a
// half of the view, and the next paint puts each thumb where the view is.
TEST_F(ControlTest, ScrollBarsScrollTheViewAndFollowIt)
{
    EXPECT_EQ(GlobeControl().scrollBars(), GlobeControl::ScrollBars::Both); // the default
    ctl->setScrollBars(GlobeControl::ScrollBars::Both);
    QScrollBar* h = ctl->horizontalScrollBar();
    QScrollBar* v = ctl->verticalScrollBar();
    ASSERT_TRUE(h && v);
    const int w = 792 - v->sizeHint().width(), ht = 466 - h->sizeHint().height();
    EXPECT_EQ(ctl->surfaceWidth(), w);
    EXPECT_EQ(ctl->surfaceHeight(), ht);
    // Twice the disc's reach, one radian, either way.
    EXPECT_EQ(h->maximum(), 618794460);
    EXPECT_EQ(v->minimum(), -618794460);
    ctl->setProjection(GlobeControl::Projection::Cartesian); // the range is capped at 180 degrees
    EXPECT_EQ(h->minimum(), -972000000);
    ctl->setProjection(GlobeControl::Projection::Spherical);
    ctl->setScaleFactor(0);

    struct Case
    {
        QScrollBar* bar;
        QAbstractSlider::SliderAction action;
        int dx, dy; // expected origin change in pixels
    };
    const Case cases[] = {
        {h, QAbstractSlider::SliderSingleStepAdd, -w / 20, 0},
        {h, QAbstractSlider::SliderSingleStepSub, w / 20, 0},
        {v, QAbstractSlider::SliderPageStepAdd, 0, -ht / 2},
        {v, QAbstractSlider::SliderPageStepSub, 0, ht / 2},
        {h, QAbstractSlider::SliderToMaximum, 0, 0},
    };
    for (const Case& c : cases) {
        const ScreenPoint before = ctl->screenOrigin();
        c.bar->triggerAction(c.action);
        EXPECT_NEAR(ctl->screenOrigin().x - before.x, c.dx, 1) << c.action;
        EXPECT_NEAR(ctl->screenOrigin().y - before.y, c.dy, 1) << c.action;
    }
    ctl->scrollBy(-1000000, 2000000);
    ctl->grab();
    const long double s = ctl->scaleFactor();
    EXPECT_EQ(h->value(), -std::lround((ctl->screenOrigin().x - w / 2) / s));
    EXPECT_EQ(v->value(), -std::lround((ctl->screenOrigin().y - ht / 2) / s));
    EXPECT_NEAR(h->value(), -1000000, 1 / s);

    ctl->setScrollBars(GlobeControl::ScrollBars::None);
    EXPECT_EQ(ctl->horizontalScrollBar(), nullptr);
    EXPECT_EQ(ctl->surfaceWidth(), 792);
}

namespace {

// A program's own record class: a labelled point under another stored name.
class BeaconText : public GlobePointText
{
public:
    using GlobePointText::GlobePointText;
    std::string className() const override { return "TBeaconText"; }
};

} // namespace

// A registered class is read and written by its stored name, after the built-in blocks; a
// name registered twice is refused, and a layer holding a class a registry does not know is
// neither read nor written silently without it.
TEST_F(ControlTest, RegisteredClassesTravelThroughLayerFiles)
{
    try {
        ctl->registerGlobeClass<GlobePen>("TGlobePen");
        ADD_FAILURE() << "a second TGlobePen was accepted";
    } catch (const GlobeException& e) {
        EXPECT_STREQ(e.what(),
                     "TGlobeControl.RegisterGlobeClass: Class TGlobePen already registered");
    }
    ctl->registerGlobeClass<BeaconText>("TBeaconText");
    EXPECT_EQ(ctl->classRegistry()->names().back(), "TBeaconText");

    GlobeLayer& layer = ctl->addLayer("beacons");
    GlobePointText::create(layer, 0, 0, "town");
    auto beacon = std::make_unique<BeaconText>(layer);
    beacon->setTitle("NDB");
    layer.adoptObject(std::move(beacon));

    EXPECT_THROW(LayerFile::write(layer, 1), GlobeException);
    const std::vector<std::uint8_t> bytes = LayerFile::write(layer, 1, ctl->classRegistry());
    GlobeLayer& copy = ctl->addLayer("copy");
    EXPECT_THROW(LayerFile::read(bytes, copy, "b.lay"), GlobeException);
    GlobeLayer& copy2 = ctl->addLayer("copy2");
    LayerFile::read(bytes, copy2, "b.lay", {}, ctl->classRegistry());
    ASSERT_EQ(copy2.objectCount(), 2);
    EXPECT_EQ(copy2.object(0)->className(), "TGlobePointText");
    EXPECT_EQ(copy2.object(1)->className(), "TBeaconText");
    EXPECT_EQ(copy2.object(1)->title(), "NDB");
}

// A layer large enough to be culled by areas: after each render every label's on-screen answer
// is the one its own projection gives, for the whole globe and for close views anywhere,
// near the poles, across the date line and at the edges of the surface.
TEST_F(ControlTest, AreaCullingLeavesOutOnlyLabelsOffTheSurface)
{
    GlobeLayer& layer = ctl->addLayer("Many");
    layer.setLayerFlag(GlobeLayer::FlagScaleFont, false);
    constexpr std::int32_t Step = 5400000 * 3 / 2; // 1.5 degrees
    for (std::int32_t lat = -486000000; lat <= 486000000; lat += Step) {
        for (std::int32_t lon = -972000000 + Step; lon <= 972000000; lon += Step)
            GlobePointText::create(layer, lat, lon, "x");
    }
    ASSERT_GT(layer.objectCount(), 20000);
    struct View
    {
        int lat, lon;
        long double zoom;
    };
    for (const View v : {View{0, 0, 1},
                         {40, -100, 1},
                         {90, 0, 1},
                         {40, -100, 40},
                         {89, 30, 25},
                         {-60, 180, 12},
                         {10, -179, 60},
                         {0, 90, 4}}) {
        SCOPED_TRACE(testing::Message() << v.lat << " " << v.lon << " x" << double(v.zoom));
        ctl->setScaleFactor(0);
        ctl->setScaleFactor(ctl->scaleFactor() * v.zoom);
        ctl->setRotation(6, v.lat);
        ctl->setRotation(5, v.lon);
        ctl->renderToImage();
        int shown = 0, wrong = 0;
        for (int i = 0; i < layer.objectCount(); ++i) {
            GlobeObject& o = *layer.object(i);
            const bool marked = o.state & GlobeObject::OnScreen;
            shown += marked;
            wrong += marked != o.isOnScreen();
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(shown, 0);
        if (v.zoom > 10) {
            EXPECT_LT(shown, layer.objectCount() / 20);
        }
    }
}
