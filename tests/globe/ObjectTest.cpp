#include "RecordingCanvas.h"
#include "TestGlobeHost.h"

#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeBrush.h"
#include "globe/GlobeClasses.h"
#include "globe/GlobeException.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeGrid.h"
#include "globe/GlobePen.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolygon.h"
#include "globe/GlobeSymbol.h"
#include "globe/ObjectLayer.h"
#include "globe/RenderContext.h"
#include "globe/StreamContext.h"

#include <gtest/gtest.h>

using namespace wl;

namespace {

constexpr std::int32_t D = 5400000;

std::vector<std::uint8_t> bytesOf(const GlobePersistent& p, const StreamContext& ctx = {})
{
    ByteWriter w;
    p.saveToStream(w, ctx);
    return w.take();
}

LLPointList listOf(std::initializer_list<std::pair<double, double>> degrees)
{
    LLPointList l;
    for (auto [lon, lat] : degrees)
        l.add(makeLLPoint(static_cast<std::int32_t>(lon * D), static_cast<std::int32_t>(lat * D)));
    return l;
}

std::string messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const GlobeException& e) {
        return e.what();
    }
    return "no exception";
}

struct Objects : ::testing::Test
{
    TestGlobeHost host;
    ObjectLayer layer{host};
    RecordingCanvas canvas;
    RenderContext ctx{canvas};

    void render(GlobeObject& o)
    {
        o.state |= GlobeObject::OwnAttributes;
        o.draw(ctx);
    }
    // Reads a record into a fresh object of the same class in the given layer.
    GlobePersistent& reread(const GlobePersistent& p, ObjectLayer& into,
                            const StreamContext& sc = {})
    {
        const auto bytes = bytesOf(p, sc);
        GlobePersistent* r = GlobeClasses::create(p.className(), into);
        ByteReader in(bytes);
        r->loadFromStream(in, sc);
        EXPECT_TRUE(in.atEnd());
        return *r;
    }
};

} // namespace

TEST_F(Objects, HeaderCarriesTitleAndObjectID)
{
    GlobeText& t = GlobeText::create(layer, 0, 0, "Home");
    t.objectID = 7;
    const auto withID = bytesOf(t);
    EXPECT_EQ(std::vector<std::uint8_t>(withID.begin(), withID.begin() + 9),
              (std::vector<std::uint8_t>{69, 'H', 'o', 'm', 'e', 7, 0, 0, 0}));
    t.objectID = 0;
    const auto without = bytesOf(t);
    EXPECT_EQ(std::vector<std::uint8_t>(without.begin(), without.begin() + 5),
              (std::vector<std::uint8_t>{4, 'H', 'o', 'm', 'e'}));

    GlobeText& empty = GlobeText::create(layer, 0, 0, "");
    empty.objectID = 7;
    EXPECT_EQ(bytesOf(empty)[0], 65);
    auto& back = static_cast<GlobeText&>(reread(empty, layer));
    EXPECT_EQ(back.title(), "");
    EXPECT_EQ(back.objectID, 7);
    EXPECT_EQ(back.state, GlobeObject::BoundsStale);

    GlobeText& longTitle = GlobeText::create(layer, 0, 0, std::string(100, 'x'));
    EXPECT_EQ(longTitle.title().size(), 64u);
}

