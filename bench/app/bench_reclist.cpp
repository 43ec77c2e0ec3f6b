// The record list at 1,000,000 generated records: filling the main grid (at start, and for a
// category tab and back) beside the sqlite3 shell printing the same rows in frequency order to
// /dev/null, heading sorts of the frequency and a text column, and painting one screen of the
// grid.
//
//   bench_reclist                        runs the benchmarks (the table is built in a temporary
//                                        folder, or taken from $WL_RECLIST_TABLE when set)
//   bench_reclist --make-table DIR N INI builds an N-record table in DIR and a settings file INI
//                                        whose data folder is DIR, for running the program
#include "app/AppConstants.h"
#include "app/MainSettings.h"
#include "app/RecordList.h"
#include "app/services/Registry.h"
#include "grid/TSortableGrid.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>

#include "bench/support/DefaultLayout.h"
#include "bench/support/RowMaker.h"
#include "bench/support/SqliteShell.h"
#include "bench/support/TableBuilder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

namespace {

using namespace wl;
namespace FR = store::FrequencyRecord;

constexpr int Records = 1'000'000;
constexpr int Chunk = 200'000;

using wl::bench::RowMaker;

void name(store::Table& t, const QString& folder)
{
    t.setDatabaseName(folder);
    t.setTableName(FR::TableFile);
}

bool makeTable(const QString& folder, int records)
{
    return bench::buildTable(folder, records, Chunk);
}

QString sharedFolder()
{
    static QTemporaryDir dir;
    static const QString path = qEnvironmentVariableIsSet("WL_RECLIST_TABLE")
                                    ? qEnvironmentVariable("WL_RECLIST_TABLE")
                                    : dir.path();
    return path;
}

bool openShared(store::Table& t)
{
    if (!makeTable(sharedFolder(), Records))
        return false;
    name(t, sharedFolder());
    return t.open() && t.setIndexName(FR::FrequencyIndex) && t.setRange(0, 9999);
}

// The shared table opened as the main window opens it, and a grid set up as its list.
struct OpenList
{
    store::Table table;
    TSortableGrid grid;
};

std::unique_ptr<OpenList> openList()
{
    auto list = std::make_unique<OpenList>();
    if (!openShared(list->table))
        return nullptr;
    RecordList::setUpGrid(list->grid);
    return list;
}

// The same rows in frequency order, every field the grid shows, notes included; `where` adds
// a condition on the record (r), as a category tab does.
double runShell(const QString& folder, const QString& where = {})
{
    const QString script =
        QStringLiteral(
            "ATTACH '%1' AS idx; ATTACH '%2' AS blb;\n"
            "SELECT r.Category, r.Hz, r.Modifier, r.Callsign, r.User, r.Location, r.Optional, "
            "r.Position, r.RDate, m.content FROM idx.ix1 AS i CROSS JOIN main.records AS r ON "
            "r.RecNum = i.RecNum LEFT JOIN blb.m3 AS m ON m.RecNum = r.RecNum "
            "WHERE i.key >= 0 AND i.key <= 9999%3 ORDER BY i.key, i.RecNum;\n")
            .arg(QDir(folder).filePath(FR::IndexFile), QDir(folder).filePath(FR::MemoFile),
                 where.isEmpty() ? QString() : QStringLiteral(" AND ") + where);
    return bench::timeSqliteShell(QDir(folder).filePath(FR::TableFile), script,
                                  QStringLiteral("/dev/null"));
}

double secondsOf(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// The whole fill as the start runs it, and the time until its first screen of rows is in the
// grid (the first progress report).
void BM_ReadAllRecordsVsShell(benchmark::State& state)
{
    double shellSeconds = 0;
    double oursSeconds = 0;
    double firstScreenSeconds = 0;
    for (auto _ : state) {
        {
            const auto list = openList();
            if (!list) {
                state.SkipWithError("cannot open the table");
                return;
            }
            QElapsedTimer timer;
            timer.start();
            double firstScreen = -1;
            const RecordList::Outcome out = RecordList::fill(
                list->grid, list->table, bench::defaultLayout(), {}, [&](qint64, qint64) {
                    if (firstScreen < 0)
                        firstScreen = secondsOf(timer);
                    return true;
                });
            oursSeconds += secondsOf(timer);
            firstScreenSeconds += firstScreen;
            if (out.records != Records) {
                state.SkipWithError("wrong record count");
                return;
            }
        }
        // The table is closed now, so the shell can read its files.
        const double s = runShell(sharedFolder());
        if (s < 0) {
            state.SkipWithError("sqlite3 shell failed");
            return;
        }
        shellSeconds += s;
    }
    const double n = double(state.iterations());
    state.counters["ours_s"] = oursSeconds / n;
    state.counters["first_screen_s"] = firstScreenSeconds / n;
    state.counters["shell_s"] = shellSeconds / n;
    state.counters["ratio"] = oursSeconds / shellSeconds;
}
BENCHMARK(BM_ReadAllRecordsVsShell)->Iterations(2)->Unit(benchmark::kMillisecond);

// From All Records to a category tab (a tenth of the records) and back, each beside the shell
// selecting the same rows.
void BM_CategoryTabAndBackVsShell(benchmark::State& state)
{
    const QString category = QStringLiteral("Police");
    double tab = 0, back = 0, tabShell = 0, backShell = 0;
    for (auto _ : state) {
        {
            const auto list = openList();
            if (!list) {
                state.SkipWithError("cannot open the table");
                return;
            }
            RecordList::fill(list->grid, list->table, bench::defaultLayout(), {});
            QElapsedTimer timer;
            timer.start();
            RecordList::fill(list->grid, list->table, bench::defaultLayout(), category);
            tab += secondsOf(timer);
            timer.start();
            const RecordList::Outcome out =
                RecordList::fill(list->grid, list->table, bench::defaultLayout(), {});
            back += secondsOf(timer);
            if (out.records != Records) {
                state.SkipWithError("wrong record count");
                return;
            }
        }
        const double s1 = runShell(sharedFolder(), QStringLiteral("r.Category = 'Police'"));
        const double s2 = runShell(sharedFolder());
        if (s1 < 0 || s2 < 0) {
            state.SkipWithError("sqlite3 shell failed");
            return;
        }
        tabShell += s1;
        backShell += s2;
    }
    const double n = double(state.iterations());
    state.counters["tab_s"] = tab / n;
    state.counters["tab_shell_s"] = tabShell / n;
    state.counters["tab_ratio"] = tab / tabShell;
    state.counters["back_s"] = back / n;
    state.counters["back_shell_s"] = backShell / n;
    state.counters["back_ratio"] = back / backShell;
}
BENCHMARK(BM_CategoryTabAndBackVsShell)->Iterations(2)->Unit(benchmark::kMillisecond);

// The table walk alone, reading the fields the grid shows: the part of the fill that belongs
// to the store.
void BM_WalkReadingShownFields(benchmark::State& state)
{
    store::Table t;
    if (!openShared(t)) {
        state.SkipWithError("cannot open the table");
        return;
    }
    const QString fields[] = {"Category", "Hz",       "Modifier", "Callsign", "User",
                              "Location", "Optional", "Position", "RDate",    "Notes"};
    for (auto _ : state) {
        qint64 n = 0;
        for (t.first(); !t.eof(); t.next()) {
            for (const QString& f : fields)
                benchmark::DoNotOptimize(t.fieldValue(f));
            ++n;
        }
        if (n != Records)
            state.SkipWithError("wrong record count");
    }
}
BENCHMARK(BM_WalkReadingShownFields)->Iterations(1)->Unit(benchmark::kMillisecond);

// One filled grid shared by the sort and paint benchmarks.
TSortableGrid& filledGrid()
{
    static store::Table table;
    static TSortableGrid* grid = nullptr;
    if (!grid) {
        grid = new TSortableGrid;
        RecordList::setUpGrid(*grid);
        grid->resize(1000, 700);
        if (openShared(table))
            RecordList::fill(*grid, table, bench::defaultLayout(), {});
    }
    return *grid;
}

void sortBench(benchmark::State& state, int col)
{
    TSortableGrid& grid = filledGrid();
    bool descending = false;
    for (auto _ : state) {
        TSortOptions options;
        options.Descending = descending;
        grid.SortColumn(col, options);
        descending = !descending;
    }
}

void BM_SortFrequencyColumn(benchmark::State& state)
{
    sortBench(state, 1);
}
BENCHMARK(BM_SortFrequencyColumn)->Iterations(4)->Unit(benchmark::kMillisecond);

void BM_SortCallsignColumn(benchmark::State& state)
{
    sortBench(state, 3);
}
BENCHMARK(BM_SortCallsignColumn)->Iterations(4)->Unit(benchmark::kMillisecond);

void BM_SortDateColumn(benchmark::State& state)
{
    sortBench(state, 8);
}
BENCHMARK(BM_SortDateColumn)->Iterations(2)->Unit(benchmark::kMillisecond);

// Painting one screen of the grid somewhere in the middle, as scrolling does.
void BM_PaintOneScreen(benchmark::State& state)
{
    TSortableGrid& grid = filledGrid();
    QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        grid.verticalScrollBar()->setValue(400'000 + 37 * step++);
        QPainter painter(&image);
        grid.render(&painter);
    }
}
BENCHMARK(BM_PaintOneScreen)->Iterations(50)->Unit(benchmark::kMillisecond);

int makeTableCommand(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s --make-table DIR RECORDS SETTINGS.ini\n", argv[0]);
        return 2;
    }
    QCoreApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (!makeTable(folder, QString::fromLatin1(argv[3]).toInt()))
        return 1;
    Registry settings(QString::fromLocal8Bit(argv[4]));
    settings.openKey(app::SettingsKey, true);
    settings.writeString(QStringLiteral("DataBasePath"), QDir(folder).absolutePath());
    return settings.flush() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--make-table")
        return makeTableCommand(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
