// Reading schedule and site files: the fields of a line, days, dates, single-byte names,
// repeated lines, and the lines and files that are refused.
#include "schedule/ScheduleParser.h"
#include "schedule/QStringPrint.h"
#include "schedule/ScheduleDays.h"
#include "schedule/ScheduleFixture.h"
#include "schedule/Season.h"
#include "schedule/SiteParser.h"

#include <gtest/gtest.h>

using namespace wl::schedule;

namespace {

const QByteArray Header = "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;"
                          "Remarks:135;P:35;Start:60;Stop:60;\n";

} // namespace

TEST(ScheduleParser, ReadsEveryFieldOfTheFixture)
{
    const ParsedSchedule parsed = ScheduleParser::parse(test::SeasonBytes);
    ASSERT_FALSE(parsed.refused());
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_EQ(parsed.duplicates, 1);
    ASSERT_EQ(parsed.entries.size(), 9u);
    const ScheduleEntry& para = parsed.entries[3];
    EXPECT_EQ(para.station, QStringLiteral("R\u00e1dio Clube do Par\u00e1"));
    EXPECT_EQ(para.line, 5);
    EXPECT_EQ(para.startMinute, 0);
    EXPECT_EQ(para.stopMinute, 1440);
    EXPECT_EQ(para.siteCode, QStringLiteral("BEL"));
    const ScheduleEntry& owl = parsed.entries[2];
    EXPECT_EQ(owl.timeText(), QStringLiteral("2300-0100"));
    EXPECT_EQ(owl.lengthMinutes(), 120);
    EXPECT_EQ(parsed.entries[5].khz, 5005.5);
    EXPECT_TRUE(parsed.entries[5].siteCode.isEmpty());
    EXPECT_TRUE(parsed.entries[6].irregular);
    EXPECT_EQ(parsed.entries[8].stopDate, QStringLiteral("241231"));
}

TEST(ScheduleParser, UtfEightFileIsReadAsSuch)
{
    const ParsedSchedule parsed = ScheduleParser::parse(
        Header + QStringLiteral("6065;0000-2400;;B;R\u00e1dio Par\u00e1;P;SAm;;1;;;\n").toUtf8());
    ASSERT_EQ(parsed.entries.size(), 1u);
    EXPECT_EQ(parsed.entries[0].station, QStringLiteral("R\u00e1dio Par\u00e1"));
}

TEST(ScheduleParser, MalformedLinesAreReportedByNumber)
{
    const ParsedSchedule parsed =
        ScheduleParser::parse(Header + "6070;2100-2200;Mo-Fr;CAN;Good;E;NAm;;1;;;\n"
                                       "6070;2100-2200;Mo-Fr\n"
                                       "\n"
                                       "6070;2500-0100;;CAN;Bad hour;E;NAm;;1;;;\n"
                                       "six;2100-2200;;CAN;Bad kHz;E;NAm;;1;;;\n"
                                       "6070;2100-2200;Mo-Xx;CAN;Bad days;E;NAm;;1;;;\n"
                                       "6070;2100-2200;1289;CAN;Bad number;E;NAm;;1;;;\n"
                                       "6070;2100-2200;;CAN;Bad date;E;NAm;;1;1340;;\n"
                                       "6070;2100-2400;;CAN;Good too;E;NAm;;1;0301;;\n");
    ASSERT_FALSE(parsed.refused());
    std::vector<int> lines;
    for (const LineProblem& p : parsed.problems)
        lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<int>{3, 5, 6, 7, 8, 9}));
    EXPECT_EQ(parsed.problems[0].reason, QStringLiteral("3 fields instead of 11"));
    ASSERT_EQ(parsed.entries.size(), 2u);
    EXPECT_EQ(parsed.entries[1].line, 10);
}