TEST_F(Objects, EveryRecordRoundTrips)
{
    host.fontData =
        FontData{"Courier", FontBold | FontItalic, 450, 14, GlobeUnits::Kilometer, 0x123456};
    GlobeText& text = GlobeText::create(layer, 10 * D, -20 * D, "text");
    GlobePointText& pt = GlobePointText::create(layer, -33 * D, 151 * D, "point");
    pt.objectID = 99;
    GlobeSymbol& sym = GlobeSymbol::create(layer, 0x41, 1 * D, 2 * D, "sym");
    GlobePolyLine& line =
        GlobePolyLine::create(layer, listOf({{0, 0}, {1, 1}, {1.5, 1}, {30, -5}}), "line");
    GlobePolygon& poly = GlobePolygon::create(layer, listOf({{0, 0}, {10, 0}, {5, 5}}), "poly");
    GlobeGrid& grid = GlobeGrid::create(layer, D, D, 5 * D, 10 * D,
                                        GURect{-20 * D, -10 * D, 20 * D, 10 * D}, "grid");
    grid.minorPen = &layer.findOrCreatePen(1, 1, 2);

    for (std::int32_t unit : {1, 90000}) {
        SCOPED_TRACE(unit);
        StreamContext sc;
        sc.storedUnit = unit;
        sc.classVersion = 1;
        ObjectLayer copy(host);
        // Attributes first, as a layer file has them, so indexes refer to the same entries.
        for (int i = 0; i < layer.attributeCount(); ++i)
            reread(*layer.attribute(i), copy, sc);
        ASSERT_EQ(copy.attributeCount(), layer.attributeCount());
        const auto& font = static_cast<GlobeFont&>(*copy.attribute(0));
        EXPECT_EQ(font.face, "Courier");
        EXPECT_EQ(font.styles, FontBold | FontItalic);
        EXPECT_EQ(font.angle, 450);
        EXPECT_EQ(font.size, 14);
        EXPECT_EQ(font.unit(), GlobeUnits::Kilometer);
        EXPECT_EQ(font.unitFactor(), 48596);
        EXPECT_EQ(font.color, 0x123456);
        const auto& pen = static_cast<GlobePen&>(*copy.attribute(1));
        EXPECT_EQ(pen.data.color, host.penData.color);
        EXPECT_EQ(pen.data.width, 2);
        const auto& brush = static_cast<GlobeBrush&>(*copy.attribute(2));
        EXPECT_EQ(brush.data.color, host.brushData.color);

        auto& t2 = static_cast<GlobeText&>(reread(text, copy, sc));
        EXPECT_EQ(t2.location(), text.location());
        EXPECT_EQ(t2.font, copy.attribute(0));
        auto& p2 = static_cast<GlobePointText&>(reread(pt, copy, sc));
        EXPECT_EQ(p2.objectID, 99);
        EXPECT_EQ(p2.title(), "point");
        EXPECT_EQ(p2.location(), pt.location());
        auto& s2 = static_cast<GlobeSymbol&>(reread(sym, copy, sc));
        EXPECT_EQ(s2.symbol, 0x41);
        auto& l2 = static_cast<GlobePolyLine&>(reread(line, copy, sc));
        EXPECT_EQ(l2.points.count(), 4);
        EXPECT_EQ(l2.pen, copy.attribute(1));
        EXPECT_EQ(l2.location(), l2.points.get(0));
        auto& g2 = static_cast<GlobePolygon&>(reread(poly, copy, sc));
        EXPECT_EQ(g2.points.count(), 3);
        EXPECT_EQ(g2.brush, copy.attribute(2));
        auto& grid2 = static_cast<GlobeGrid&>(reread(grid, copy, sc));
        EXPECT_EQ(grid2.bounds().right, 20 * D);
        EXPECT_EQ(grid2.bounds().bottom, 10 * D);
        EXPECT_EQ(grid2.majorX, 10 * D);
        EXPECT_EQ(grid2.minorY, D);
        EXPECT_EQ(grid2.majorPen, copy.attribute(1));
        EXPECT_EQ(grid2.minorPen, copy.attribute(3));
    }
}

