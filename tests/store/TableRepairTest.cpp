#include "StoreTestSupport.h"

#include <QFile>
#include <QRandomGenerator>

namespace wl::store::test {
namespace {

QString noteOf(qint64 n)
{
    return QStringLiteral("Heard %1 on the repeater.\r\nSecond line.").arg(n);
}

// n records whose fields all derive from their Callsign number; even ones carry a note.
std::vector<std::vector<QVariant>> rows(int n)
{
    std::vector<std::vector<QVariant>> out;
    for (int i = 1; i <= n; ++i) {
        out.push_back({QStringLiteral("Police"), QStringLiteral("C%1").arg(i),
                       i % 2 == 0 ? QVariant(noteOf(i)) : QVariant(), 45000.0 + i,
                       double(i % 300) + 0.125, QStringLiteral("+"),
                       QStringLiteral("User %1").arg(i), QStringLiteral("Some place %1").arg(i),
                       QVariant(), QStringLiteral("45 38N 122 41W"), 45.6, 122.7});
    }
    return out;
}

class TableRepairTest : public StoreFixture
{
protected:
    void fill(int n)
    {
        ASSERT_TRUE(table.bulkAppend(rows(n)));
        table.close();
    }

    RepairResult repair() { return Table::repair(dir.path(), FR::TableFile); }

    // Opens the repaired table and checks every record against its Callsign; returns how many
    // records carry their note.
    qint64 expectWhole(qint64 expectedRecords)
    {
        const Status st = table.open();
        EXPECT_TRUE(st) << st.error.toStdString();
        EXPECT_TRUE(table.setIndexName(FR::FrequencyIndex));
        EXPECT_EQ(table.recordCount(), expectedRecords);
        qint64 walked = 0;
        qint64 notes = 0;
        double lastHz = -1;
        for (table.first(); !table.eof(); table.next()) {
            const qint64 n =
                table.fieldValue(QStringLiteral("Callsign")).toString().mid(1).toLongLong();
            const double hz = table.fieldValue(QStringLiteral("Hz")).toDouble();
            EXPECT_EQ(hz, double(n % 300) + 0.125);
            EXPECT_GE(hz, lastHz);
            lastHz = hz;
            EXPECT_EQ(table.fieldValue(QStringLiteral("User")).toString(),
                      QStringLiteral("User %1").arg(n));
            const QVariant note = table.fieldValue(QStringLiteral("Notes"));
            if (!note.isNull()) {
                EXPECT_EQ(note.toString(), noteOf(n));
                ++notes;
            }
            ++walked;
        }
        EXPECT_EQ(walked, expectedRecords);
        return notes;
    }

