#include "FullDiskVfs.h"
#include "StoreTestSupport.h"

#include "store/SqliteDb.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

namespace wl::store::test {
namespace {

class TableFailureTest : public StoreFixture
{
protected:
    // n committed records with scattered frequencies, so that later index writes land on
    // pages all over the index.
    void fill(int n)
    {
        std::vector<std::vector<QVariant>> rows;
        QRandomGenerator rng(7);
        for (int i = 1; i <= n; ++i)
            rows.push_back({QStringLiteral("Police"), QStringLiteral("C%1").arg(i), QVariant(),
                            45000.0, rng.bounded(9000.0), QVariant(), QVariant(), QVariant(),
                            QVariant(), QVariant(), QVariant(), QVariant()});
        ASSERT_TRUE(table.bulkAppend(rows));
    }

    // The page of the table file that holds the records' b-tree root.
    qint64 recordsRootOffset()
    {
        SqliteDb db;
        EXPECT_TRUE(db.open(path(FR::TableFile), QStringLiteral("ro")));
        const qint64 page =
            db.scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'records'"))
                .toLongLong();
        const qint64 size = db.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
        EXPECT_GT(page, 0);
        return (page - 1) * size;
    }

    QByteArray digest()
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const QString& name : {FR::TableFile, FR::IndexFile, FR::MemoFile}) {
            QFile f(path(name));
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            hash.addData(f.readAll());
        }
        return hash.result();
    }
};

// A balanced tree of 2^levels comparisons: shallow, but wide.
QString wideFilter(int levels)
{
    QStringList terms;
    for (int i = 0; i < (1 << levels); ++i)
        terms << QStringLiteral("Hz = %1").arg(i);
    while (terms.size() > 1) {
        QStringList joined;
        for (qsizetype i = 0; i < terms.size(); i += 2)
            joined << QStringLiteral("(%1 or %2)").arg(terms[i], terms[i + 1]);
        terms = joined;
    }
    return terms.first();
}

TEST_F(TableFailureTest, HostileFiltersAreRefusedAndThePreviousFilterStays)
{
    add(1.0, QStringLiteral("Police"));
    add(2.0, QStringLiteral("Weather"));
    const QString kept = QStringLiteral("Category = 'Weather'");
    ASSERT_TRUE(table.setFilter(kept));
    ASSERT_TRUE(table.setFiltered(true));

    const QString hostile[] = {
        QStringLiteral("(").repeated(17000) + QStringLiteral("Hz = 1") +
            QStringLiteral(")").repeated(17000),
        QStringLiteral("not ").repeated(17000) + QStringLiteral("Hz = 1"),
        QStringLiteral("Hz = 1") + QStringLiteral(" or Hz = 1").repeated(20000),
        QStringLiteral("Hz = 1") + QStringLiteral(" and Hz = 1").repeated(20000),
        QStringLiteral("(").repeated(17000), // and nothing else
        QStringLiteral("Hz = 1") + QStringLiteral(" or Hz = 1").repeated(1500),
        wideFilter(10),
    };
    for (const QString& expression : hostile) {
        SCOPED_TRACE(expression.left(40).toStdString());
        const Status st = table.setFilter(expression);
        EXPECT_FALSE(st);
        EXPECT_FALSE(st.error.isEmpty());
        EXPECT_EQ(table.filter(), kept);
        EXPECT_EQ(table.recordCount(), 1);
        EXPECT_EQ(table.fieldValue(QStringLiteral("Category")).toString(), "Weather");
    }
    // A filter nested well within the bound still works.
    const QString nested = QStringLiteral("(").repeated(20) + QStringLiteral("Hz = 1") +
                           QStringLiteral(")").repeated(20);
    ASSERT_TRUE(table.setFilter(nested));
    EXPECT_EQ(table.fieldValue(QStringLiteral("Category")).toString(), "Police");
}

