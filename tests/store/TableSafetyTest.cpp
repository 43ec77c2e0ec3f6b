// A table's records survive what happens around them: a repair that another program races,
// a process killed while a repair puts its files in place, damage in the middle of the table,
// a medium that cannot be written, and two programs opening at once.
#include "FullDiskVfs.h"
#include "StoreTestSupport.h"
#include "store/TableInstall.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <latch>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wl::store::test {
namespace {

const QString InUse = QStringLiteral("The table is in use by another program.");

QString noteOf(qint64 n)
{
    return QStringLiteral("Note %1, heard near Zürich.\r\nSecond line.").arg(n);
}

// Records from..to, recognisable by their Callsign; even ones carry a note.
std::vector<std::vector<QVariant>> rows(int from, int to)
{
    std::vector<std::vector<QVariant>> out;
    for (int i = from; i <= to; ++i) {
        out.push_back({QStringLiteral("Police"), QStringLiteral("C%1").arg(i),
                       i % 2 == 0 ? QVariant(noteOf(i)) : QVariant(), 45000.0 + i,
                       double(i % 300) + 0.125, QStringLiteral("+"),
                       QStringLiteral("User %1").arg(i), QStringLiteral("Some place %1").arg(i),
                       QVariant(), QStringLiteral("45 38N 122 41W"), 45.6, 122.7});
    }
    return out;
}

void name(Table& t, const QString& folder)
{
    t.setDatabaseName(folder);
    t.setTableName(FR::TableFile);
    FR::define(t);
}

void makeTable(const QString& folder, int records)
{
    Table t;
    name(t, folder);
    ASSERT_TRUE(t.createTable());
    ASSERT_TRUE(t.open());
    if (records > 0)
        ASSERT_TRUE(t.bulkAppend(rows(1, records)));
}

struct Contents
{
    qint64 records = -1;
    qint64 notes = -1;
};

// Every record of the folder's table, each checked against its Callsign.
Contents contentsOf(const QString& folder)
{
    Table t;
    name(t, folder);
    const Status st = t.open();
    EXPECT_TRUE(st) << st.error.toStdString();
    if (!st)
        return {};
    Contents c{0, 0};
    const Status scanned = t.scanRecords(
        {t.fieldNumber(QStringLiteral("Callsign")), t.fieldNumber(QStringLiteral("Notes"))},
        [&](const ScannedRecord& r) {
            ++c.records;
            if (!r.isNull(1)) {
                const qint64 n = QString::fromUtf8(r.utf8(0)).mid(1).toLongLong();
                EXPECT_EQ(QString::fromUtf8(r.utf8(1)), noteOf(n));
                ++c.notes;
            }
            return true;
        });
    EXPECT_TRUE(scanned) << scanned.error.toStdString();
    return c;
}

void copyFolder(const QString& from, const QString& to)
{
    for (const QString& file : QDir(from).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(QDir(from).filePath(file), QDir(to).filePath(file)));
}

void overwrite(const QString& file, qint64 offset, const QByteArray& bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(offset));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator rng(seed);
    for (char& c : bytes)
        c = char(rng.bounded(256));
    return bytes;
}

