// The map with many positioned records, as wavelark-cli and the map window draw it: opening
// (the profile read, every record plotted, the first picture) and redrawing, of the whole globe
// and of a close view, at several table sizes beside an empty table. The tables are the
// bench's generated ones, in which two rows in three carry a position in America's north-west;
// they are built once in the temporary folder and kept for later runs.
#include "app/services/Registry.h"
#include "bench/support/TableBuilder.h"
#include "globe/AngleText.h"
#include "map/MapRenderer.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>

using namespace wl;

namespace {

const QString ProgramFolder = QStringLiteral(WAVELARK_DATA_DIR "/");
const QSize Picture(1024, 768);
// Positioned records of each table: the figures and the goal.
const int Sizes[] = {0, 10000, 100000, 250000, 667000, 1000000};

int rowsFor(int positioned)
{
    return positioned / 2 * 3;
}

QString tableFolder(int positioned)
{
    return QDir::tempPath() + QStringLiteral("/wavelark-bench-map-%1").arg(rowsFor(positioned));
}

struct OpenMap
{
    QTemporaryDir dir;
    std::unique_ptr<Registry> settings;
    store::Table table;
    MapRenderer map;

    explicit OpenMap(int positioned)
    {
        settings = std::make_unique<Registry>(dir.filePath(QStringLiteral("settings.ini")));
        const QString folder = tableFolder(positioned);
        table.setDatabaseName(folder);
        table.setTableName(store::FrequencyRecord::TableFile);
        store::FrequencyRecord::define(table);
        // The main window's table: on its frequency index, over the whole range.
        if (!table.open() || !table.setIndexName(store::FrequencyRecord::FrequencyIndex) ||
            !table.setRange(0, 9999))
            std::abort();
        map.load(ProgramFolder, folder, *settings, table);
        map.takeWarnings();
    }
};

// Over the records: America's north-west.
const LLPoint Centre = llPoint(-degToGU(100), degToGU(40));

void zoomIn(GlobeEngine& globe, int view)
{
    // 1: some 300 miles across, where the records' labels crowd the view.
    if (view == 1)
        globe.setScaleFactor(globe.scaleFactor() * 40);
}

// The counters split the time: the profile read and the records plotted, then the first
// picture.
void BM_OpenMap(benchmark::State& state)
{
    const int positioned = static_cast<int>(state.range(0));
    double loadMs = 0, renderMs = 0;
    std::optional<OpenMap> open;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        open.emplace(positioned);
        loadMs += static_cast<double>(timer.restart());
        benchmark::DoNotOptimize(open->map.render(Picture, Centre));
        renderMs += static_cast<double>(timer.elapsed());
        state.counters["plotted"] = open->map.plotted();
        // Closing the map is not part of opening it.
        state.PauseTiming();
        open.reset();
        state.ResumeTiming();
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["load_ms"] = loadMs / runs;
    state.counters["first_picture_ms"] = renderMs / runs;
}

// Arguments: positioned records; 0 the whole globe, 1 a close view.
void BM_RedrawMap(benchmark::State& state)
{
    OpenMap open(static_cast<int>(state.range(0)));
    GlobeEngine& globe = open.map.globe();
    open.map.render(Picture, Centre);
    zoomIn(globe, static_cast<int>(state.range(1)));
    globe.renderToImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(globe.renderToImage());
    state.counters["labels"] = static_cast<double>(globe.placedLabels().size());
}

// A new view each time: the globe turned by a degree, as one step of a drag or a "+Lon" does.
void BM_TurnMap(benchmark::State& state)
{
    OpenMap open(static_cast<int>(state.range(0)));
    GlobeEngine& globe = open.map.globe();
    open.map.render(Picture, Centre);
    zoomIn(globe, static_cast<int>(state.range(1)));
    int step = 0;
    for (auto _ : state) {
        globe.setRotation(5, -100 + (step++ % 2));
        benchmark::DoNotOptimize(globe.renderToImage());
    }
    state.counters["labels"] = static_cast<double>(globe.placedLabels().size());
}

void registerAll()
{
    for (const int n : Sizes) {
        benchmark::RegisterBenchmark("BM_OpenMap", BM_OpenMap)
            ->Arg(n)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        for (const int view : {0, 1}) {
            benchmark::RegisterBenchmark("BM_RedrawMap", BM_RedrawMap)
                ->Args({n, view})
                ->Unit(benchmark::kMillisecond)
                ->Iterations(5);
            benchmark::RegisterBenchmark("BM_TurnMap", BM_TurnMap)
                ->Args({n, view})
                ->Unit(benchmark::kMillisecond)
                ->Iterations(5);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (const int n : Sizes) {
        if (!bench::buildTable(tableFolder(n), rowsFor(n), 50000))
            return 1;
    }
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
