// The data converter on a tiny fixture, and the shipped globe data opened and drawn.
#include "TestLayerHost.h"
#include "globe/GlobeTestApp.h"

#include "globe/FileBytes.h"
#include "globe/GlobeControl.h"
#include "globe/GlobeException.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolyLine.h"
#include "globe/GlobePolygon.h"
#include "globe/LayerFile.h"
#include "globe/PainterCanvas.h"
#include "tools/GlobeDataConverter.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace wl;
using wl::globetest::app;
using wl::globetest::gu;
using wl::tools::GlobeDataConverter;
namespace fs = std::filesystem;

namespace {

} // namespace

TEST(GlobeDataConverter, SplitsLongListsIntoJoinedPieces)
{
    LLPointList list;
    for (int i = 0; i < 10; ++i)
        list.add(makeLLPoint(i * GUPerDegree, 0));
    struct Case
    {
        int limit;
        std::vector<int> sizes;
    };
    for (const Case& c : {Case{10, {10}}, Case{4, {4, 4, 4}}, Case{5, {5, 5, 2}},
                          Case{2, std::vector<int>(9, 2)}}) {
        const auto pieces = GlobeDataConverter::split(list, c.limit);
        std::vector<int> sizes;
        for (const auto& p : pieces)
            sizes.push_back(p.count());
        EXPECT_EQ(sizes, c.sizes) << c.limit;
        EXPECT_EQ(pieces.front()[0].lon, 0);
        EXPECT_EQ(pieces.back()[pieces.back().count() - 1].lon, 9 * GUPerDegree);
        for (std::size_t k = 1; k < pieces.size(); ++k)
            EXPECT_EQ(pieces[k][0].lon, pieces[k - 1][pieces[k - 1].count() - 1].lon);
    }
}

