// Layers attached from files and profiles: profile lists, settings, failures, load on demand
// and atomic saves.
#include "TestLayerHost.h"

#include "globe/FileBytes.h"
#include "globe/GlobeException.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolyLine.h"
#include "globe/IniFile.h"
#include "globe/LayerFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

using namespace wl;
namespace fs = std::filesystem;

namespace {

constexpr std::int32_t D = 5400000;

class LayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("wl-layer-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "data");
        host.dataDir = (dir / "data").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    // A layer file of n point texts named <prefix>0, <prefix>1, ...
    void makeLayerFile(const fs::path& path, int n, const std::string& prefix)
    {
        TestGlobeHost h;
        ObjectLayer layer(h);
        for (int i = 0; i < n; ++i)
            GlobePointText::create(layer, i * D, i * D, prefix + std::to_string(i));
        const auto bytes = LayerFile::write(layer, 1);
        FileBytes::writeAtomically(path.string(), bytes);
    }

    void writeText(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::string readText(const fs::path& path)
    {
        auto b = FileBytes::read(path.string());
        return b ? std::string(b->begin(), b->end()) : std::string();
    }

    fs::path dir;
    TestLayerHost host;
};

} // namespace

TEST(IniFile, ReadsSectionsKeysAndTypesAsText)
{
    IniFile ini;
    ini.parse("\xEF\xBB\xBF; comment\r\n[Global Settings]\r\nDataDirectory = C:\\Maps\\ \r\n"
              "[layer.lay]\nname=Land = Sea\nvisible=0\nZoomMin=0x10\nZoomMax=12abc\n"
              "MaxFontHeight=-7\n");
    EXPECT_EQ(ini.readString("global settings", "datadirectory", "x"), "C:\\Maps\\");
    EXPECT_EQ(ini.readString("Layer.lay", "Name", ""), "Land = Sea");
    EXPECT_FALSE(ini.readBool("layer.lay", "Visible", true));
    EXPECT_TRUE(ini.readBool("layer.lay", "Enabled", true));
    EXPECT_EQ(ini.readInt("layer.lay", "ZoomMin", 0), 16);
    EXPECT_EQ(ini.readInt("layer.lay", "ZoomMax", 5), 5);
    EXPECT_EQ(ini.readInt("layer.lay", "MaxFontHeight", 0), -7);
    EXPECT_EQ(ini.readString("missing", "Name", "d"), "d");

    ini.writeString("layer.lay", "NAME", "Coast");
    ini.eraseSection("Global Settings");
    ini.writeInt("New", "k", 3);
    EXPECT_EQ(ini.text(), "; comment\r\n[layer.lay]\r\nname=Coast\r\nvisible=0\r\nZoomMin=0x10\r\n"
                          "ZoomMax=12abc\r\nMaxFontHeight=-7\r\n[New]\r\nk=3\r\n");
}

TEST_F(LayerTest, ProfileListEndsAtTheFirstMissingKeyAndDropsFailingLayers)
{
    makeLayerFile(dir / "data" / "a.lay", 2, "a");
    makeLayerFile(dir / "sub.lay", 3, "s");
    makeLayerFile(dir / "data" / "c.lay", 1, "c");
    writeText(dir / "data" / "bad.lay", std::string("\x00\x03\x01\x00\x00\x00", 6));
    writeText(dir / "globe.prf",
              "[LayerList]\n0=a.lay\n1=missing.lay\n2=./sub.lay\n3=bad.lay\n5=c.lay\n"
              "[a.lay]\nName=Land\nVisible=0\nZoomUnits=km\nZoomMax=900\n");

    host.openProfile((dir / "globe.prf").string());

    ASSERT_EQ(host.layers.count(), 2);
    const GlobeLayer& a = *host.layers.layer(0);
    EXPECT_EQ(a.name(), "Land");
    EXPECT_FALSE(a.visible);
    EXPECT_EQ(a.zoomUnits, GlobeUnits::Kilometer);
    EXPECT_EQ(a.zoomMax, 900);
    EXPECT_EQ(a.objectCount(), 2);
    EXPECT_EQ(host.layers.layer(1)->name(), "sub");
    EXPECT_EQ(host.layers.layer(1)->objectCount(), 3);
    ASSERT_EQ(host.warnings.size(), 2u);
    EXPECT_EQ(host.warnings[0], "LoadFromFile: File " + host.dataDir + "/missing.lay not found");
    EXPECT_EQ(host.warnings[1], "LoadFromFile: Invalid File Version 300 in bad.lay");
    EXPECT_EQ(host.progressReports.front(),
              std::make_pair(1, "Loading layer " + host.dataDir + "/a.lay"));
}

// A layer that cannot be read is reported with the file it came from, whatever went wrong:
// a record cut short, or a name that is there but is no readable file.
TEST_F(LayerTest, LayerReadErrorsNameTheFile)
{
    makeLayerFile(dir / "data" / "whole.lay", 40, "town");
    const std::string whole = readText(dir / "data" / "whole.lay");
    writeText(dir / "data" / "cut.lay", whole.substr(0, whole.size() / 2));
    fs::create_directories(dir / "data" / "folder.lay");
    writeText(dir / "globe.prf", "[LayerList]\n0=cut.lay\n1=folder.lay\n2=whole.lay\n");

    host.openProfile((dir / "globe.prf").string());

    ASSERT_EQ(host.warnings.size(), 2u);
    EXPECT_EQ(host.warnings[0],
              "Stream read error: record truncated in " + host.dataDir + "/cut.lay");
    EXPECT_EQ(host.warnings[1],
              "LoadFromFile: File " + host.dataDir + "/folder.lay could not be read");
    ASSERT_EQ(host.layers.count(), 1);
    EXPECT_EQ(host.layers.layer(0)->objectCount(), 40);
}

TEST_F(LayerTest, SavedProfileRestoresEachLayersSettings)
{
    makeLayerFile(dir / "data" / "a.lay", 1, "a");
    makeLayerFile(dir / "data" / "b.lay", 1, "b");
    writeText(dir / "globe.prf", "[LayerList]\n0=a.lay\n1=b.lay\n[b.lay]\nScaleFont=0\n");
    host.openProfile((dir / "globe.prf").string());
    ASSERT_EQ(host.layers.count(), 2);
    GlobeLayer& a = *host.layers.layer(0);
    a.setName("Coast");
    a.enabled = false;
    a.loadOnDemand = true;
    a.zoomUnits = GlobeUnits::Mile;
    a.zoomMin = 10;
    a.zoomMax = 2000;
    a.maxFontHeight = 14;
    a.scaleFont = false; // not kept by the profile
    host.layers.saveProfile();

    TestLayerHost again;
    again.dataDir = host.dataDir;
    again.openProfile((dir / "globe.prf").string());
    ASSERT_EQ(again.layers.count(), 2);
    const GlobeLayer& r = *again.layers.layer(0);
    EXPECT_EQ(r.name(), "Coast");
    EXPECT_FALSE(r.enabled);
    EXPECT_TRUE(r.visible);
    EXPECT_TRUE(r.loadOnDemand);
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.zoomUnits, GlobeUnits::Mile);
    EXPECT_EQ(r.zoomMin, 10);
    EXPECT_EQ(r.zoomMax, 2000);
    EXPECT_EQ(r.maxFontHeight, 14);
    EXPECT_TRUE(r.scaleFont);
    EXPECT_FALSE(again.layers.layer(1)->scaleFont);
    EXPECT_EQ(readText(dir / "globe.prf").find("[LayerList]\r\n0=a.lay\r\n1=b.lay\r\n") !=
                  std::string::npos,
              true);
}