TEST_F(Objects, OlderVersionsAndClassVersions)
{
    GlobePen& pen = layer.findOrCreatePen(0x112233, 5, 1);
    StreamContext v1;
    v1.classVersion = 1;
    ObjectLayer other(host);
    EXPECT_EQ(static_cast<GlobePen&>(reread(pen, other, v1)).data.width, 5);
    // A version-0 block has no width byte: every pen reads with width 1.
    const std::vector<std::uint8_t> v0{0x33, 0x22, 0x11, 0, 1};
    GlobePen p0(other);
    ByteReader in(v0);
    p0.loadFromStream(in, StreamContext{});
    EXPECT_EQ(p0.data.width, 1);
    EXPECT_EQ(p0.data.color, 0x112233);

    // Before 528: no font unit byte, nautical miles.
    StreamContext v514;
    v514.fileVersion = StreamContext::Version514;
    const std::vector<std::uint8_t> font{1, 0, 0, 0, 12, 0, 0xF6, 0xFF, 1, 2, 'A', 'B'};
    GlobeFont f(other);
    ByteReader fin(font);
    f.loadFromStream(fin, v514);
    EXPECT_EQ(f.unit(), GlobeUnits::NauticalMile);
    EXPECT_EQ(f.size, 12);
    EXPECT_EQ(f.angle, -10);
    EXPECT_EQ(f.face, "AB");

    // Before 544 a polyline carries its first point ahead of the list; before 528 the header
    // has a leading byte.
    const std::vector<std::uint8_t> line{0xEE, 1,   'L',          // skipped byte, title "L"
                                         1,    0,   2,   0,       // first point (1, 2) arc minutes
                                         2,    0,   1,   3, 0xFD, // count 2, byte deltas, (+3, -3)
                                         0xFF, 0xFF};             // no pen
    StreamContext old;
    old.fileVersion = StreamContext::Version514;
    old.storedUnit = 90000;
    GlobePolyLine& l = *static_cast<GlobePolyLine*>(GlobeClasses::create("TGlobePolyLine", other));
    ByteReader lin(line);
    l.loadFromStream(lin, old);
    EXPECT_TRUE(lin.atEnd());
    EXPECT_EQ(l.title(), "L");
    ASSERT_EQ(l.points.count(), 2);
    EXPECT_EQ(l.location(), makeLLPoint(90000, 180000));
    EXPECT_EQ(l.points.get(1), makeLLPoint(4 * 90000, -1 * 90000));
    EXPECT_EQ(l.pen, nullptr);
}

