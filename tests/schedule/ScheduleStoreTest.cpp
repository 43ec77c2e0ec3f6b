// The schedule store through the import: all or nothing, replacing a season, keeping several
// and choosing the one in force; the log's files are never touched.
#include "schedule/ScheduleStore.h"
#include "schedule/QStringPrint.h"
#include "schedule/ScheduleFixture.h"
#include "schedule/ScheduleImport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace wl::schedule;

namespace {

class ScheduleStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(store.open(dir.path()));
    }

    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    std::vector<QString> stations(const QString& season)
    {
        std::vector<QString> names;
        for (const ScheduleEntry& e : store.entries(season))
            names.push_back(e.station);
        return names;
    }

    QTemporaryDir dir;
    ScheduleStore store;
    const QDate today{2024, 12, 11};
};

const QByteArray Header = "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;"
                          "Remarks:135;P:35;Start:60;Stop:60;\n";

} // namespace

TEST_F(ScheduleStoreTest, ImportStoresTheSeasonWithEveryField)
{
    const ImportReport report = ScheduleImport::schedule(
        store, write(QStringLiteral("B24.TXT"), test::SeasonBytes), BadLines::Refuse, {}, today);
    ASSERT_TRUE(report.ok) << report.failure.toStdString();
    EXPECT_EQ(report.season, QStringLiteral("B24"));
    EXPECT_EQ(report.stored, 9);
    EXPECT_EQ(report.duplicates, 1);
    // Read back from a second connection: the file holds it, not a cache.
    ScheduleStore again;
    ASSERT_TRUE(again.open(dir.path()));
    const std::vector<ScheduleEntry> stored = again.entries(QStringLiteral("B24"));
    std::vector<ScheduleEntry> parsed = ScheduleParser::parse(test::SeasonBytes).entries;
    std::stable_sort(parsed.begin(), parsed.end(), [](const auto& a, const auto& b) {
        return a.khz < b.khz || (a.khz == b.khz && a.startMinute < b.startMinute);
    });
    EXPECT_EQ(stored, parsed);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("B24.TXT"), QStringLiteral("schedules.db")}));
}

TEST_F(ScheduleStoreTest, MalformedLineRefusesTheFileUnlessSkipping)
{
    const QString first =
        write(QStringLiteral("B24.txt"), Header + "6070;2100-2200;;CAN;Old;E;NAm;;1;;;\n");
    ASSERT_TRUE(ScheduleImport::schedule(store, first, BadLines::Refuse, {}, today).ok);
    const QString bad =
        write(QStringLiteral("b24-new.txt"), Header + "6070;2100-2200;;CAN;New;E;NAm;;1;;;\n"
                                                      "6070;21:00-22:00;;CAN;Broken;E;NAm;;1;;;\n");
    const ImportReport refused = ScheduleImport::schedule(store, bad, BadLines::Refuse, {}, today);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.problemText(),
              QStringLiteral("line 3: the time \"21:00-22:00\" is not hhmm-hhmm"));
    EXPECT_EQ(stations(QStringLiteral("B24")), std::vector<QString>{QStringLiteral("Old")});

    const ImportReport skipped = ScheduleImport::schedule(store, bad, BadLines::Skip, {}, today);
    EXPECT_TRUE(skipped.ok);
    EXPECT_EQ(skipped.problems.size(), 1u);
    // The newer import of the same season replaces the older one.
    EXPECT_EQ(stations(QStringLiteral("B24")), std::vector<QString>{QStringLiteral("New")});
}

TEST_F(ScheduleStoreTest, SeveralSeasonsAreKeptAndTheOneInForceIsUsed)
{
    const QString file =
        write(QStringLiteral("sked.txt"), Header + "6070;2100-2200;;CAN;X;E;NAm;;1;;;\n");
    for (const char* season : {"A24", "B24", "A25"})
        ASSERT_TRUE(ScheduleImport::schedule(store, file, BadLines::Refuse,
                                             QString::fromLatin1(season), today)
                        .ok);
    // Without a season in the name or the command the import takes today's.
    ASSERT_TRUE(ScheduleImport::schedule(store, file, BadLines::Refuse, {}, QDate(2023, 7, 1)).ok);
    EXPECT_EQ(store.seasons().size(), 4u);
    const auto seasonOn = [this](QDate d) { return store.seasonFor(d)->season.code.toStdString(); };
    EXPECT_EQ(seasonOn(QDate(2024, 12, 11)), "B24");
    EXPECT_EQ(seasonOn(QDate(2024, 6, 1)), "A24");
    EXPECT_EQ(seasonOn(QDate(2025, 4, 1)), "A25");
    EXPECT_EQ(seasonOn(QDate(2023, 8, 1)), "A23");
    EXPECT_EQ(seasonOn(QDate(2026, 1, 1)), "A25"); // none in force: the latest before
    EXPECT_EQ(seasonOn(QDate(2020, 1, 1)), "A23"); // none before: the earliest
}

TEST_F(ScheduleStoreTest, SitesReplaceTheTableOrNothing)
{
    ASSERT_TRUE(ScheduleImport::sites(store, write(QStringLiteral("sites.txt"), test::SitesBytes),
                                      BadLines::Refuse)
                    .ok);
    const ImportReport bad = ScheduleImport::sites(
        store, write(QStringLiteral("bad.txt"), "NEW;New;1;2\nOOPS;Out;91;0\n"), BadLines::Refuse);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.problems.at(0).line, 2);
    ASSERT_EQ(store.sites().size(), 4u);
    EXPECT_EQ(store.sites()[0].name, QStringLiteral("Bel\u00e9m, Par\u00e1"));
    EXPECT_FALSE(
        ScheduleImport::sites(store, dir.filePath(QStringLiteral("missing.txt")), BadLines::Refuse)
            .ok);
}
