// Store benchmarks on 1,000,000 generated records: bulk append beside the sqlite3 shell's CSV
// import of the same rows (ours: one transaction of bulk appends into the table with its
// frequency index, the commit and the close; the shell: its start, the CSV import into a bare
// table, then the index built once, with the same cache), open + range + count, and a walk of every
// record in frequency order.
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "bench/support/RowMaker.h"
#include "bench/support/SqliteShell.h"
#include "bench/support/TableBuilder.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <memory>
#include <random>

namespace {

using namespace wl::store;
namespace FR = FrequencyRecord;

constexpr int Records = 1'000'000;
constexpr int Chunk = 250'000;
// The page cache and memory map the store opens its tables with, given to the shell too.
constexpr qint64 ShellCacheKiB = 32 * 1024;
constexpr qint64 ShellMmapBytes = qint64(1) << 30;

using wl::bench::RowMaker;

std::vector<std::vector<QVariant>> makeRows(RowMaker& maker, int first, int count)
{
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(maker.row(first + i));
    return rows;
}

QByteArray csvField(const QVariant& v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v.toDouble());
        return QByteArray(buf, r.ptr - buf);
    }
    QByteArray text = v.toString().toUtf8();
    if (text.contains(',') || text.contains('"') || text.contains('\n') || text.contains('\r'))
        text = '"' + text.replace("\"", "\"\"") + '"';
    return text;
}

void appendCsv(QFile& csv, const std::vector<std::vector<QVariant>>& rows, int firstRecNum)
{
    QByteArray out;
    for (size_t r = 0; r < rows.size(); ++r) {
        out += QByteArray::number(firstRecNum + qint64(r));
        for (const QVariant& v : rows[r])
            out += ',' + csvField(v);
        out += '\n';
    }
    csv.write(out);
}

// The folder holding the 1M-record table that the reading benchmarks share.
QString& sharedFolder()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty())
        path = dir.path();
    return path;
}

Table* openTable(Table& t, const QString& folder)
{
    t.setDatabaseName(folder);
    t.setTableName(FR::TableFile);
    return &t;
}

// Makes sure the shared folder holds the 1M-record table, building it when a reading benchmark
// runs on its own.
bool ensureTable()
{
    return wl::bench::buildTable(sharedFolder(), Records, Chunk);
}

// The shell's best way to the same table: the same page cache and memory map as the store,
// the rows imported first and the frequency index built once after them, all in one run of
// the shell (its start, the CSV parse, the import, the index and the final sync included).
double runShellImport(const QString& folder, const QString& csvPath)
{
    const QString script = QStringLiteral("PRAGMA cache_size=-%2;\n"
                                          "PRAGMA mmap_size=%3;\n"
                                          "CREATE TABLE records (RecNum INTEGER PRIMARY KEY "
                                          "AUTOINCREMENT, Category TEXT, Callsign TEXT, "
                                          "Notes TEXT, RDate REAL, Hz REAL, Modifier TEXT, User "
                                          "TEXT, Location TEXT, Optional TEXT, "
                                          "Position TEXT, RLat REAL, RLon REAL);\n"
                                          ".import --csv '%1' records\n"
                                          "CREATE INDEX ByFrequency ON records (Hz);\n")
                               .arg(csvPath)
                               .arg(ShellCacheKiB)
                               .arg(ShellMmapBytes);
    return wl::bench::timeSqliteShell(QDir(folder).filePath(QStringLiteral("shell.db")), script);
}

void BM_BulkAppendVsShellImport(benchmark::State& state)
{
    for (auto _ : state) {
        const QString folder = sharedFolder();
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            QFile::remove(QDir(folder).filePath(name));
        const QString csvPath = QDir(folder).filePath(QStringLiteral("rows.csv"));
        QFile csv(csvPath);
        csv.open(QIODevice::WriteOnly);

        Table t;
        openTable(t, folder);
        FR::define(t);
        if (!t.createTable() || !t.open()) {
            state.SkipWithError("cannot create the table");
            return;
        }
        RowMaker maker;
        qint64 oursNs = 0;
        QElapsedTimer timer;
        timer.start();
        t.beginTransaction();
        oursNs += timer.nsecsElapsed();
        for (int first = 1; first <= Records; first += Chunk) {
            const auto rows = makeRows(maker, first, Chunk);
            appendCsv(csv, rows, first);
            timer.restart();
            if (!t.bulkAppend(rows)) {
                state.SkipWithError(t.lastError().toStdString().c_str());
                return;
            }
            oursNs += timer.nsecsElapsed();
        }
        timer.restart();
        t.commit();
        t.close();
        oursNs += timer.nsecsElapsed();
        csv.close();

        const double ours = double(oursNs) / 1e9;
        const double shell = runShellImport(folder, csvPath);
        state.SetIterationTime(ours);
        state.counters["ours_s"] = ours;
        state.counters["shell_s"] = shell;
        state.counters["ratio"] = shell > 0 ? ours / shell : -1;
        QFile::remove(csvPath);
        QFile::remove(QDir(folder).filePath(QStringLiteral("shell.db")));
    }
}
BENCHMARK(BM_BulkAppendVsShellImport)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_OpenRangeCount(benchmark::State& state)
{
    qint64 count = 0;
    if (!ensureTable()) {
        state.SkipWithError("cannot build the table");
        return;
    }
    for (auto _ : state) {
        Table t;
        openTable(t, sharedFolder());
        if (!t.open()) {
            state.SkipWithError("cannot open the table");
            return;
        }
        t.setIndexName(QStringLiteral("By frequency"));
        t.setRange(0, 9999);
        count = t.recordCount();
        t.close();
    }
    state.counters["records"] = double(count);
}
BENCHMARK(BM_OpenRangeCount)->Unit(benchmark::kMillisecond);

void BM_WalkAllInFrequencyOrder(benchmark::State& state)
{
    Table t;
    openTable(t, sharedFolder());
    if (!ensureTable() || !t.open()) {
        state.SkipWithError("cannot open the table");
        return;
    }
    t.setIndexName(QStringLiteral("By frequency"));
    t.setRange(0, 9999);
    qint64 seen = 0;
    for (auto _ : state) {
        seen = 0;
        double sum = 0;
        for (t.first(); !t.eof(); t.next()) {
            sum += t.fieldValue(QStringLiteral("Hz")).toDouble();
            ++seen;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["records"] = double(seen);
}
BENCHMARK(BM_WalkAllInFrequencyOrder)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