TEST_F(TableFailureTest, AFailedOpenLeavesTheTableClosed)
{
    fill(3000);
    table.close();
    const qint64 root = recordsRootOffset();
    {
        QFile f(path(FR::TableFile));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(root));
        f.write(QByteArray(4096, char(0x5a)));
    }
    const Status st = table.open();
    EXPECT_FALSE(st);
    EXPECT_FALSE(table.isOpen());
    EXPECT_FALSE(table.append());
    EXPECT_FALSE(table.beginTransaction());
    EXPECT_FALSE(st.error.contains(QStringLiteral("not an error"))) << st.error.toStdString();
    ASSERT_TRUE(Table::repair(dir.path(), FR::TableFile).ok);
    EXPECT_TRUE(table.open());
}

TEST_F(TableFailureTest, ReadErrorsSayWhatWentWrong)
{
    fill(3000);
    table.close();
    // Spoil a page in the middle of the records, then walk them in the order they are kept.
    const qint64 size = QFileInfo(path(FR::TableFile)).size();
    {
        QFile f(path(FR::TableFile));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek((size / 4096 / 2) * 4096));
        f.write(QByteArray(4096, char(0x5a)));
    }
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(table.setIndexName(QString()));
    Status st;
    for (st = table.first(); st && !table.eof(); st = table.next()) {
    }
    ASSERT_FALSE(st);
    EXPECT_FALSE(st.error.contains(QStringLiteral("not an error"))) << st.error.toStdString();
}

TEST_F(TableFailureTest, ARolledBackTransactionFailsEveryLaterWriteAndTheCommit)
{
    fill(3000);
    table.close();
    FullDiskVfs disk;
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(table.beginTransaction());
    for (int i = 0; i < 20; ++i)
        add(100.0 + i);

    disk.setFull(true);
    QRandomGenerator rng(11);
    bool failed = false;
    for (int i = 0; i < 5000 && !failed; ++i) {
        ASSERT_TRUE(table.append());
        table.setFieldValue(QStringLiteral("Category"), QStringLiteral("Police"));
        table.setFieldValue(QStringLiteral("RDate"), 45000.0);
        table.setFieldValue(QStringLiteral("Hz"), rng.bounded(9000.0));
        failed = !table.post();
        if (failed)
            table.cancel();
    }
    ASSERT_TRUE(failed) << "the full disk never refused a write";
    disk.setFull(false);

    // Whatever the SQL engine undid, no later write may go through on its own.
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(table.append());
        table.setFieldValue(QStringLiteral("Category"), QStringLiteral("Late"));
        table.setFieldValue(QStringLiteral("RDate"), 45000.0);
        table.setFieldValue(QStringLiteral("Hz"), 5.0);
        EXPECT_FALSE(table.post());
        table.cancel();
    }
    const Status committed = table.commit();
    table.close();
    ASSERT_TRUE(table.open());
    ASSERT_TRUE(table.setFilter(QStringLiteral("Category = 'Late'")));
    ASSERT_TRUE(table.setFiltered(true));
    EXPECT_FALSE(committed);
    EXPECT_EQ(table.recordCount(), 0);
    ASSERT_TRUE(table.setFiltered(false));
    EXPECT_EQ(table.recordCount(), 3000);
    table.close(); // before the file layer it was opened through goes
}

TEST_F(TableFailureTest, OpeningClearsLeftoverJournalsAndARefusedOpenWritesNothing)
{
    fill(10);
    table.close();
    // A kill between writing the cross-file journal and naming it in the files' own journals
    // leaves it behind with nothing referring to it.
    const QString orphan = path(FR::TableFile + QStringLiteral("-mj0A1B2C3D9"));
    {
        QFile f(orphan);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(path(FR::IndexFile).toUtf8() + '\0' + path(FR::MemoFile).toUtf8() + '\0');
    }
    ASSERT_TRUE(table.open());
    EXPECT_FALSE(QFile::exists(orphan));
    table.close();

    // An index from another table: the set is refused and no file is touched.
    QDir().mkpath(path(QStringLiteral("other")));
    Table other;
    ASSERT_TRUE(create(other, path(QStringLiteral("other"))));
    ASSERT_TRUE(QFile::remove(path(FR::IndexFile)));
    ASSERT_TRUE(QFile::copy(path(QStringLiteral("other/") + FR::IndexFile), path(FR::IndexFile)));
    const QByteArray before = digest();
    EXPECT_FALSE(table.open());
    EXPECT_FALSE(table.isOpen());
    EXPECT_EQ(digest(), before);
}

} // namespace
} // namespace wl::store::test
