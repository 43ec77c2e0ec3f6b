// Layer files byte for byte in every version, the reader's failures, and damaged files.
#include "TestLayerHost.h"

#include "globe/GlobeException.h"
#include "globe/GlobeFont.h"
#include "globe/GlobePen.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolyLine.h"
#include "globe/GlobePolygon.h"
#include "globe/GlobeSymbol.h"
#include "globe/LayerFile.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

using namespace wl;

namespace {

constexpr std::int32_t D = 5400000; // one degree in GU

using Bytes = std::vector<std::uint8_t>;

// Builds expected files from little-endian fields.
struct Expect
{
    Bytes b;
    Expect& u8(std::initializer_list<int> v)
    {
        for (int x : v)
            b.push_back(static_cast<std::uint8_t>(x));
        return *this;
    }
    Expect& i16(int v) { return u8({v & 0xFF, (v >> 8) & 0xFF}); }
    Expect& i32(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        return u8({int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF), int(u >> 24)});
    }
    Expect& str(const std::string& s)
    {
        b.push_back(static_cast<std::uint8_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
};

std::string message(const Bytes& data)
{
    TestGlobeHost host;
    ObjectLayer layer(host);
    try {
        LayerFile::read(data, layer, "f.lay");
    } catch (const GlobeException& e) {
        return e.what();
    }
    return {};
}

LLPointList twoPoints()
{
    LLPointList pts;
    pts.add(makeLLPoint(2 * D, D));
    pts.add(makeLLPoint(2 * D + 3, D - 4));
    return pts;
}

} // namespace

TEST(LayerFile, WritesVersion544ByteForByteAndDropsUnusedAttributes)
{
    TestGlobeHost host;
    host.fontData = FontData{"Arial", FontBold, 0, 10, GlobeUnits::Pixel, 0x112233};
    ObjectLayer layer(host);
    GlobePointText::create(layer, D, 2 * D, "A");
    GlobePolyLine::create(layer, twoPoints(), "L");
    layer.findOrCreateBrush(0x445566, 0); // referred to by nothing: not written, freed

    const Bytes bytes = LayerFile::write(layer, 1);

    Expect e;
    e.i16(544).i16(1).i16(0);
    e.i32(1).str("TGlobeFont").i16(0);
    e.i32(0x112233).u8({int(GlobeUnits::Pixel)}).i16(10).i16(0).u8({FontBold}).str("Arial");
    e.i32(1).str("TGlobePen").i16(1);
    e.i32(0x0000FF00).u8({0, 2});
    // Object blocks follow the class registry: polylines before point texts.
    e.i32(1).str("TGlobePolyLine").i16(0);
    e.str("L").u8({1}).i16(2).u8({1}).i32(2 * D).i32(D).u8({3, 0xFC}).i16(1);
    e.i32(1).str("TGlobePointText").i16(0);
    e.str("A").i32(2 * D).i32(D).i16(0);
    EXPECT_EQ(bytes, e.b);
    EXPECT_EQ(layer.attributeCount(), 2);
}

TEST(LayerFile, ObjectIdAndArcMinuteFormat)
{
    TestGlobeHost host;
    ObjectLayer layer(host);
    GlobeSymbol::create(layer, 65, -D, -3 * D, "S").objectID = 77;
    const Bytes bytes = LayerFile::write(layer, 0);

    Expect e;
    e.i16(544).i16(0).i16(0);
    e.i32(1).str("TGlobeFont").i16(0);
    e.i32(16777215).u8({int(GlobeUnits::Pixel)}).i16(12).i16(0).u8({0}).str("Arial");
    e.i32(1).str("TGlobeSymbol").i16(0);
    e.u8({1 + 65, 'S'}).i32(77).i16(-3 * 60).i16(-60).i16(0).i16(65);
    EXPECT_EQ(bytes, e.b);
}

TEST(LayerFile, ReadsVersion528InArcMinutes)
{
    Expect e;
    e.i16(528).i16(0).i16(0);
    e.i32(1).str("TGlobeFont").i16(0);
    e.i32(0x0000FF).u8({int(GlobeUnits::Kilometer)}).i16(-5).i16(900).u8({FontItalic}).str("Sans");
    e.i32(2).str("TGlobePointText").i16(0);
    e.str("one").i16(30).i16(-90).i16(0);
    e.u8({65 + 3}).b.insert(e.b.end(), {'t', 'w', 'o'});
    e.i32(9).i16(-1).i16(2).i16(0);

    TestGlobeHost host;
    ObjectLayer layer(host);
    EXPECT_EQ(LayerFile::read(e.b, layer, "f.lay"), 0);
    ASSERT_EQ(layer.objectCount(), 2);
    ASSERT_EQ(layer.attributeCount(), 1);
    const auto& font = dynamic_cast<const GlobeFont&>(*layer.attribute(0));
    EXPECT_EQ(font.unit(), GlobeUnits::Kilometer);
    EXPECT_EQ(font.size, -5);
    EXPECT_EQ(font.angle, 900);
    EXPECT_EQ(font.face, "Sans");
    const GlobeObject& one = *layer.object(0);
    EXPECT_EQ(one.title(), "one");
    EXPECT_EQ(one.location().lon, 30 * 90000);
    EXPECT_EQ(one.location().lat, -90 * 90000);
    EXPECT_EQ(one.attribute(0), &font);
    EXPECT_EQ(layer.object(1)->title(), "two");
    EXPECT_EQ(layer.object(1)->objectID, 9);
    EXPECT_EQ(host.created, 2);
}

TEST(LayerFile, ReadsVersion514WithOldRecords)
{
    Expect e;
    e.i16(514).i16(7).i16(7); // both words ignored
    e.i16(1).str("TGlobePen");
    e.i32(0x00FF00FF).u8({1}); // no width before class version 1
    e.i16(1).str("TGlobePolyLine");
    e.u8({0}).str("L");             // a leading byte skipped before 528
    e.i16(60).i16(120);             // location, the list's first point
    e.i16(2).u8({1}).u8({2, 0xFF}); // count, byte deltas, one step
    e.i16(0);

    TestGlobeHost host;
    ObjectLayer layer(host);
    EXPECT_EQ(LayerFile::read(e.b, layer, "f.lay"), 0);
    ASSERT_EQ(layer.objectCount(), 1);
    const auto& pen = dynamic_cast<const GlobePen&>(*layer.attribute(0));
    EXPECT_EQ(pen.data.width, 1);
    EXPECT_EQ(pen.data.style, 1);
    const auto& line = dynamic_cast<const GlobePolyLine&>(*layer.object(0));
    ASSERT_EQ(line.points.count(), 2);
    EXPECT_EQ(line.points[0].lon, 60 * 90000);
    EXPECT_EQ(line.points[0].lat, 120 * 90000);
    EXPECT_EQ(line.points[1].lon, 62 * 90000);
    EXPECT_EQ(line.points[1].lat, 119 * 90000);
    EXPECT_EQ(line.attribute(0), &pen);
}

TEST(LayerFile, RoundTripsEveryClassInBothFormats)
{
    for (int format : {0, 1}) {
        TestGlobeHost host;
        ObjectLayer layer(host);
        LLPointList pts;
        for (int i = 0; i < 50; ++i)
            pts.add(makeLLPoint(i * i * 180000, (i % 5) * 2000000));
        GlobePolygon::create(layer, pts, "poly");
        GlobePolyLine::create(layer, pts, "line");
        GlobeSymbol::create(layer, 70, 3 * D, 4 * D, "sym");
        GlobePointText::create(layer, 5 * D, -6 * D, "pt").objectID = -4;
        const Bytes first = LayerFile::write(layer, format);

        TestGlobeHost host2;
        ObjectLayer copy(host2);
        EXPECT_EQ(LayerFile::read(first, copy, "f.lay"), format);
        EXPECT_EQ(copy.objectCount(), 4);
        EXPECT_EQ(LayerFile::write(copy, format), first) << "format " << format;
    }
}

TEST(LayerFile, HeaderAndClassFailuresNameTheFile)
{
    struct Case
    {
        Bytes data;
        std::string expected;
    };
    const Case cases[] = {
        {Expect().i16(0x300).i16(1).i16(0).b, "LoadFromFile: Invalid File Version 300 in f.lay"},
        {Expect().i16(528).i16(2).i16(0).b, "LoadFromFile: Invalid Data Format 2 in f.lay"},
        {Expect().i16(544).i16(-1).i16(0).b, "LoadFromFile: Invalid Data Format -1 in f.lay"},
        {Expect().i16(544).i16(1).i16(0).i32(1).str("TForm").i16(0).b,
         "LoadFromFile: Unknown Globe Object Class TForm in f.lay"},
        {Expect().i16(544).i16(1).i16(0).b, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(message(c.data), c.expected);
}

TEST(LayerFile, UnknownSaveFormatRaises)
{
    TestGlobeHost host;
    ObjectLayer layer(host);
    try {
        LayerFile::write(layer, 2);
        FAIL();
    } catch (const GlobeException& e) {
        EXPECT_STREQ(e.what(), "SaveToFile: Unknown data format 2");
    }
}

TEST(LayerFile, DamagedRecordKeepsEarlierObjectsOnly)
{
    TestGlobeHost host;
    ObjectLayer layer(host);
    GlobePointText::create(layer, D, D, "a");
    GlobePointText::create(layer, D, D, "b");
    Bytes bytes = LayerFile::write(layer, 1);
    bytes.resize(bytes.size() - 3);

    TestGlobeHost host2;
    ObjectLayer copy(host2);
    EXPECT_THROW(LayerFile::read(bytes, copy, "f.lay"), GlobeException);
    ASSERT_EQ(copy.objectCount(), 1);
    EXPECT_EQ(copy.object(0)->title(), "a");
}

TEST(LayerFile, EveryPrefixOfARealFileLoadsOrFailsCleanly)
{
    TestGlobeHost host;
    ObjectLayer layer(host);
    LLPointList pts;
    for (int i = 0; i < 30; ++i)
        pts.add(makeLLPoint(i * 3000000 - 40000000, (i % 3) * 70000 + (i > 15 ? 9000000 : 0)));
    GlobePolygon::create(layer, pts, "land");
    GlobePolyLine::create(layer, pts, "border");
    GlobeSymbol::create(layer, 66, D, D, "s").objectID = 3;
    GlobePointText::create(layer, 2 * D, 2 * D, "Denver");
    for (int format : {0, 1}) {
        const Bytes bytes = LayerFile::write(layer, format);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            TestGlobeHost h;
            ObjectLayer l(h);
            const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            try {
                LayerFile::read(prefix, l, "f.lay");
            } catch (const GlobeException&) {
            }
            EXPECT_LE(l.objectCount(), 4);
        }
    }
}
