#include "globe/ByteReader.h"
#include "globe/ByteWriter.h"
#include "globe/GlobeException.h"
#include "globe/LLPointList.h"
#include "globe/StreamContext.h"

#include <gtest/gtest.h>

#include <random>

using namespace wl;

namespace {

LLPointList listOf(std::initializer_list<std::pair<std::int32_t, std::int32_t>> points)
{
    LLPointList l;
    for (auto [lon, lat] : points)
        l.add(makeLLPoint(lon, lat));
    return l;
}

std::vector<std::uint8_t> save(const LLPointList& l, const StreamContext& ctx)
{
    ByteWriter w;
    l.saveToStream(w, ctx);
    return w.take();
}

LLPointList load(const std::vector<std::uint8_t>& bytes, const StreamContext& ctx,
                 std::size_t* consumed = nullptr)
{
    ByteReader r(bytes);
    LLPointList l;
    l.loadFromStream(r, ctx);
    if (consumed)
        *consumed = r.position();
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

} // namespace

TEST(LLPointList, GrowthIndexErrorsAndCountRules)
{
    LLPointList l;
    std::vector<std::int32_t> capacities;
    for (int i = 0; i < 120; ++i) {
        l.add(makeLLPoint(i, 0));
        if (capacities.empty() || capacities.back() != l.capacity())
            capacities.push_back(l.capacity());
    }
    // +4 up to 8, +16 up to 64, then a quarter.
    EXPECT_EQ(capacities, (std::vector<std::int32_t>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147}));
    EXPECT_EQ(l.get(119).lon, 119);
    EXPECT_EQ(messageOf([&] { l.get(120); }), "TLLPointList.Get: Bad Index 120");
    EXPECT_EQ(messageOf([&] { l.remove(-1); }), "TLLPointList.Delete: Bad Index -1");
    EXPECT_EQ(messageOf([&] { l.setCapacity(5); }), "TLLPointList.SetCapacity: Bad Size 5");
    EXPECT_EQ(messageOf([&] { l.setCount(134217728); }),
              "TLLPointList.SetCount: Bad Count 134217728");
    EXPECT_EQ(l.count(), 120);

    l.remove(0);
    EXPECT_EQ(l.get(0).lon, 1);
    l.setCount(2);
    l.setCount(4);
    EXPECT_EQ(l.get(3), LLPoint{}); // enlarged points are zero
    l.clear();
    EXPECT_EQ(l.count(), 0);
    EXPECT_EQ(l.capacity(), 0);
}

TEST(LLPointList, AssignDropsConsecutiveDuplicatesOnly)
{
    LLPointList src = listOf({{1, 1}, {1, 1}, {2, 2}, {1, 1}, {3, 3}, {3, 3}, {3, 3}});
    LLPointList dst;
    dst.assign(src);
    ASSERT_EQ(dst.count(), 4);
    EXPECT_EQ(dst.get(0).lon, 1);
    EXPECT_EQ(dst.get(1).lon, 2);
    EXPECT_EQ(dst.get(2).lon, 1);
    EXPECT_EQ(dst.get(3).lon, 3);
    LLPointList empty;
    dst.assign(empty);
    EXPECT_EQ(dst.count(), 0);
}

TEST(LLPointList, StreamBytesOfSmallLists)
{
    StreamContext gu; // 544, GU
    EXPECT_EQ(save(listOf({{0x01020304, -2}}), gu),
              (std::vector<std::uint8_t>{1, 1, 0, 1, 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}));
    // Identical points save as one.
    auto same = save(listOf({{5, 6}, {5, 6}, {5, 6}}), gu);
    EXPECT_EQ(same[1], 1);
    EXPECT_EQ(same[2], 0);
    // Small steps take the byte encoding; a big one inside it escapes to an absolute point.
    auto bytes = save(listOf({{0, 0}, {3, -4}, {3, 1000}, {5, 1001}}), gu);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 4,    0, 1, 0, 0, 0,    0, 0, 0, 0, 0, //
                                                3, 0xFC,                                  //
                                                0, 0,    3, 0, 0, 0, 0xE8, 3, 0, 0,       //
                                                2, 1}));
    const LLPointList back = load(bytes, gu);
    ASSERT_EQ(back.count(), 4);
    EXPECT_EQ(back.get(2), makeLLPoint(3, 1000));
    EXPECT_EQ(back.get(3), makeLLPoint(5, 1001));
}

