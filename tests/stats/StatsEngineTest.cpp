#include "stats/StatsEngine.h"
#include "app/RecordDate.h"
#include "stats/BandTable.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace wl::stats {
namespace {

namespace FR = store::FrequencyRecord;

struct Row
{
    const char* category;
    const char* callsign;
    double rdate;
    double mhz;
    QVariant lat;
    QVariant lon;
};

double at(int y, int m, int d, int h, int min)
{
    return RecordDate::fromDateTime(QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC));
}

constexpr double HomeLat = 51.5;
constexpr double HomeLon = 0.1; // West positive

// A small log whose figures were counted by hand: frequencies on band edges, records with a
// coordinate of 0 or none, one without a date, a record at home and two on another continent.
class StatsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        table.setDatabaseName(dir.path());
        table.setTableName(FR::TableFile);
        FR::define(table);
        ASSERT_TRUE(table.createTable());
        ASSERT_TRUE(table.open());
    }

    void load(const std::vector<Row>& rows)
    {
        std::vector<std::vector<QVariant>> values;
        for (const Row& r : rows)
            values.push_back({QString::fromUtf8(r.category), QString::fromUtf8(r.callsign),
                              QVariant(), r.rdate, r.mhz, QVariant(), QVariant(), QVariant(),
                              QVariant(), QVariant(), r.lat, r.lon});
        ASSERT_TRUE(table.bulkAppend(values));
    }

    LogStats compute(StatsQuery query)
    {
        query.homeKnown = true;
        query.homeLat = HomeLat;
        query.homeLon = HomeLon;
        LogStats out;
        const store::Status st = StatsEngine::compute(table, query, out);
        EXPECT_TRUE(st) << st.error.toStdString();
        return out;
    }

    QTemporaryDir dir;
    store::Table table;
};

const std::vector<Row> Fixture = {
    {"Broadcast", "DW", at(2023, 5, 1, 14, 30), 6.070, 52.52, -13.40},      // 1 Berlin
    {"Broadcast", "RRI", at(2023, 5, 20, 2, 10), 9.420, 0.0, 12.0},         // 2 latitude 0
    {"Amateur", "VK2ÖÆ", at(2024, 1, 3, 23, 59), 7.200, -33.87, -151.21},   // 3 Sydney
    {"Amateur", "Ж1", at(2024, 1, 4, 0, 0), 7.450, QVariant(), QVariant()}, // 4 no position
    {"Airband", "TWR", 0.0, 125.0, QVariant(), QVariant()},                 // 5 no date
    {"Airband", "APP", at(2024, 2, 29, 12, 0), 300.0, HomeLat, HomeLon},    // 6 at home
    {"Utility", "X", at(2022, 12, 31, 23, 0), 0.010, 0.0, 0.0},             // 7 at 0, 0
    {"Broadcast", "LW", at(2024, 3, 1, 8, 0), 0.1485, 40.0, 0.0},           // 8 longitude 0
};

std::vector<std::pair<QString, qint64>> pairs(const std::vector<Count>& counts)
{
    std::vector<std::pair<QString, qint64>> out;
    for (const Count& c : counts)
        out.emplace_back(c.name, c.count);
    return out;
}

using Pairs = std::vector<std::pair<QString, qint64>>;

TEST_F(StatsFixture, WholeLogMatchesHandCount)
{
    load(Fixture);
    const LogStats s = compute({});
    EXPECT_EQ(s.total, 8);
    EXPECT_EQ(s.withoutPosition, 5);
    EXPECT_EQ(s.withoutDate, 1);
    EXPECT_EQ(pairs(s.perCategory),
              (Pairs{{"Broadcast", 3}, {"Airband", 2}, {"Amateur", 2}, {"Utility", 1}}));
    EXPECT_EQ(pairs(s.perBand), (Pairs{{"LW", 1},
                                       {"49 m broadcast", 1},
                                       {"40 m amateur", 1},
                                       {"41 m broadcast", 1},
                                       {"31 m broadcast", 1},
                                       {"VHF", 2},
                                       {"Other", 1}}));
    EXPECT_EQ(pairs(s.perYear), (Pairs{{"2022", 1}, {"2023", 2}, {"2024", 4}}));
    EXPECT_EQ(
        pairs(s.perMonth),
        (Pairs{{"2022-12", 1}, {"2023-05", 2}, {"2024-01", 2}, {"2024-02", 1}, {"2024-03", 1}}));
    std::array<qint64, 24> hours{};
    hours[14] = 1, hours[2] = 1, hours[23] = 2, hours[0] = 1, hours[12] = 1, hours[8] = 1;
    EXPECT_EQ(s.perHour, hours);
    ASSERT_TRUE(s.first && s.last);
    EXPECT_EQ(s.first->callsign, QStringLiteral("X"));
    EXPECT_EQ(s.last->callsign, QStringLiteral("LW"));
}