TEST(GlobeDataConverter, FixtureBecomesAProfileWithPreciseLayers)
{
    const fs::path out =
        fs::temp_directory_path() / ("wl-globe-data-" + std::to_string(::getpid()));
    fs::remove_all(out);
    fs::create_directories(out);
    GlobeDataConverter::convert(WAVELARK_FIXTURE_DIR, out.string());

    TestLayerHost host;
    host.openProfile((out / "globe.prf").string());
    EXPECT_TRUE(host.warnings.empty());
    // The map window relies on this order of six layers, the files beside the profile in
    // "Globe Data".
    ASSERT_EQ(host.layers.count(), 6);
    const std::vector<std::string> names = {"Land",          "Borders", "Capitals",
                                            "Country names", "Cities",  "Custom cities"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(host.layers.layer(i)->name(), names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(fs::path(host.layers.layer(i)->directory()), out / "Globe Data" / "") << i;
    }
    const GlobeLayer& land = *host.layers.layer(0);
    EXPECT_EQ(land.name(), "Land");
    EXPECT_FALSE(land.enabled); // coast and borders are never picked with the mouse
    EXPECT_FALSE(host.layers.layer(1)->enabled);
    // Two filled polygons, then the coast as lines: the square's two rings and the other one.
    ASSERT_EQ(land.objectCount(), 5);
    EXPECT_EQ(land.object(2)->className(), "TGlobePolyLine");
    EXPECT_EQ(dynamic_cast<const GlobePolyLine&>(*land.object(3)).points.count(), 5);
    // The square with a square hole joined by a cut from its nearest corner (-10, -10): the
    // outline to that corner, the hole closed on its start, and back.
    const auto& holed = dynamic_cast<const GlobePolygon&>(*land.object(0));
    ASSERT_EQ(holed.points.count(), 11);
    EXPECT_EQ(holed.points[1], makeLLPoint(gu(-3), gu(-3)));
    EXPECT_EQ(holed.points[5], holed.points[1]);
    EXPECT_EQ(holed.points[6], holed.points[0]);
    const auto& ring = dynamic_cast<const GlobePolygon&>(*land.object(1));
    ASSERT_EQ(ring.points.count(), 3); // the malformed and out-of-range pairs are skipped
    EXPECT_EQ(ring.points[0].lon, gu(170.123456)); // finer than an arc minute
    EXPECT_EQ(ring.points[0].lat, gu(50.5));
    EXPECT_EQ(host.layers.layer(1)->objectCount(), 1);

    const GlobeLayer& capitals = *host.layers.layer(2);
    EXPECT_TRUE(capitals.enabled); // a capital under the mouse is named
    ASSERT_EQ(capitals.objectCount(), 2);
    EXPECT_EQ(capitals.object(1)->className(), "TGlobeSymbol");
    EXPECT_EQ(capitals.object(1)->title(), "Bern");
    const GlobeLayer& countries = *host.layers.layer(3);
    ASSERT_EQ(countries.objectCount(), 2);
    EXPECT_EQ(countries.object(1)->className(), "TGlobeText");
    EXPECT_EQ(countries.object(1)->location().lon, gu(177.97295));

    GlobeLayer& cities = *host.layers.layer(4);
    EXPECT_TRUE(cities.loadOnDemand);
    cities.loadObjects();
    ASSERT_EQ(cities.objectCount(), 2);
    EXPECT_EQ(cities.object(0)->title(), "Z\xfcrich");
    EXPECT_EQ(cities.object(1)->location().lon, gu(-104.9847));
    EXPECT_EQ(host.layers.layer(5)->objectCount(), 0);
    fs::remove_all(out);
}

// A hole is water: the even-odd fill leaves it open, and the join between the outer ring and
// the hole is not outlined.
TEST(GlobeDataConverter, HoleInALandPolygonDrawsAsWater)
{
    app();
    const fs::path out =
        fs::temp_directory_path() / ("wl-globe-hole-" + std::to_string(::getpid()));
    fs::remove_all(out);
    fs::create_directories(out);
    GlobeDataConverter::convert(WAVELARK_FIXTURE_DIR, out.string());
    GlobeControl ctl;
    ctl.setScrollBars(GlobeControl::ScrollBars::None);
    ctl.resize(400, 400);
    ctl.setProfileName(QString::fromStdString((out / "globe.prf").string()));
    ctl.setDrawGrid(GlobeControl::DrawGrid::None);
    ctl.setGlobeColor(0xFF0000);
    ctl.setRotation(6, 0);
    ctl.setRotation(5, 0);
    ctl.setScaleFactor(ctl.scaleFactor() * 3);
    const QImage img = ctl.renderToImage();
    const auto at = [&](double lon, double lat) {
        EXPECT_TRUE(ctl.projection().projectLL(gu(lon), gu(lat), 0));
        const ScreenPoint p = ctl.projection().points()[0];
        return img.pixelColor(p.x, p.y);
    };
    const QColor land = PainterCanvas::toQColor(0x5CA56E), sea(0, 0, 255);
    EXPECT_EQ(at(-1, 0), sea);       // the hole (a border line starts at 0, 0)
    EXPECT_EQ(at(6, 0), land);       // the land round it
    EXPECT_EQ(at(-6.5, -6.5), land); // on the join between the rings
    EXPECT_EQ(at(14, 0), sea);
    fs::remove_all(out);
}

TEST(ShippedGlobeData, OpensAndDrawsLandAndSea)
{
    app();
    GlobeControl ctl;
    ctl.setScrollBars(GlobeControl::ScrollBars::None);
    ctl.resize(792, 466);
    std::vector<QString> warnings;
    ctl.onLayerWarning = [&](const QString& m) { warnings.push_back(m); };
    ctl.setProfileName(QStringLiteral(WAVELARK_DATA_DIR "/globe.prf"));
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(ctl.layerCount(), 6);
    EXPECT_GT(ctl.layer(0).objectCount(), 1000);
    EXPECT_GT(ctl.layer(1).objectCount(), 100);
    ctl.setRotation(6, 40);
    ctl.setRotation(5, -100);
    ctl.setGlobeColor(0xFF0000); // blue sea
    const QImage img = ctl.renderToImage();
    ASSERT_EQ(img.size(), QSize(792, 466));
    const ScreenPoint origin = ctl.screenOrigin();
    // Montana, away from the capitals' labels, which now carry their names.
    ctl.projection().projectLL(gu(-110), gu(46), 0);
    const ScreenPoint inland = ctl.projection().points()[0];
    EXPECT_EQ(img.pixelColor(inland.x, inland.y), PainterCanvas::toQColor(0x5CA56E));
    ctl.projection().projectLL(gu(-143), gu(33), 0); // the Pacific, off the graticule
    const ScreenPoint sea = ctl.projection().points()[0];
    EXPECT_EQ(img.pixelColor(sea.x, sea.y), QColor(0, 0, 255));
    EXPECT_EQ(origin.x, 396);

    // For a look by eye: the default view with the night shadow of a fixed moment.
    if (const char* png = std::getenv("WAVELARK_GLOBE_PNG")) {
        ctl.setScaleFactor(0);
        ctl.setRotation(6, 23);
        ctl.setRotation(5, 0);
        ctl.onRender = [&] { ctl.drawNightShadow(0x402000, 0x804020, 1, 45464.75); };
        ctl.renderToImage().save(QString::fromLocal8Bit(png));
    }
}

// The city editor keeps its list sorted by name, byte by byte; the shipped file reads the same
// from the start. Each city carries its population for ranking its label.
TEST(ShippedGlobeData, CitiesComeInTheEditorsOrderWithTheirPopulation)
{
    app();
    GlobeControl ctl;
    ctl.setProfileName(QStringLiteral(WAVELARK_DATA_DIR "/globe.prf"));
    ASSERT_EQ(ctl.layerCount(), 6);
    GlobeLayer& cities = ctl.layer(4);
    cities.loadObjects();
    ASSERT_GT(cities.objectCount(), 30000);
    int withPopulation = 0;
    for (int i = 0; i < cities.objectCount(); ++i) {
        if (i > 0) {
            ASSERT_LE(cities.object(i - 1)->title(), cities.object(i)->title()) << i;
        }
        withPopulation += cities.object(i)->objectID >= 10000;
    }
    EXPECT_EQ(withPopulation, cities.objectCount());
}

TEST(ShippedGlobeData, TruncatedLayerFilesLoadOrFailCleanly)
{
    for (const char* name : {"Borders.lay", "Capitals.lay", "Countries.lay", "Cities.dat"}) {
        const auto bytes = FileBytes::read(std::string(WAVELARK_DATA_DIR "/Globe Data/") + name);
        ASSERT_TRUE(bytes) << name;
        // Every cut in the first blocks, then cuts spread over the whole file.
        std::vector<std::size_t> cuts;
        for (std::size_t n = 0; n < std::min<std::size_t>(bytes->size(), 3000); ++n)
            cuts.push_back(n);
        for (std::size_t k = 1; k < 40; ++k)
            cuts.push_back(bytes->size() * k / 40);
        for (std::size_t n : cuts) {
            TestGlobeHost host;
            ObjectLayer layer(host);
            const std::span<const std::uint8_t> prefix(bytes->data(), n);
            try {
                LayerFile::read(prefix, layer, name);
            } catch (const GlobeException&) {
            }
        }
    }
}
