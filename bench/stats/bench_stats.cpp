// Statistics on 1,000,000 generated records: every figure of the statistics window in one
// count, beside the sqlite3 shell running the best grouped queries for the same figures on the
// same table file (its start included; the same page cache and memory map as the store).
#include "stats/StatsEngine.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include "bench/support/SqliteShell.h"
#include "bench/support/TableBuilder.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

namespace FR = wl::store::FrequencyRecord;

constexpr int Records = 1'000'000;
constexpr int Chunk = 250'000;

const QString& folder()
{
    static QTemporaryDir dir;
    static const bool built = wl::bench::buildTable(dir.path(), Records, Chunk);
    static const QString path = built ? dir.path() : QString();
    return path;
}

void BM_AllFigures(benchmark::State& state)
{
    if (folder().isEmpty()) {
        state.SkipWithError("cannot build the table");
        return;
    }
    wl::store::Table t;
    t.setDatabaseName(folder());
    t.setTableName(FR::TableFile);
    FR::define(t);
    if (!t.open()) {
        state.SkipWithError("cannot open the table");
        return;
    }
    wl::stats::StatsQuery query;
    query.homeKnown = true;
    query.homeLat = 40;
    query.homeLon = 90;
    for (auto _ : state) {
        wl::stats::LogStats figures;
        if (!wl::stats::StatsEngine::compute(t, query, figures))
            state.SkipWithError("count failed");
        benchmark::DoNotOptimize(figures.total);
    }
}
BENCHMARK(BM_AllFigures)->Iterations(3)->Unit(benchmark::kMillisecond);

// The shell's grouped queries for the totals, categories, years, months and hours and the
// farthest 20 (a plain angular distance: the shell has no great-circle function).
void BM_ShellGroupedQueries(benchmark::State& state)
{
    if (folder().isEmpty()) {
        state.SkipWithError("cannot build the table");
        return;
    }
    const QString script = QStringLiteral(
        "PRAGMA cache_size=-32768;\nPRAGMA mmap_size=1073741824;\n"
        "SELECT count(*), sum(RLat IS NULL OR RLat = 0 OR RLon IS NULL OR RLon = 0), "
        "sum(RDate IS NULL OR RDate = 0) FROM records;\n"
        "SELECT Category, count(*) FROM records GROUP BY Category;\n"
        "SELECT CAST(Hz * 1000 AS INTEGER) / 1000 AS b, count(*) FROM records GROUP BY b;\n"
        "SELECT strftime('%Y-%m', RDate + 2415018.5) AS m, count(*) FROM records GROUP BY m;\n"
        "SELECT CAST((RDate - CAST(RDate AS INTEGER)) * 24 AS INTEGER) AS h, count(*) "
        "FROM records GROUP BY h;\n"
        "SELECT RecNum FROM records WHERE RLat <> 0 AND RLon <> 0 "
        "ORDER BY (RLat - 40) * (RLat - 40) + (RLon - 90) * (RLon - 90) DESC LIMIT 20;\n");
    for (auto _ : state) {
        const double seconds = wl::bench::timeSqliteShell(QDir(folder()).filePath(FR::TableFile),
                                                          script, QStringLiteral("/dev/null"));
        if (seconds < 0)
            state.SkipWithError("the sqlite3 shell failed");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_ShellGroupedQueries)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