TEST_F(StatsFixture, DistancesFromHomeAndFarthestFirst)
{
    load(Fixture);
    const LogStats s = compute({});
    ASSERT_EQ(s.farthest.size(), 3u);
    EXPECT_EQ(s.farthest[0].callsign, QStringLiteral("VK2ÖÆ"));
    EXPECT_NEAR(s.farthest[0].km, 16990, 60);
    EXPECT_EQ(s.farthest[1].callsign, QStringLiteral("DW"));
    EXPECT_NEAR(s.farthest[1].km, 932, 10);
    EXPECT_NEAR(s.farthest[2].km, 0, 1);
    qint64 binned = 0;
    for (const DistanceBin& b : s.distances) {
        binned += b.count;
        if (b.fromKm == 0 || b.fromKm == 500 || b.fromKm == 15000)
            EXPECT_EQ(b.count, 1) << b.fromKm;
        else
            EXPECT_EQ(b.count, 0) << b.fromKm;
    }
    // Every record with a position is in a bin; those without are counted apart.
    EXPECT_EQ(binned + s.withoutPosition, s.total);
}

TEST_F(StatsFixture, CategoryAndRangeSelectRecords)
{
    load(Fixture);
    struct Case
    {
        std::optional<QString> category;
        std::optional<double> low, high;
        qint64 total, withoutPosition, withoutDate;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("Airband"), {}, {}, 2, 1, 1},
        {QStringLiteral("airband"), {}, {}, 0, 0, 0}, // tabs name categories exactly
        {{}, 7.2, 7.45, 2, 1, 0},                     // both ends inclusive
        {{}, 7.2001, 7.4499, 0, 0, 0},
        {QStringLiteral("Broadcast"), 0, 7, 2, 1, 0},
    };
    for (const Case& c : cases) {
        StatsQuery q;
        q.category = c.category;
        q.lowMHz = c.low;
        q.highMHz = c.high;
        const LogStats s = compute(q);
        EXPECT_EQ(s.total, c.total) << c.category.value_or("*").toStdString() << c.low.value_or(-1);
        EXPECT_EQ(s.withoutPosition, c.withoutPosition);
        EXPECT_EQ(s.withoutDate, c.withoutDate);
    }
}

TEST_F(StatsFixture, EmptyLogGivesEmptyFigures)
{
    const LogStats s = compute({});
    EXPECT_TRUE(s.empty());
    EXPECT_TRUE(s.perBand.empty() && s.perCategory.empty() && s.farthest.empty());
    EXPECT_FALSE(s.first.has_value());
}

TEST_F(StatsFixture, ClosedTableFailsInsteadOfCountingNothing)
{
    table.close();
    LogStats s;
    EXPECT_FALSE(StatsEngine::compute(table, {}, s));
}

TEST(BandTable, EdgesBelongToTheirBands)
{
    const std::vector<std::pair<double, const char*>> cases = {
        {0.1484, "Other"},
        {0.1485, "LW"},
        {0.2835, "LW"},
        {0.2836, "Other"},
        {0.5265, "MW"},
        {1.705, "MW"},
        {1.7051, "Other shortwave"},
        {5.9, "49 m broadcast"},
        {6.2, "49 m broadcast"},
        {7.2, "40 m amateur"},
        {7.19999999999, "40 m amateur"},
        {7.2001, "41 m broadcast"},
        {7.45, "41 m broadcast"},
        {7.4501, "Other shortwave"},
        {21.45, "15 m amateur"},
        {21.4501, "13 m broadcast"},
        {30.0, "Other shortwave"},
        {30.0001, "VHF"},
        {300.0, "VHF"},
        {300.001, "UHF"},
        {3000.0, "UHF"},
        {3000.001, "Other"},
        {-1, "Other"},
        {std::nan(""), "Other"},
    };
    for (const auto& [mhz, name] : cases) {
        const int band = BandTable::bandOf(mhz);
        const QString got =
            band < 0 ? BandTable::otherName() : BandTable::bands()[size_t(band)].name;
        EXPECT_EQ(got, QString::fromUtf8(name)) << mhz;
    }
}

} // namespace
} // namespace wl::stats