TEST(ScheduleParser, EmptyFileAndOtherFilesAreRefused)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n\r\n"),
                                    QByteArray("Category,Hz,Callsign\nBroadcast,6.07,CFRX\n"),
                                    QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)}) {
        const ParsedSchedule parsed = ScheduleParser::parse(bytes);
        EXPECT_TRUE(parsed.refused()) << bytes.toStdString();
        EXPECT_TRUE(parsed.entries.empty());
    }
    EXPECT_EQ(ScheduleParser::parse(QByteArray()).failure, QStringLiteral("the file is empty"));
    // A heading alone is a schedule without transmissions, not a refusal.
    EXPECT_FALSE(ScheduleParser::parse(Header).refused());
}

TEST(ScheduleDays, PatternsGiveTheirDays)
{
    struct Case
    {
        const char* text;
        std::optional<std::uint8_t> mask;
        bool irregular;
    };
    const Case cases[] = {
        {"", 0x7f, false},
        {"Mo-Fr", 0x1f, false},
        {"Sa,Su", 0x60, false},
        {"Sa-Mo", 0x61, false},
        {"We", 0x04, false},
        {"1245", 0x1b, false},
        {"7", 0x40, false},
        {"Mo,We-Th", 0x0d, false},
        {"irr", 0x7f, true},
        {"Mo-Xx", std::nullopt, false},
        {"8", std::nullopt, false},
        {"12a", std::nullopt, false},
        {"Mo,", std::nullopt, false},
    };
    for (const Case& c : cases) {
        const auto days = ScheduleDays::parse(QString::fromLatin1(c.text));
        ASSERT_EQ(days.has_value(), c.mask.has_value()) << c.text;
        if (days) {
            EXPECT_EQ(days->mask, *c.mask) << c.text;
            EXPECT_EQ(days->irregular, c.irregular) << c.text;
        }
    }
}

TEST(Season, CodesFileNamesAndDates)
{
    const auto a24 = Season::fromCode(QStringLiteral("A24"));
    ASSERT_TRUE(a24);
    EXPECT_EQ(a24->first, QDate(2024, 3, 31));
    EXPECT_EQ(a24->end, QDate(2024, 10, 27));
    EXPECT_EQ(Season::fromCode(QStringLiteral("b2024"))->end, QDate(2025, 3, 30));
    EXPECT_FALSE(Season::fromCode(QStringLiteral("C24")));
    EXPECT_EQ(Season::fromFileName(QStringLiteral("/tmp/sked-b24.csv"))->code,
              QStringLiteral("B24"));
    EXPECT_EQ(Season::fromFileName(QStringLiteral("A25.TXT"))->code, QStringLiteral("A25"));
    EXPECT_FALSE(Season::fromFileName(QStringLiteral("schedule.csv")));
    EXPECT_EQ(Season::of(QDate(2025, 1, 15)).code, QStringLiteral("B24"));
    EXPECT_EQ(Season::of(QDate(2024, 10, 26)).code, QStringLiteral("A24"));
    EXPECT_EQ(Season::of(QDate(2024, 10, 27)).code, QStringLiteral("B24"));
}

TEST(SiteParser, ReadsBothSeparatorsHemispheresAndTheEquator)
{
    const ParsedSites parsed = SiteParser::parse(test::SitesBytes + "EQ;On the equator;0;0\n"
                                                                    "BAD;Nowhere;95;10\n"
                                                                    "SHORT;12.5\n"
                                                                    "tor;Toronto again;1;1\n");
    ASSERT_FALSE(parsed.refused());
    ASSERT_EQ(parsed.sites.size(), 5u);
    const Site& belem = parsed.sites[2];
    EXPECT_EQ(belem.name, QStringLiteral("Bel\u00e9m, Par\u00e1"));
    EXPECT_DOUBLE_EQ(belem.lat, -1.46);
    EXPECT_DOUBLE_EQ(belem.lon, -48.5);
    EXPECT_EQ(parsed.sites[4], (Site{"EQ", "On the equator", 0, 0}));
    std::vector<int> lines;
    for (const LineProblem& p : parsed.problems)
        lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<int>{7, 8, 9}));
    EXPECT_TRUE(SiteParser::parse("\n\n").refused());
}