// Runs body in a child process and gives its exit code; -1 when it was still running after
// timeoutMs (it is then killed) or did not end normally.
int inChild(const std::function<int()>& body, int timeoutMs)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (clock.elapsed() > timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        QThread::msleep(20);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class TableSafetyTest : public ::testing::Test
{
protected:
    void TearDown() override { TableInstall::setStepHook({}); }

    QString path(const QString& file) const { return QDir(dir.path()).filePath(file); }

    QTemporaryDir dir;
};

// An import that starts at any moment of a repair's install either waits for the repair and
// writes into the repaired table, or is refused: it never writes into files the repair then
// replaces.
TEST_F(TableSafetyTest, AnImportRacingARepairKeepsItsRecords)
{
    for (int at = 0; at < 4; ++at) {
        SCOPED_TRACE(at);
        QTemporaryDir folder;
        makeTable(folder.path(), 200);
        std::thread importer;
        Status imported = Status::failure(QStringLiteral("not run"));
        TableInstall::setStepHook([&](int step, const QString&) {
            if (step != at)
                return;
            importer = std::thread([&] {
                Table t;
                name(t, folder.path());
                imported = t.open();
                if (imported)
                    imported = t.bulkAppend(rows(201, 1200));
            });
            QThread::msleep(300); // the importer meets the table while the repair holds it
        });
        const RepairResult r = Table::repair(folder.path(), FR::TableFile);
        TableInstall::setStepHook({});
        ASSERT_TRUE(importer.joinable());
        importer.join();
        ASSERT_TRUE(r.ok) << r.reason.toStdString();
        // The repair is quick, so the importer gets the repaired table.
        EXPECT_TRUE(imported) << imported.error.toStdString();
        const Contents c = contentsOf(folder.path());
        EXPECT_EQ(c.records, imported ? 1200 : 200);
        EXPECT_EQ(c.notes, imported ? 600 : 100);
    }
}

// A repair of a table with a damaged page is killed before each step of its install; the
// next open finds everything an uninterrupted repair keeps, and the table takes new records.
TEST_F(TableSafetyTest, AKillAtAnyStepOfARepairLosesNothing)
{
    const QString master = path(QStringLiteral("master"));
    QDir().mkpath(master);
    makeTable(master, 3000);
    const QString dat = QDir(master).filePath(FR::TableFile);
    overwrite(dat, QFileInfo(dat).size() / 2 / 4096 * 4096, randomBytes(4096, 7));

    const QString reference = path(QStringLiteral("reference"));
    QDir().mkpath(reference);
    copyFolder(master, reference);
    const RepairResult whole = Table::repair(reference, FR::TableFile);
    ASSERT_TRUE(whole.ok) << whole.reason.toStdString();
    ASSERT_EQ(whole.keptAside.size(), 1); // the table file itself is set aside
    const Contents expected = contentsOf(reference);
    ASSERT_GT(expected.records, 2900);

    bool completed = false;
    for (int at = 0; !completed && at < 12; ++at) {
        SCOPED_TRACE(at);
        const QString work = path(QStringLiteral("work%1").arg(at));
        QDir().mkpath(work);
        copyFolder(master, work);
        const int code = inChild(
            [&] {
                TableInstall::setStepHook([&](int step, const QString&) {
                    if (step == at)
                        _exit(0); // as abrupt as a kill: nothing is cleaned up
                });
                return Table::repair(work, FR::TableFile).ok ? 10 : 11;
            },
            60000);
        ASSERT_TRUE(code == 0 || code == 10) << code;
        completed = code == 10;
        // Killed before its plan was written, the repair changed nothing: it is run again.
        if (at == 0)
            ASSERT_TRUE(Table::repair(work, FR::TableFile).ok);

        Table t;
        name(t, work);
        EXPECT_TRUE(t.exists()); // so neither the program nor an import creates a new one
        const Contents c = contentsOf(work);
        EXPECT_EQ(c.records, expected.records);
        EXPECT_EQ(c.notes, expected.notes);
        ASSERT_TRUE(t.open()) << t.lastError().toStdString();
        ASSERT_TRUE(t.bulkAppend(rows(5001, 5001)));
        t.close();
        EXPECT_EQ(contentsOf(work).records, expected.records + 1);
        EXPECT_FALSE(QFileInfo::exists(QDir(work).filePath(FR::TableFile + ".install")));
    }
    EXPECT_TRUE(completed);
}

// Creating a table where only its index and notes are left keeps them aside.
TEST_F(TableSafetyTest, CreatingATableNeverReplacesNotesThatHoldData)
{
    makeTable(dir.path(), 10);
    const QByteArray notes = [&] {
        QFile f(path(FR::MemoFile));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QFile::remove(path(FR::TableFile));
    Table t;
    name(t, dir.path());
    ASSERT_TRUE(t.createTable());
    QFile kept(path(FR::MemoFile + ".orphaned"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), notes);
    EXPECT_EQ(contentsOf(dir.path()).records, 0);
}

// One leaf page of the records is damaged in several ways; every record on the other pages
// is kept.
TEST_F(TableSafetyTest, SalvageKeepsEveryRowOutsideADamagedLeafPage)
{
    constexpr int Total = 20000;
    struct Case
    {
        const char* name;
        int keepHeader; // bytes of the page left as they were
        bool zeros;
    };
    const Case cases[] = {
        {"random page", 0, false},
        {"random cells", 8, false},
        {"zeroed cells", 8, true},
    };
    const QString master = path(QStringLiteral("master"));
    QDir().mkpath(master);
    makeTable(master, Total);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir work;
        copyFolder(master, work.path());
        const QString dat = QDir(work.path()).filePath(FR::TableFile);
        QFile file(dat);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray header = file.read(100);
        const qint64 pageSize = (quint8(header[16]) << 8) | quint8(header[17]);
        // A leaf page of the records from the middle of the file, and the rows it holds.
        qint64 page = file.size() / pageSize / 2;
        int cells = 0;
        for (;; ++page) {
            ASSERT_TRUE(file.seek(page * pageSize));
            const QByteArray head = file.read(8);
            ASSERT_EQ(head.size(), 8);
            if (head[0] == char(0x0D)) {
                cells = (quint8(head[3]) << 8) | quint8(head[4]);
                break;
            }
        }
        ASSERT_GT(cells, 10);
        const QByteArray damage = c.zeros ? QByteArray(pageSize - c.keepHeader, '\0')
                                          : randomBytes(pageSize - c.keepHeader, 11);
        ASSERT_TRUE(file.seek(page * pageSize + c.keepHeader));
        ASSERT_EQ(file.write(damage), damage.size());
        file.close();

        const RepairResult r = Table::repair(work.path(), FR::TableFile);
        ASSERT_TRUE(r.ok) << r.reason.toStdString();
        EXPECT_GE(r.recordsKept, Total - cells);
        EXPECT_EQ(r.recordsKept + r.recordsLost, Total);
        EXPECT_EQ(contentsOf(work.path()).records, r.recordsKept);
    }
}

// A leaf page whose first row carries a false number and whose next row cannot be read: a
// number far too large must not end the salvage early, one far too small must not send it
// back over rows it has read (which never ends). Every row off that page is kept, promptly.
TEST_F(TableSafetyTest, FalseRowNumbersOnADamagedPageNeitherEndNorRewindTheSalvage)
{
    constexpr int Total = 20000;
    const QString master = path(QStringLiteral("master"));
    QDir().mkpath(master);
    makeTable(master, Total);
    for (const bool large : {true, false}) {
        SCOPED_TRACE(large ? "large" : "small");
        QTemporaryDir work;
        copyFolder(master, work.path());
        QFile file(QDir(work.path()).filePath(FR::TableFile));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray header = file.read(100);
        const qint64 pageSize = (quint8(header[16]) << 8) | quint8(header[17]);
        // A leaf page near the end, where row numbers take three bytes.
        int cells = 0;
        for (qint64 page = file.size() / pageSize * 9 / 10;; ++page) {
            ASSERT_TRUE(file.seek(page * pageSize));
            QByteArray bytes = file.read(pageSize);
            ASSERT_EQ(bytes.size(), pageSize);
            if (bytes[0] != char(0x0D))
                continue;
            cells = (quint8(bytes[3]) << 8) | quint8(bytes[4]);
            int at = (quint8(bytes[8]) << 8) | quint8(bytes[9]);
            while (bytes[at] & 0x80) // the payload size
                ++at;
            ++at;
            ASSERT_TRUE((bytes[at] & 0x80) && (bytes[at + 1] & 0x80) && !(bytes[at + 2] & 0x80));
            const QByteArray number = large ? QByteArray("\xff\xff\x7f", 3)
                                            : QByteArray("\x80\x80\x01", 3); // 1, spelt long
            bytes.replace(at, 3, number);
            bytes[10] = char(0xff); // the second row's place lies outside the page
            bytes[11] = char(0xff);
            ASSERT_TRUE(file.seek(page * pageSize));
            ASSERT_EQ(file.write(bytes), pageSize);
            break;
        }
        file.close();

        const int code =
            inChild([&] { return Table::repair(work.path(), FR::TableFile).ok ? 0 : 1; }, 60000);
        ASSERT_EQ(code, 0) << "repair failed or did not end within a minute";
        EXPECT_GE(contentsOf(work.path()).records, Total - cells);
    }
}

// A table file cut in half is repaired in a bounded time, and what the table holds before the
// cut is kept; partly built files a stopped repair left are cleaned up.
TEST_F(TableSafetyTest, AHalfCutTableIsRepairedPromptly)
{
    makeTable(dir.path(), 20000);
    QFile dat(path(FR::TableFile));
    ASSERT_TRUE(dat.resize(dat.size() / 2));
    for (const QString& leftover :
         {FR::TableFile + ".repair", FR::IndexFile + ".repair2", FR::MemoFile + ".repair-journal"})
        overwrite(path(leftover), 0, "left by a stopped repair");

    QElapsedTimer clock;
    clock.start();
    const int code =
        inChild([&] { return Table::repair(dir.path(), FR::TableFile).ok ? 0 : 1; }, 60000);
    ASSERT_EQ(code, 0) << "repair did not end within a minute";
    EXPECT_LT(clock.elapsed(), 60000);
    const Contents c = contentsOf(dir.path());
    EXPECT_GT(c.records, 8000);
    const QStringList left = QDir(dir.path()).entryList({QStringLiteral("*.repair*")}, QDir::Files);
    EXPECT_TRUE(left.isEmpty()) << left.join(QLatin1Char(' ')).toStdString();
}

// On a full disk and in a folder that cannot be written, a sound table opens for reading
// and its files stay byte for byte as they were; opening it for writing says why it fails.
TEST_F(TableSafetyTest, ATableThatCannotBeWrittenStillOpensForReading)
{
    makeTable(dir.path(), 50);
    const auto bytes = [&] {
        QByteArray all;
        for (const QString& f : {FR::TableFile, FR::IndexFile, FR::MemoFile}) {
            QFile file(path(f));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            all += file.readAll();
        }
        return all;
    };
    const QByteArray before = bytes();
    {
        FullDiskVfs disk;
        disk.setFull(true);
        Table t;
        name(t, dir.path());
        const Status st = t.openForReading();
        ASSERT_TRUE(st) << st.error.toStdString();
        EXPECT_EQ(t.recordCount(), 50);
    }
    EXPECT_EQ(bytes(), before);

    // A read-only folder, as a user without write access sees it (root writes anywhere).
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadOther | QFileDevice::ExeOther);
    for (const QString& f : {FR::TableFile, FR::IndexFile, FR::MemoFile})
        QFile::setPermissions(path(f), QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const int code = inChild(
        [&] {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return 20;
            Table t;
            name(t, dir.path());
            const Status written = t.open();
            if (written || !written.error.contains(QStringLiteral("writing")))
                return 21;
            if (Status st = t.openForReading(); !st) {
                std::fprintf(stderr, "%s\n", qPrintable(st.error));
                return 22;
            }
            return t.recordCount() == 50 ? 0 : 23;
        },
        60000);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(bytes(), before);
}

// Two programs that open the table at the same moment: one gets it, and the other waits for
// it or is told the table is in use, never anything else.
TEST_F(TableSafetyTest, TwoOpensAtOnceLetOneProceed)
{
    makeTable(dir.path(), 20);
    for (int trial = 0; trial < 20; ++trial) {
        SCOPED_TRACE(trial);
        std::latch start(2);
        Status results[2];
        const auto opener = [&](int i) {
            Table t;
            name(t, dir.path());
            start.arrive_and_wait();
            results[i] = t.open();
            if (results[i])
                QThread::msleep(50);
        };
        std::thread a(opener, 0);
        std::thread b(opener, 1);
        a.join();
        b.join();
        EXPECT_TRUE(results[0] || results[1]);
        for (const Status& st : results) {
            if (!st)
                EXPECT_EQ(st.error, InUse);
        }
    }
}

} // namespace
} // namespace wl::store::test