TEST_F(LayerTest, SaveProfileWithoutProfileRaises)
{
    EXPECT_THROW(host.layers.saveProfile(), GlobeException);
}

TEST_F(LayerTest, LoadOnDemandFollowsTheViewWidth)
{
    makeLayerFile(dir / "data" / "towns.lay", 3, "t");
    GlobeLayer& layer = host.layers.addLayer();
    layer.loadOnDemand = true;
    layer.zoomMax = 500; // nautical miles: 45,000,000 GU across the 800-pixel surface
    layer.loadFromFile("towns.lay");
    EXPECT_FALSE(layer.loaded);

    struct Step
    {
        std::int32_t unitsPerPixel;
        bool visible;
    };
    for (const Step s : {Step{56250, true}, Step{56251, false}, Step{1000, true}}) {
        host.model->setView(0, 0, 1.0L / s.unitsPerPixel, 0);
        ASSERT_EQ(host.model->unitsPerPixel(), s.unitsPerPixel);
        EXPECT_EQ(layer.isVisibleNow(), s.visible) << s.unitsPerPixel;
        EXPECT_EQ(layer.loaded, s.visible);
        EXPECT_EQ(layer.objectCount(), s.visible ? 3 : 0);
    }
}

TEST_F(LayerTest, FailedSaveKeepsThePreviousFile)
{
    const fs::path path = dir / "data" / "big.lay";
    makeLayerFile(path, 1, "old");
    const std::string before = readText(path);

    GlobeLayer& layer = host.layers.addLayer();
    for (int i = 0; i < 200; ++i)
        GlobePointText::create(layer, D, D, "a long enough title " + std::to_string(i));

    // A file size limit makes the write itself fail part way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(layer.saveToFile(path.string()), GlobeException);
    ::setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(readText(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data"), fs::directory_iterator()), 1);

    layer.saveToFile(path.string());
    EXPECT_EQ(layer.fileName(), "big.lay");
    layer.unload();
    layer.loadObjects();
    EXPECT_EQ(layer.objectCount(), 200);
}

TEST_F(LayerTest, SaveDropsAFontNoObjectUses)
{
    GlobeLayer& layer = host.layers.addLayer();
    LLPointList pts;
    pts.add(makeLLPoint(0, 0));
    pts.add(makeLLPoint(D, D));
    GlobePolyLine::create(layer, pts, "line");
    layer.findOrCreateFont(FontData{});
    ASSERT_EQ(layer.attributeCount(), 2);
    layer.saveToFile((dir / "l.lay").string());
    EXPECT_EQ(layer.attributeCount(), 1);
    EXPECT_EQ(readText(dir / "l.lay").find("TGlobeFont"), std::string::npos);
}

TEST_F(LayerTest, FindersStartAfterTheGivenObject)
{
    GlobeLayer& layer = host.layers.addLayer();
    GlobeObject& a = GlobePointText::create(layer, 0, 0, "x");
    GlobePointText::create(layer, 0, 0, "y").rowID = 5;
    GlobeObject& c = GlobePointText::create(layer, 0, 0, "x");
    c.rowID = 5;
    c.objectID = 8;
    EXPECT_EQ(layer.findByTitle("x", nullptr), &a);
    EXPECT_EQ(layer.findByTitle("x", &a), &c);
    EXPECT_EQ(layer.findByTitle("x", &c), nullptr);
    EXPECT_EQ(layer.findByTitle("X", nullptr), nullptr);
    EXPECT_EQ(layer.findByRowID(5, layer.object(1)), &c);
    EXPECT_EQ(layer.findByObjectID(8, nullptr), &c);
}
