// The globe control offscreen: fit scale, positions against PROJ's orthographic projection,
// saved views, mouse zoom and rotation, the overlay, and the night shadow pixel by pixel.
#include "globe/GlobeControl.h"
#include "globe/GlobeException.h"
#include "globe/GlobePointText.h"
#include "globe/PainterCanvas.h"
#include "globe/PrjModel.h"
#include "globe/SphericalPrj.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstring>

using namespace wl;

namespace {

constexpr long double FitScale = 466.0L / 618794460.0L;

// One application for the whole program, left alive on purpose: tearing it down among the
// static destructors gains nothing.
void app()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

class ControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app();
        ctl = std::make_unique<GlobeControl>();
        ctl->resize(792, 466);
        ctl->setScaleFactor(0);
    }

    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint pos)
    {
        QMouseEvent e(type, QPointF(pos), QPointF(pos), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        QCoreApplication::sendEvent(ctl.get(), &e);
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

TEST_F(ControlTest, ScreenToLLOffTheDisc)
{
    LLPoint p;
    EXPECT_FALSE(ctl->screenToLL(5, 5, p));
    EXPECT_EQ(p.lon, 972000000);
    EXPECT_EQ(p.lat, 972000000);
    EXPECT_THROW(ctl->layer(0), GlobeException);
}

TEST_F(ControlTest, OverlayLinesLastUntilTheNextRedraw)
{
    ctl->setDrawGrid(GlobeControl::DrawGrid::None);
    ctl->penData = PenData{0x0000FF, 0, 3};
    ctl->setRotation(6, 0);
    ctl->setRotation(5, 0);
    ctl->grab();
    ctl->drawGreatCircle(makeLLPoint(-20 * GUPerDegree, 0), makeLLPoint(20 * GUPerDegree, 0), 0);
    EXPECT_EQ(ctl->grab().toImage().pixelColor(396, 233), QColor(255, 0, 0));
    ctl->redraw();
    EXPECT_NE(ctl->grab().toImage().pixelColor(396, 233), QColor(255, 0, 0));
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

TEST_F(ControlTest, NightShadowMatchesAnIndependentDayNightClassification)
{
    // 21 June 2024 12:00 UTC in days since 30 December 1899.
    const double t = 45464.5;
    ctl->setDrawGrid(GlobeControl::DrawGrid::None);
    ctl->setColor(0x000000);
    ctl->setGlobeColor(0x00FF00);
    ctl->setRotation(6, 20);
    ctl->setRotation(5, 60);
    const GlobeColor night = 0x800000, twilight = 0x008080;
    LLPoint sun;
    ctl->onRender = [&] { sun = ctl->drawNightShadow(night, twilight, 0, t); };
    const QImage img = ctl->renderToImage();

    // The Part's declination for day 183 after 21 December 2023.
    const double decl = -std::atan(0.4333823 * std::cos(183 * 2 * M_PI / 365.24225)) * 180 / M_PI;
    EXPECT_EQ(sun.lon, 0);
    EXPECT_NEAR(sun.lat / double(GUPerDegree), decl, 1e-6);
    EXPECT_NEAR(decl, 23.44, 0.01);

    // Day when the sun is above the horizon; twilight to the distance the Part's threshold
    // gives (a dot product of -64,800,000 against twice the globe radius).
    const double twilightCos = -64800000.0 / (2.0 * GlobeRadius);
    const double sLat = decl * M_PI / 180;
    int checked = 0, mismatched = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (x % 16 == 0)
                continue; // the scan's probe columns are classified but never set
            LLPoint p;
            if (!ctl->screenToLL(x, y, p) || std::hypot(x - 396, y - 233) > 231.5)
                continue; // off the disc, or at its rim where the filled outline may stop short
            const double lat = p.lat * M_PI / 972000000.0, lon = p.lon * M_PI / 972000000.0;
            const double c =
                std::sin(lat) * std::sin(sLat) + std::cos(lat) * std::cos(sLat) * std::cos(lon);
            if (std::abs(c) < 2e-3 || std::abs(c - twilightCos) < 2e-3)
                continue; // on a boundary, where integer positions may tip either way
            const QColor want = c > 0              ? QColor(0, 255, 0)
                                : c >= twilightCos ? PainterCanvas::toQColor(twilight)
                                                   : PainterCanvas::toQColor(night);
            ++checked;
            if (img.pixelColor(x, y) != want) {
                ++mismatched;
                ADD_FAILURE() << x << "," << y << " c=" << c << " got "
                              << img.pixelColor(x, y).name().toStdString();
            }
        }
    }
    EXPECT_GT(checked, 100000);
    EXPECT_EQ(mismatched, 0);
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