TEST_F(Objects, MalformedRecordsRaise)
{
    GlobePen& pen = layer.findOrCreatePen(0, 1, 0);
    (void)pen;
    GlobeFont& font = layer.findOrCreateFont(FontData{});
    (void)font;
    struct Case
    {
        const char* name;
        const char* className;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Case> cases{
        {"title over 64", "TGlobeText", {130}},
        {"font where a pen belongs",
         "TGlobePolyLine",
         {0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}},
        {"pen where a font belongs", "TGlobeText", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"font unit 16", "TGlobeFont", {0, 0, 0, 0, 16, 12, 0, 0, 0, 0, 0}},
        {"grid spacing 0", "TGlobeGrid", {0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                                          0, 0, 1, 0, 0, 0, 0, 0, 0, 0}},
        {"unknown encoding", "TGlobePolygon", {0, 1, 2, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"truncated", "TGlobeSymbol", {3, 'a', 'b'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GlobePersistent* p = GlobeClasses::create(c.className, layer);
        ByteReader in(c.bytes);
        EXPECT_THROW(p->loadFromStream(in, StreamContext{}), GlobeException);
    }
    // An index beyond the list is no attribute at all, not an error.
    const std::vector<std::uint8_t> farIndex{0, 0, 0, 0, 0, 0, 0, 0, 0, 50, 0};
    GlobeText& t = *static_cast<GlobeText*>(GlobeClasses::create("TGlobeText", layer));
    ByteReader in(farIndex);
    t.loadFromStream(in, StreamContext{});
    EXPECT_EQ(t.font, nullptr);
    render(t); // draws nothing, does not crash
    t.updateBounds();
}

TEST_F(Objects, AttributesAreSharedAndCloned)
{
    GlobeText& a = GlobeText::create(layer, 0, 0, "a");
    GlobeText& b = GlobeText::create(layer, D, D, "b");
    EXPECT_EQ(a.font, b.font);
    EXPECT_EQ(layer.attributeCount(), 1);
    host.fontData.face = std::string(70, 'F');
    GlobeText& c = GlobeText::create(layer, D, D, "c");
    EXPECT_EQ(c.font->face.size(), 64u);
    EXPECT_EQ(&layer.findOrCreateFont(host.fontData), c.font);

    ObjectLayer other(host);
    GlobeAttribute& moved = a.font->cloneTo(other);
    EXPECT_EQ(&moved, other.attribute(0));
    EXPECT_EQ(&a.font->cloneTo(other), &moved);

    GlobePolygon& poly = GlobePolygon::create(layer, listOf({{0, 0}, {1, 0}, {0, 1}}), "p");
    auto& copy = static_cast<GlobePolygon&>(poly.clone());
    EXPECT_EQ(copy.pen, poly.pen);
    EXPECT_EQ(copy.brush, poly.brush);
    EXPECT_EQ(copy.points.count(), 3);
    EXPECT_EQ(copy.attribute(1), poly.brush);
    EXPECT_EQ(copy.attribute(2), nullptr);
    copy.setAttribute(1, a.font); // wrong class: ignored
    EXPECT_EQ(copy.brush, poly.brush);
    EXPECT_EQ(host.created, 5);

    EXPECT_EQ(messageOf([&] { a.setIndex(99); }), "TGlobeObject.SetIndex: Bad position!");
    b.setIndex(0);
    EXPECT_EQ(b.index(), 0);
    EXPECT_EQ(a.index(), 1);
}

TEST_F(Objects, SelectionHidingAndRemoval)
{
    GlobeText& a = GlobeText::create(layer, 0, 0, "a");
    a.setSelected(true);
    EXPECT_EQ(host.selection, std::vector<GlobeObject*>{&a});
    EXPECT_TRUE(a.state & GlobeObject::AppearanceChanged);
    a.setHidden(true);
    EXPECT_FALSE(a.hitTest(0, 0));
    a.remove();
    EXPECT_TRUE(host.selection.empty());
    EXPECT_EQ(layer.objectCount(), 0);
    EXPECT_EQ(host.freed, 1);
}

TEST_F(Objects, MovingKeepsPositionsInRange)
{
    GlobeText& t = GlobeText::create(layer, 0, 0, "t");
    t.moveTo(llPoint(0, GU90));
    EXPECT_EQ(t.location().lat, GU90); // held at the pole, not sent to the south pole
    t.moveTo(llPoint(0, GU90 + 5 * D));
    EXPECT_EQ(t.location().lat, GU90);
    t.moveTo(llPoint(-GU180, 0));
    EXPECT_EQ(t.location().lon, GU180);

    // Moving a line from 170E to 10W crosses the date line: every point shifts by the same
    // amount, wrapped, with no 32-bit overflow on the way.
    GlobePolyLine& l = GlobePolyLine::create(layer, listOf({{170, 0}, {175, 10}, {180, 20}}), "l");
    l.moveTo(llPoint(-10 * D, 0));
    EXPECT_EQ(l.points.get(0).lon, -10 * D);
    EXPECT_EQ(l.points.get(1).lon, -5 * D);
    EXPECT_EQ(l.points.get(2).lon, 0);
    l.moveTo(llPoint(170 * D, 85 * D));
    EXPECT_EQ(l.points.get(0).lon, 170 * D);
    EXPECT_EQ(l.points.get(2).lon, GU180);
    EXPECT_EQ(l.points.get(2).lat, GU90); // 105N clamps
    EXPECT_EQ(l.location().lat, 85 * D);
}

TEST_F(Objects, PolylineBoundsAndDateLine)
{
    GlobePolyLine& across = GlobePolyLine::create(layer, listOf({{170, 0}, {-170, 0}}), "a");
    across.updateBounds();
    EXPECT_TRUE(across.crossesDateLine());
    GlobePolyLine& zero = GlobePolyLine::create(layer, listOf({{10, 0}, {-10, 0}}), "z");
    zero.updateBounds();
    EXPECT_FALSE(zero.crossesDateLine());
    EXPECT_EQ(zero.bounds(), (GURect{-10 * D - 1, -1, 10 * D + 1, 1}));
    GlobePolyLine& one = GlobePolyLine::create(layer, listOf({{10, 10}}), "o");
    one.updateBounds();
    EXPECT_EQ(one.bounds(), (GURect{0, 0, 1, 1}));
    EXPECT_TRUE(one.state & GlobeObject::TooSmall);
}

TEST_F(Objects, HitTests)
{
    // A concave U shape: the notch is outside by the even-odd rule.
    GlobePolygon& u = GlobePolygon::create(
        layer, listOf({{0, 0}, {30, 0}, {30, 30}, {20, 30}, {20, 10}, {10, 10}, {10, 30}, {0, 30}}),
        "u");
    EXPECT_TRUE(u.hitTest(5 * D, 20 * D));
    EXPECT_FALSE(u.hitTest(15 * D, 20 * D));
    EXPECT_TRUE(u.hitTest(15 * D, 5 * D));
    // Bounds: left and top edges belong to the object, right and bottom do not.
    GlobeText& t = GlobeText::create(layer, 0, 0, "t");
    t.updateBounds();
    const GURect b = t.bounds();
    EXPECT_TRUE(t.GlobeObject::hitTest(b.left, b.top));
    EXPECT_FALSE(t.GlobeObject::hitTest(b.right, b.top));
    EXPECT_FALSE(t.GlobeObject::hitTest(b.left, b.bottom));

    // A polyline hits within a pixel of the line, not 17 pixels away.
    const std::int32_t px = host.projection().unitsPerPixel();
    GlobePolyLine& l = GlobePolyLine::create(layer, listOf({{0, 0}, {20, 20}}), "l");
    const std::int32_t mid = 10 * D;
    EXPECT_TRUE(l.hitTest(mid, mid));
    EXPECT_TRUE(l.hitTest(mid + px / 2, mid));
    EXPECT_FALSE(l.hitTest(mid + 17 * px, mid));
    EXPECT_FALSE(l.hitTest(mid, mid + 17 * px));
}

TEST_F(Objects, PointTextDotAndLabel)
{
    host.fontData.size = 12;
    GlobePointText& pt = GlobePointText::create(layer, 0, 0, "P");
    render(pt);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].what, "text");
    EXPECT_EQ(canvas.calls[0].points[0], (ScreenPoint{404, 300}));
    EXPECT_EQ(canvas.calls[1].what, "ellipse");
    EXPECT_EQ(canvas.calls[1].points, (std::vector<ScreenPoint>{{404, 304}, {396, 296}}));
    EXPECT_EQ(canvas.calls[1].color, host.fontData.color);

    canvas.calls.clear();
    host.fontData.size = 5;
    GlobePointText& small = GlobePointText::create(layer, 0, 0, "S");
    render(small);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[1].what, "pixel");

    // Below the minimum text height the label goes, the dot stays.
    canvas.calls.clear();
    host.minText = 6;
    render(small);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].what, "pixel");
}