    static void overwrite(const QString& file, qint64 offset, const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(offset));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
};

TEST_F(TableRepairTest, TruncatedIndexIsRebuilt)
{
    fill(400);
    QFile idx(path(FR::IndexFile));
    ASSERT_TRUE(idx.resize(idx.size() / 2));
    EXPECT_FALSE(table.open());

    const RepairResult r = repair();
    ASSERT_TRUE(r.ok) << r.reason.toStdString();
    EXPECT_EQ(r.recordsKept, 400);
    EXPECT_EQ(r.recordsLost, 0);
    EXPECT_EQ(r.notesLost, 0);
    EXPECT_EQ(r.keptAside.size(), 1);
    EXPECT_EQ(expectWhole(400), 200);
}

TEST_F(TableRepairTest, GarbagePagesInTheTableFileAreSalvagedAround)
{
    fill(3000);
    const qint64 size = QFileInfo(path(FR::TableFile)).size();
    QByteArray garbage(3 * 4096, '\0');
    QRandomGenerator rng(42);
    for (char& c : garbage)
        c = char(rng.bounded(256));
    overwrite(path(FR::TableFile), (size / 4096 / 2) * 4096, garbage);

    const RepairResult r = repair();
    ASSERT_TRUE(r.ok) << r.reason.toStdString();
    EXPECT_GT(r.recordsKept, 2000);
    EXPECT_GT(r.recordsLost, 0);
    EXPECT_EQ(r.recordsKept + r.recordsLost, 3000);
    EXPECT_EQ(r.notesLost, 0);
    ASSERT_EQ(r.keptAside.size(), 1);
    EXPECT_TRUE(QFile::exists(r.keptAside.first()));
    expectWhole(r.recordsKept);
    // The autoincrement mark survives: a new record never takes a lost record's number.
    table.append();
    table.setFieldValue(QStringLiteral("Category"), QStringLiteral("Police"));
    table.setFieldValue(QStringLiteral("RDate"), 1.0);
    table.setFieldValue(QStringLiteral("Hz"), 1.0);
    ASSERT_TRUE(table.post());
    EXPECT_GT(table.recNum(), 3000);
}

// A file cut short (a full disk, a copy that stopped) is read as far as it reaches.
TEST_F(TableRepairTest, FilesCutShortKeepWhatTheyStillHold)
{
    struct Case
    {
        QString file;
        qint64 cut;
        qint64 minRecords;
        qint64 maxNotesLost;
    };
    const Case cases[] = {
        {FR::TableFile, 4096, 2900, 0},
        {FR::TableFile, 1, 2990, 0},
        {FR::MemoFile, 4096, 3000, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 cut by %2").arg(c.file).arg(c.cut).toStdString());
        table.close();
        for (const QString& name : {FR::TableFile, FR::IndexFile, FR::MemoFile})
            QFile::remove(path(name));
        ASSERT_TRUE(create(table, dir.path()));
        ASSERT_TRUE(table.open());
        fill(3000);
        QFile file(path(c.file));
        ASSERT_TRUE(file.resize(file.size() - c.cut));
        EXPECT_FALSE(table.open());

        const RepairResult r = repair();
        ASSERT_TRUE(r.ok) << r.reason.toStdString();
        EXPECT_GE(r.recordsKept, c.minRecords);
        EXPECT_EQ(r.recordsKept + r.recordsLost, 3000);
        EXPECT_LE(r.notesLost, c.maxNotesLost);
        EXPECT_TRUE(r.keptAside.contains(path(c.file) + QStringLiteral(".damaged")));
        const qint64 notes = expectWhole(r.recordsKept);
        EXPECT_GE(notes, 1500 - c.maxNotesLost - (3000 - r.recordsKept));
        table.close();
        for (const QString& aside : r.keptAside)
            QFile::remove(aside);
    }
}

TEST_F(TableRepairTest, ATableFileWithoutItsHeaderLeavesAnEmptyTableAndSaysSo)
{
    fill(50);
    overwrite(path(FR::TableFile), 0, QByteArray(100, 'x'));
    EXPECT_FALSE(table.open());

    const RepairResult r = repair();
    ASSERT_TRUE(r.ok) << r.reason.toStdString();
    EXPECT_EQ(r.recordsKept, 0);
    EXPECT_EQ(r.recordsLost, 50);
    ASSERT_EQ(r.keptAside.size(), 1);
    QFile aside(r.keptAside.first());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_TRUE(aside.read(100).startsWith("xxxx")); // the damaged original, untouched
    expectWhole(0);
}

TEST_F(TableRepairTest, MissingOrForeignMemoFileLosesOnlyTheNotes)
{
    fill(100);
    QTemporaryDir otherDir;
    Table other;
    ASSERT_TRUE(create(other, otherDir.path()));
    ASSERT_TRUE(other.open());
    ASSERT_TRUE(other.bulkAppend(rows(100)));
    other.close();

    for (bool foreign : {false, true}) {
        SCOPED_TRACE(foreign ? "foreign" : "missing");
        QFile::remove(path(FR::MemoFile));
        if (foreign) {
            ASSERT_TRUE(
                QFile::copy(QDir(otherDir.path()).filePath(FR::MemoFile), path(FR::MemoFile)));
        }
        const Status st = table.open();
        ASSERT_FALSE(st);
        const RepairResult r = repair();
        ASSERT_TRUE(r.ok) << r.reason.toStdString();
        EXPECT_EQ(r.recordsKept, 100);
        EXPECT_EQ(r.recordsLost, 0);
        EXPECT_EQ(r.notesLost, foreign ? 0 : 50); // the first round already dropped them
        EXPECT_EQ(r.keptAside.size(), foreign ? 1 : 0);
        EXPECT_EQ(expectWhole(100), 0);
        table.close();
    }
}

TEST_F(TableRepairTest, ForeignIndexMakesTheSetDamagedAndRepairKeepsTheNotes)
{
    fill(60);
    QTemporaryDir otherDir;
    Table other;
    ASSERT_TRUE(create(other, otherDir.path()));
    QFile::remove(path(FR::IndexFile));
    ASSERT_TRUE(QFile::copy(QDir(otherDir.path()).filePath(FR::IndexFile), path(FR::IndexFile)));
    const Status st = table.open();
    ASSERT_FALSE(st);
    EXPECT_TRUE(st.error.contains(QStringLiteral("damaged"))) << st.error.toStdString();

    const RepairResult r = repair();
    ASSERT_TRUE(r.ok) << r.reason.toStdString();
    EXPECT_EQ(r.notesLost, 0);
    EXPECT_EQ(expectWhole(60), 30);
}

TEST_F(TableRepairTest, AnOlderCopyOfTheIndexIsCaughtAndRebuilt)
{
    fill(10);
    ASSERT_TRUE(QFile::copy(path(FR::IndexFile), path(QStringLiteral("old.idx"))));
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(table.bulkAppend(rows(5)));
    table.close();
    QFile::remove(path(FR::IndexFile));
    ASSERT_TRUE(QFile::rename(path(QStringLiteral("old.idx")), path(FR::IndexFile)));
    const Status st = table.open();
    ASSERT_FALSE(st);

    const RepairResult r = repair();
    ASSERT_TRUE(r.ok) << r.reason.toStdString();
    EXPECT_EQ(r.recordsKept, 15);
    EXPECT_EQ(r.recordsLost, 0);
    EXPECT_TRUE(r.keptAside.isEmpty()); // a sound index of this table is simply rebuilt
    EXPECT_EQ(expectWhole(15), 7);
}

TEST_F(TableRepairTest, RepairRefusesAnOpenTableAndCreateReplacesStaleCompanions)
{
    const RepairResult busy = repair();
    EXPECT_FALSE(busy.ok);
    EXPECT_FALSE(busy.reason.isEmpty());
    table.close();

    QFile::remove(path(FR::TableFile));
    Table fresh;
    ASSERT_TRUE(create(fresh, dir.path()));
    ASSERT_TRUE(fresh.open()) << fresh.lastError().toStdString();
    EXPECT_EQ(fresh.recordCount(), 0);
}

} // namespace
} // namespace wl::store::test
