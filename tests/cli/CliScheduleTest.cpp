// wavelark-cli schedule import / sites and onair through the real executable.
#include "CliTestSupport.h"
#include "schedule/ScheduleFixture.h"

using namespace wl::cli::test;

namespace {

class CliSchedule : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        // Home in London; the settings keep the longitude west-positive.
        writeSetting(QStringLiteral("Home Lat"), QStringLiteral("51.5074"));
        writeSetting(QStringLiteral("Home Lon"), QStringLiteral("0.1278"));
    }

    void importFixture()
    {
        const CliRun season =
            cli({QStringLiteral("schedule"), QStringLiteral("import"),
                 writeFile(QStringLiteral("B24.txt"), wl::schedule::test::SeasonBytes)});
        ASSERT_EQ(season.code, 0) << testing::PrintToString(season);
        EXPECT_EQ(season.out, QStringLiteral("9 transmissions stored as season B24, 1 repeated "
                                             "lines left out\n"));
        const CliRun sites =
            cli({QStringLiteral("schedule"), QStringLiteral("sites"),
                 writeFile(QStringLiteral("sites.txt"), wl::schedule::test::SitesBytes)});
        ASSERT_EQ(sites.code, 0) << testing::PrintToString(sites);
        EXPECT_EQ(sites.out, QStringLiteral("4 sites stored\n"));
    }
};

} // namespace

TEST_F(CliSchedule, OnAirListsWhatIsOnTheAirBestFirst)
{
    importFixture();
    const CliRun csv =
        cli({QStringLiteral("onair"), QStringLiteral("6.070"), QStringLiteral("--at"),
             QStringLiteral("2024-12-11T21:30Z"), QStringLiteral("--csv")});
    ASSERT_EQ(csv.code, 0) << testing::PrintToString(csv);
    const QStringList lines = csv.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << testing::PrintToString(csv);
    EXPECT_EQ(lines[0],
              QStringLiteral("kHz,UTC,Days,Station,Country,Language,Target,Site,km,Bearing"));
    EXPECT_TRUE(
        lines[1].startsWith(QStringLiteral("6070,2100-2200,Mo-Fr,CFRX Toronto,CAN,E,NAm,Toronto,")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral(
        "6065,0000-2400,daily,R\u00e1dio Clube do Par\u00e1,B,P,SAm,\"Bel\u00e9m, Par\u00e1\",")))
        << lines[2].toStdString();
    EXPECT_EQ(lines[3], QStringLiteral("6070,2130-2145,irr,Irregular Voice,XXX,E,Af,ZZZ,,"));

    // Sunday at the same hour, with no tolerance, as aligned text.
    const CliRun text = cli({QStringLiteral("onair"), QStringLiteral("6070"),
                             QStringLiteral("--at"), QStringLiteral("2024-12-15T21:30Z"),
                             QStringLiteral("--tolerance"), QStringLiteral("0")});
    ASSERT_EQ(text.code, 0) << testing::PrintToString(text);
    const QStringList rows = text.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3) << testing::PrintToString(text);
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("6070  2100-2300  Sa,Su  Weekend Radio")));
    EXPECT_TRUE(
        text.err.contains(QStringLiteral("season B24, 2024-12-15 21:30 UTC, 6070 kHz +/- 0")));
}

TEST_F(CliSchedule, MalformedLinesRefuseTheImportWithTheirNumbers)
{
    const QString file = writeFile(QStringLiteral("a25.txt"),
                                   "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;"
                                   "Target:62;Remarks:135;P:35;Start:60;Stop:60;\n"
                                   "6070;2100-2200;;CAN;Good;E;NAm;;1;;;\n"
                                   "6070;2100-2200;Mo\n");
    const CliRun refused = cli({QStringLiteral("schedule"), QStringLiteral("import"), file});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("line 3: 3 fields instead of 11")))
        << testing::PrintToString(refused);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("nothing was imported")))
        << testing::PrintToString(refused);
    const CliRun nothing = cli({QStringLiteral("onair"), QStringLiteral("6070")});
    EXPECT_EQ(nothing.code, 3) << testing::PrintToString(nothing);

    const CliRun skipped = cli(
        {QStringLiteral("schedule"), QStringLiteral("import"), QStringLiteral("--skip-bad"), file});
    EXPECT_EQ(skipped.code, 0) << testing::PrintToString(skipped);
    EXPECT_EQ(skipped.out,
              QStringLiteral("1 transmissions stored as season A25, 1 malformed lines skipped\n"));
}

TEST_F(CliSchedule, WrongUsageIsRefused)
{
    importFixture();
    for (const QStringList& args :
         {QStringList{QStringLiteral("onair")},
          QStringList{QStringLiteral("onair"), QStringLiteral("six")},
          QStringList{QStringLiteral("onair"), QStringLiteral("6070"), QStringLiteral("--at"),
                      QStringLiteral("11/12/2024 21:30")},
          QStringList{QStringLiteral("onair"), QStringLiteral("6070"),
                      QStringLiteral("--tolerance"), QStringLiteral("-1")},
          QStringList{QStringLiteral("schedule"), QStringLiteral("load"), QStringLiteral("x")},
          QStringList{QStringLiteral("schedule"), QStringLiteral("import"),
                      QStringLiteral("--season"), QStringLiteral("C24"),
                      path(QStringLiteral("B24.txt"))}}) {
        const CliRun run = cli(args);
        EXPECT_NE(run.code, 0) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << testing::PrintToString(run);
    }
    EXPECT_EQ(cli({QStringLiteral("schedule"), QStringLiteral("import"),
                   path(QStringLiteral("gone.txt"))})
                  .code,
              3);
}