TEST_F(Objects, SymbolIsCentredOnItsPoint)
{
    host.fontData.size = 20;
    GlobeSymbol& s = GlobeSymbol::create(layer, 'X', 0, 0, "");
    render(s);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].what, "glyph");
    // The recording canvas measures every glyph as 10 x 20.
    EXPECT_EQ(canvas.calls[0].points[0], (ScreenPoint{395, 290}));
    canvas.calls.clear();
    host.fontData.size = 3;
    render(GlobeSymbol::create(layer, 'X', 0, 0, ""));
    EXPECT_EQ(canvas.calls.at(0).what, "pixel");
}

TEST_F(Objects, SelectedObjectsUseTheSelectionLook)
{
    host.fontData.color = 0x00FF00;
    GlobeText& t = GlobeText::create(layer, 0, 0, "T");
    t.setSelected(true);
    render(t);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].color, 255);

    GlobePolygon& p = GlobePolygon::create(layer, listOf({{0, 0}, {10, 0}, {5, 5}}), "p");
    p.setSelected(true);
    render(p);
    EXPECT_EQ(canvas.pen.color, 255);
    EXPECT_EQ(canvas.calls.back().what, "polygon");
    EXPECT_EQ(canvas.calls.back().color, 65535);
    // Without the own-attributes flag a render handler has set the surface: leave it.
    canvas.pen.color = 1;
    p.state &= ~GlobeObject::OwnAttributes;
    p.draw(ctx);
    EXPECT_EQ(canvas.pen.color, 1);
}

