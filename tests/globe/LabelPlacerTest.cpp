// Label placement: no two labels overlap, the higher priority wins the room, records at one
// spot share a label, and every record on screen is either named or counted.
#include "RecordingCanvas.h"
#include "TestGlobeHost.h"

#include "globe/GlobePointText.h"
#include "globe/GlobeSymbol.h"
#include "globe/LabelPlacer.h"
#include "globe/ObjectLayer.h"
#include "globe/RenderContext.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

using namespace wl;

namespace {

constexpr std::int32_t D = GUPerDegree;

class LabelPlacerTest : public ::testing::Test
{
protected:
    LabelPlacerTest()
    {
        host.fontData = FontData{"Arial", 0, 0, 12, GlobeUnits::Pixel, 0xFFFFFF};
        records.labelRank = 2;
        records.groupLabels = true;
        cities.scaleFont = records.scaleFont = capitals.scaleFont = false;
    }

    // Draws the objects as a render does, then places their labels.
    const std::vector<LabelPlacer::Placed>& render(const std::vector<GlobeObject*>& objects)
    {
        ctx.labels = &placer;
        for (GlobeObject* o : objects) {
            o->updateBounds();
            o->state |= GlobeObject::OwnAttributes;
            o->draw(ctx);
        }
        placer.place(ctx);
        return placer.placed();
    }

