#include "CliTestSupport.h"

namespace wl::cli::test {
namespace {

class CliStatsTest : public CliTest
{
protected:
    // The CSV output as "Section/Item" -> value.
    QMap<QString, QString> csv(QStringList args)
    {
        args.prepend(QStringLiteral("--csv"));
        args.prepend(QStringLiteral("stats"));
        const CliRun run = cli(args);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        QMap<QString, QString> values;
        const QStringList lines = run.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        EXPECT_EQ(lines.value(0), QStringLiteral("Section,Item,Value"));
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList cells = lines[i].split(QLatin1Char(','));
            values.insert(cells.value(0) + QLatin1Char('/') + cells.value(1), cells.value(2));
        }
        return values;
    }
};

TEST_F(CliStatsTest, CountsTheSelectedRecords)
{
    makeTable(data(), {{"Police", 154.1, "P1", 40.7, 74.0},
                       {"Police", 460.0, "P2"},
                       {"Fire", 154.2, "F1", 41.0, 75.0},
                       {"Ham", 7.2, "H1"}});
    writeSetting(QStringLiteral("Home Lat"), QStringLiteral("40.7"));
    writeSetting(QStringLiteral("Home Lon"), QStringLiteral("74.0"));

    QMap<QString, QString> all = csv({});
    EXPECT_EQ(all.value(QStringLiteral("Totals/Records")), QStringLiteral("4"));
    EXPECT_EQ(all.value(QStringLiteral("Totals/Without a position")), QStringLiteral("2"));
    EXPECT_EQ(all.value(QStringLiteral("Band/VHF")), QStringLiteral("2"));
    EXPECT_EQ(all.value(QStringLiteral("Band/UHF")), QStringLiteral("1"));
    EXPECT_EQ(all.value(QStringLiteral("Band/40 m amateur")), QStringLiteral("1"));
    EXPECT_EQ(all.value(QStringLiteral("Distance/0 to 250 km")), QStringLiteral("2"));

    QMap<QString, QString> police =
        csv({QStringLiteral("--category=Police"), QStringLiteral("--from-mhz=100"),
             QStringLiteral("--to-mhz=200")});
    EXPECT_EQ(police.value(QStringLiteral("Totals/Records")), QStringLiteral("1"));
    EXPECT_EQ(police.value(QStringLiteral("Category/Police")), QStringLiteral("1"));
    EXPECT_FALSE(police.contains(QStringLiteral("Category/Fire")));
}

TEST_F(CliStatsTest, EmptyLogSaysSoAndBadNumbersAreRefused)
{
    makeTable(data(), {});
    const CliRun empty = cli({QStringLiteral("stats")});
    EXPECT_EQ(empty.code, 0) << empty.err.toStdString();
    EXPECT_TRUE(empty.out.startsWith(QStringLiteral("No records to count.")));
    EXPECT_TRUE(empty.err.isEmpty());

    const CliRun bad = cli({QStringLiteral("stats"), QStringLiteral("--from-mhz=7,2")});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("--from-mhz"))) << bad.err.toStdString();
}

} // namespace
} // namespace wl::cli::test