TEST_F(Objects, PolylinesDrawVisibleRunsOnly)
{
    // Along the equator from 60W round the back of the globe to 60W again: two runs, and no
    // chord across the disc joining them.
    LLPointList ring;
    for (int lon = -60; lon <= 300; lon += 10)
        ring.add(makeLLPoint(normalizeLon(std::int64_t{lon} * D), 0));
    GlobePolyLine& l = GlobePolyLine::create(layer, ring, "ring");
    l.updateBounds();
    render(l);
    int drawn = 0;
    for (const auto& c : canvas.calls) {
        ASSERT_EQ(c.what, "polyline");
        ++drawn;
        for (std::size_t i = 1; i < c.points.size(); ++i)
            EXPECT_LT(std::abs(c.points[i].x - c.points[i - 1].x), 60);
    }
    EXPECT_GE(drawn, 1);

    canvas.calls.clear();
    GlobePolyLine& across = GlobePolyLine::create(layer, listOf({{170, 0}, {-170, 0}}), "x");
    across.updateBounds();
    host.model->setView(0, GU180, 300.0L / GlobeRadius, 0);
    render(across);
    EXPECT_EQ(host.llPolylines, std::vector<int>{2});
}

TEST_F(Objects, GridDrawsMajorAndMinorLines)
{
    GlobeGrid& g =
        GlobeGrid::create(layer, 0, 5 * D, 20 * D, 10 * D, GURect{0, 0, 20 * D, 20 * D}, "g");
    EXPECT_EQ(g.minorY, 20 * D); // 0 takes the major spacing
    EXPECT_EQ(g.minorX, 5 * D);
    render(g);
    // Minor meridians at 5 and 15; major meridians at 0, 10, 20; parallels at 0 and 20.
    std::vector<std::int32_t> meridians, parallels;
    for (const auto& line : host.llLines) {
        if (line.from.lon == line.to.lon)
            meridians.push_back(line.from.lon / D);
        else
            parallels.push_back(line.from.lat / D);
    }
    EXPECT_EQ(meridians, (std::vector<std::int32_t>{5, 15, 0, 10, 20}));
    EXPECT_EQ(parallels, (std::vector<std::int32_t>{0, 20}));
    EXPECT_EQ(host.llLines[0].steps, 2);

    // A zero spacing set by a program draws nothing instead of looping forever.
    host.llLines.clear();
    g.majorX = 0;
    render(g);
    EXPECT_TRUE(host.llLines.empty());
}

TEST_F(Objects, ScaledFontHeightStaysInRange)
{
    host.fontData.unit = GlobeUnits::Degree;
    host.fontData.size = 30000; // 30,000 degrees x 5,400,000 leaves 32 bits
    GlobeText& t = GlobeText::create(layer, 0, 0, "big");
    EXPECT_GT(t.font->pixelHeight(), 0);
    layer.maxFontHeight = 40;
    EXPECT_EQ(t.font->pixelHeight(), 40);
    layer.scaleFont = false;
    host.surfacePpi = 192;
    EXPECT_EQ(t.font->pixelHeight(), 80); // the cap scales with the surface too
}