TEST(LLPointList, StreamRoundTripsInEveryEncodingAndUnit)
{
    std::mt19937 rng(5);
    const std::int32_t steps[] = {100, 30000, 5000000, 300000000};
    for (std::int32_t unit : {1, 90000}) {
        for (std::int32_t step : steps) {
            std::uniform_int_distribution<std::int32_t> d(-step, step);
            LLPointList l;
            std::int64_t lon = 0, lat = 0;
            for (int i = 0; i < 500; ++i) {
                lon = std::clamp<std::int64_t>(lon + d(rng), -971999999, 972000000);
                lat = std::clamp<std::int64_t>(lat + d(rng), -486000000, 486000000);
                l.add(makeLLPoint(static_cast<std::int32_t>(lon), static_cast<std::int32_t>(lat)));
            }
            StreamContext ctx;
            ctx.storedUnit = unit;
            const auto bytes = save(l, ctx);
            std::size_t consumed = 0;
            const LLPointList back = load(bytes, ctx, &consumed);
            SCOPED_TRACE(std::to_string(unit) + " step " + std::to_string(step) + " encoding " +
                         std::to_string(bytes[3]));
            EXPECT_EQ(consumed, bytes.size());
            // Each read-back point is the saved one quantised to the stored unit; the
            // quantised duplicates are the only ones dropped.
            std::vector<LLPoint> expected;
            for (std::int32_t i = 0; i < l.count(); ++i) {
                const LLPoint q =
                    makeLLPoint(l.get(i).lon / unit * unit, l.get(i).lat / unit * unit);
                if (i == 0 || q.lon != expected.back().lon || q.lat != expected.back().lat)
                    expected.push_back(q);
            }
            ASSERT_EQ(back.count(), static_cast<std::int32_t>(expected.size()));
            for (std::int32_t i = 0; i < back.count(); ++i) {
                ASSERT_EQ(back.get(i), expected[i]) << i;
                if (unit > 1) {
                    ASSERT_EQ(back.get(i).lon % unit, 0);
                    ASSERT_EQ(back.get(i).lat % unit, 0);
                }
            }
        }
    }
}

TEST(LLPointList, CloselySpacedPointsSurviveTheArcMinuteStream)
{
    // 1,000 points 0.99999 arc minutes apart: differencing raw points would truncate every
    // step to 0 and keep only the first point.
    LLPointList l;
    for (int i = 0; i < 1000; ++i)
        l.add(makeLLPoint(i * 89999, 0));
    StreamContext ctx;
    ctx.storedUnit = 90000;
    const LLPointList back = load(save(l, ctx), ctx);
    ASSERT_GT(back.count(), 990);
    EXPECT_EQ(back.get(back.count() - 1).lon, 999 * 89999 / 90000 * 90000);
}

TEST(LLPointList, TooManyPointsRaiseInsteadOfWrappingTheCount)
{
    LLPointList l;
    for (int i = 0; i < 65536; ++i)
        l.add(makeLLPoint(i, i % 7));
    ByteWriter w;
    EXPECT_EQ(messageOf([&] { l.saveToStream(w, StreamContext{}); }),
              "TLLPointList.SaveToStream: Too many points 65536");
    l.add(l.get(l.count() - 1)); // a duplicate does not count
    l.remove(0);
    EXPECT_NO_THROW(l.saveToStream(w, StreamContext{}));
}

TEST(LLPointList, OldVersionsTakeTheFirstPointFromTheOwner)
{
    StreamContext v528;
    v528.fileVersion = StreamContext::Version528;
    v528.storedUnit = 90000;
    // count 2, byte deltas, then one delta of (+1, -1) arc minutes.
    const std::vector<std::uint8_t> bytes{2, 0, 1, 1, 0xFF};
    ByteReader r(bytes);
    LLPointList l;
    l.loadFromStream(r, v528, makeLLPoint(900000, 900000));
    ASSERT_EQ(l.count(), 2);
    EXPECT_EQ(l.get(0).lon, 900000);
    EXPECT_EQ(l.get(1), makeLLPoint(990000, 810000));
}

TEST(LLPointList, MalformedStreamsRaiseAndLeaveTheListUnchanged)
{
    StreamContext ctx;
    const LLPointList original = listOf({{1, 2}, {3, 4}});
    const auto good = save(listOf({{10, 20}, {11, 21}, {500, -500}, {9000000, 9000000}}), ctx);
    for (std::size_t len = 0; len < good.size(); ++len) {
        std::vector<std::uint8_t> prefix(good.begin(), good.begin() + len);
        LLPointList l = original;
        ByteReader r(prefix);
        EXPECT_THROW(l.loadFromStream(r, ctx), GlobeException) << len;
        EXPECT_EQ(l.count(), 2);
    }
    std::vector<std::uint8_t> badEncoding = good;
    badEncoding[3] = 3;
    EXPECT_EQ(messageOf([&] { load(badEncoding, ctx); }),
              "TLLPointList.LoadFromStream: Unknown encoding 3");
    // A huge count over a few bytes fails before allocating for it.
    const std::vector<std::uint8_t> huge{1, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1};
    EXPECT_THROW(load(huge, ctx), GlobeException);
}