    static bool overlap(const LabelPlacer::Placed& a, const LabelPlacer::Placed& b)
    {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
    static std::string joined(const LabelPlacer::Placed& p)
    {
        std::string s;
        for (const std::string& l : p.lines)
            s += l + "|";
        return s;
    }

    TestGlobeHost host;
    ObjectLayer cities{host}, capitals{host}, records{host};
    RecordingCanvas canvas;
    RenderContext ctx{canvas};
    LabelPlacer placer;
};

} // namespace

// Five labels at one spot have room for four (right or left of the point, below or above
// it): the one of least priority is left out, whatever the order they are drawn in.
TEST_F(LabelPlacerTest, HigherPriorityWinsTheRoom)
{
    struct Case
    {
        ObjectLayer* winnerLayer;
        std::int32_t winnerWeight;
        std::int32_t loserWeight; // of the four cities beside it; the first is the least
    };
    for (const Case& c :
         {Case{&cities, 900000, 20000}, Case{&capitals, 0, 5000000}, Case{&records, 0, 20000000}}) {
        std::vector<GlobeObject*> objects;
        for (int i = 0; i < 4; ++i) {
            auto& city = GlobePointText::create(cities, 0, 0, "City" + std::to_string(i));
            city.objectID = c.loserWeight + i;
            objects.push_back(&city);
        }
        GlobeText& winner =
            c.winnerLayer == &capitals
                ? static_cast<GlobeText&>(GlobeSymbol::create(capitals, 0x2022, 0, 0, "Winner"))
                : GlobePointText::create(*c.winnerLayer, 0, 0, "Winner");
        winner.objectID = c.winnerWeight;
        objects.push_back(&winner);
        std::string drawn;
        for (const auto& p : render(objects))
            drawn += joined(p);
        EXPECT_NE(drawn.find("Winner"), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("City0"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find("City3"), std::string::npos) << drawn;
        for (ObjectLayer* l : {&cities, &capitals, &records})
            l->unloadObjects();
    }
}

TEST_F(LabelPlacerTest, RecordsAtOneSpotShareALabelThatCountsTheRest)
{
    std::vector<GlobeObject*> objects;
    for (int i = 1; i <= 5; ++i)
        objects.push_back(&GlobePointText::create(records, D, D, "Station " + std::to_string(i)));
    objects.push_back(&GlobePointText::create(records, D + D / 100, D, "Nearly there"));
    objects.push_back(&GlobePointText::create(cities, D, D, "City"));
    const auto& placed = render(objects);
    ASSERT_EQ(placed.size(), 2u); // the records' label, and the city's beside it
    EXPECT_EQ(placed[0].lines,
              (std::vector<std::string>{"Station 1", "Station 2", "Station 3", "+3 more"}));
    EXPECT_EQ(placed[1].lines, std::vector<std::string>{"City"});
    // Every record dot is still drawn.
    int dots = 0;
    for (const auto& c : canvas.calls)
        dots += c.what == "ellipse";
    EXPECT_EQ(dots, 7);
}

// A crowded field: no two labels overlap, and every record is named or counted in a "+n
// more", even with a very long call that is cut rather than drawn across its neighbours.
TEST_F(LabelPlacerTest, CrowdedFieldNeverOverlapsAndCountsEveryRecord)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<std::int32_t> pos(-20 * D, 20 * D);
    std::vector<GlobeObject*> objects;
    for (int i = 0; i < 400; ++i)
        objects.push_back(
            &GlobePointText::create(records, pos(rng), pos(rng), "R" + std::to_string(i)));
    objects.push_back(&GlobePointText::create(records, 30 * D, 0, std::string(60, 'W')));
    for (int i = 0; i < 400; ++i)
        objects.push_back(
            &GlobePointText::create(cities, pos(rng), pos(rng), "City " + std::to_string(i)));
    const auto& placed = render(objects);
    int named = 0, counted = 0;
    const std::regex more(R"(\+(\d+) more)");
    for (std::size_t i = 0; i < placed.size(); ++i) {
        for (std::size_t k = i + 1; k < placed.size(); ++k)
            EXPECT_FALSE(overlap(placed[i], placed[k])) << joined(placed[i]) << joined(placed[k]);
        for (const std::string& line : placed[i].lines) {
            std::smatch m;
            if (std::regex_match(line, m, more))
                counted += std::stoi(m[1]);
            else if (line[0] == 'R' || line[0] == 'W')
                ++named;
        }
        EXPECT_LE(placed[i].right - placed[i].left,
                  LabelPlacer::MaxLineHeights * 20 + 2); // the long call is cut
    }
    EXPECT_EQ(named + counted, 401);
    EXPECT_GT(named, 10);
}

// A record whose every spot is taken by labels that cannot count it (the home town's, of a
// higher rank) or lies in a kept-out part of the surface is counted as left out, and no label
// is placed in a kept-out part.
TEST_F(LabelPlacerTest, RecordsWithNoRecordLabelInTheirWayAreCountedAsLeftOut)
{
    ObjectLayer home{host};
    home.labelRank = 3;
    home.scaleFont = false;
    {
        std::vector<GlobeObject*> objects;
        for (int i = 0; i < 4; ++i)
            objects.push_back(&GlobePointText::create(home, D, D, "Home " + std::to_string(i)));
        objects.push_back(&GlobePointText::create(records, D, D, "Station"));
        const auto& placed = render(objects);
        EXPECT_EQ(placed.size(), 4u);
        EXPECT_EQ(placer.leftOut(), 1);
    }
    home.unloadObjects();
    records.unloadObjects();
    {
        // The whole screen round the points is kept out.
        std::vector<GlobeObject*> objects{&GlobePointText::create(records, D, D, "Station"),
                                          &GlobePointText::create(cities, D, D, "City")};
        placer.keepOut(-100000, -100000, 100000, 100000);
        EXPECT_TRUE(render(objects).empty());
        EXPECT_EQ(placer.leftOut(), 1);
        // Kept-out parts last for one placement only.
        records.unloadObjects();
        cities.unloadObjects();
        EXPECT_EQ(render({&GlobePointText::create(records, D, D, "Station")}).size(), 1u);
        EXPECT_EQ(placer.leftOut(), 0);
    }
}

// A label never runs off the surface: at the right edge it goes left of its point, and a city
// whose label fits nowhere inside is left out rather than cut.
TEST_F(LabelPlacerTest, LabelsStayWholeInsideTheFrame)
{
    auto place = [&](int width, int height) {
        cities.unloadObjects();
        placer.setFrame(width, height);
        return render({&GlobePointText::create(cities, D, D, "Edgeville")});
    };
    const std::vector<LabelPlacer::Placed> free = place(0, 0);
    ASSERT_EQ(free.size(), 1u);
    const LabelPlacer::Placed right = free[0]; // right of and below the point
    ASSERT_GT(right.left - (right.right - right.left), 0) << "room on the left is needed";

    const auto atEdge = place(right.right - 1, right.bottom + 100);
    ASSERT_EQ(atEdge.size(), 1u);
    EXPECT_LE(atEdge[0].right, right.left);
    EXPECT_GE(atEdge[0].left, 0);

    EXPECT_TRUE(place(right.right - 1, right.top - 1).empty()); // neither below nor above fits
}
