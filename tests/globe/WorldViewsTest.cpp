// The shipped world rendered through the globe control from views all round the globe, on
// the sphere and on both flat maps: known inland points must show land and the Caspian Sea
// water wherever they are on the visible side.
#include "globe/GlobeControl.h"
#include "globe/GlobeTestApp.h"
#include "globe/LLPoint.h"
#include "globe/PainterCanvas.h"
#include "globe/PrjModel.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace wl;
using wl::globetest::app;
using wl::globetest::gu;

namespace {

struct Place
{
    const char* name;
    double lon;
    double lat;
    bool land;
};

// Far enough from coasts and borders to stay clear of them at a small picture size.
const Place Places[] = {
    {"Sahara", 2, 27, true},
    {"Congo basin", 23, 0, true},
    {"Russia", 45, 55, true},
    {"Siberia", 100, 62, true},
    {"China", 105, 35, true},
    {"Arabia", 45, 23, true},
    {"Great Plains", -100, 42, true},
    {"Canada", -110, 60, true},
    {"Amazon", -58, -8, true},
    {"Patagonia", -68, -42, true},
    {"Australia", 134, -25, true},
    {"Greenland", -40, 74, true},
    {"Antarctica", 30, -78, true},
    {"Antarctica far side", -120, -80, true},
    {"Caspian Sea", 50.7, 42.2, false},
    {"Pacific", -140, 10, false},
};

constexpr int Size = 240;
constexpr GlobeColor Sea = 0xFF0000; // pure blue

bool onVisibleSide(GlobeControl& ctl, const Place& p, double viewLon, double viewLat)
{
    if (ctl.projectionKind() == GlobeControl::Projection::Spherical) {
        // Away from the rim, where a pixel spans many degrees.
        const double r = M_PI / 180;
        const double c =
            std::sin(p.lat * r) * std::sin(viewLat * r) +
            std::cos(p.lat * r) * std::cos(viewLat * r) * std::cos((p.lon - viewLon) * r);
        return c > 0.35;
    }
    return true;
}

} // namespace

TEST(WorldViews, LandAndWaterFromEveryView)
{
    app();
    GlobeControl ctl;
    ctl.setScrollBars(GlobeControl::ScrollBars::None);
    ctl.resize(Size, Size);
    ctl.setProfileName(QStringLiteral(WAVELARK_DATA_DIR "/globe.prf"));
    ASSERT_EQ(ctl.layerCount(), 6);
    for (int i = 1; i < ctl.layerCount(); ++i)
        ctl.layer(i).visible = false; // borders and names would cover the points
    ctl.setDrawGrid(GlobeControl::DrawGrid::None);
    ctl.setGlobeColor(Sea);
    const QColor sea = PainterCanvas::toQColor(Sea), land = PainterCanvas::toQColor(0x5CA56E);
    int checked = 0;
    for (const auto projection :
         {GlobeControl::Projection::Spherical, GlobeControl::Projection::Cartesian,
          GlobeControl::Projection::Mercator}) {
        ctl.setProjection(projection);
        ctl.setScaleFactor(0);
        if (projection != GlobeControl::Projection::Spherical)
            ctl.setScaleFactor(ctl.scaleFactor() * 2); // half the map, so the centre matters
        for (int lat = -80; lat <= 80; lat += 20) {
            for (int lon = -180; lon < 180; lon += 20) {
                const std::string view = std::to_string(static_cast<int>(projection)) + " at " +
                                         std::to_string(lat) + "," + std::to_string(lon);
                ctl.setRotation(6, lat);
                ctl.setRotation(5, lon);
                EXPECT_EQ(ctl.rotation(6), lat) << view;
                EXPECT_EQ(ctl.rotation(5), lon) << view;
                LLPoint centre;
                ASSERT_TRUE(ctl.screenToLL(Size / 2, Size / 2, centre)) << view;
                // The view is centred on the asked point, to a pixel.
                if (projection != GlobeControl::Projection::Mercator || std::abs(lat) < 80) {
                    EXPECT_NEAR(centre.lat, gu(lat), 2 / ctl.scaleFactor()) << view;
                    const std::int64_t dLon = centre.lon - std::int64_t{gu(lon)};
                    EXPECT_NEAR(std::remainder(static_cast<double>(dLon), GU360), 0,
                                2 / ctl.scaleFactor())
                        << view;
                }
                const QImage img = ctl.renderToImage();
                if (std::getenv("WAVELARK_VIEWS_DIR"))
                    img.save(QString::fromLocal8Bit(std::getenv("WAVELARK_VIEWS_DIR")) + "/" +
                             QString::fromStdString(view).replace(' ', '_') + ".png");
                for (const Place& p : Places) {
                    if (!onVisibleSide(ctl, p, lon, lat) ||
                        !ctl.projection().projectLL(gu(p.lon), gu(p.lat), 0))
                        continue;
                    const ScreenPoint s = ctl.projection().points()[0];
                    if (s.x < 0 || s.y < 0 || s.x >= Size || s.y >= Size)
                        continue;
                    ++checked;
                    EXPECT_EQ(img.pixelColor(s.x, s.y), p.land ? land : sea)
                        << p.name << " seen from " << view;
                }
            }
        }
    }
    EXPECT_GT(checked, 1500);
}
