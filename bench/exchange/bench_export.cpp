// Export of a million records as the main window shows them, to CSV and to an xlsx workbook,
// beside the sqlite3 shell writing the same rows as CSV in the same run: from the main window's
// filled grid, and as the whole `wavelark-cli export` command from its start to its exit.
//
// Run from a Release build with QT_QPA_PLATFORM=offscreen. WL_EXPORT_TABLE names a folder that
// keeps the generated table between runs.

#include "app/MainSettings.h"
#include "app/RecordList.h"
#include "app/services/DialogService.h"
#include "app/services/UiServices.h"
#include "bench/support/DefaultLayout.h"
#include "bench/support/SqliteShell.h"
#include "bench/support/TableBuilder.h"
#include "exchange/export/TExportStringGrid.h"
#include "grid/TSortableGrid.h"
#include "store/FrequencyRecord.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace wl {
namespace {

namespace FR = store::FrequencyRecord;

constexpr int Records = 1'000'000;

// Answers the save dialog, which the export shows for a type no viewer is registered for.
class SaveTo : public DialogService
{
public:
    QString path;
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return path;
    }
    QString folder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QFont> font(QWidget*, const QFont&, const QString&) override
    {
        return std::nullopt;
    }
    bool print(QWidget*, QPrinter&) override { return false; }
};

QString sharedFolder()
{
    static QTemporaryDir dir;
    static const QString path = qEnvironmentVariableIsSet("WL_EXPORT_TABLE")
                                    ? qEnvironmentVariable("WL_EXPORT_TABLE")
                                    : dir.path();
    return path;
}

// The generated table, built once and shared by the runs.
bool tableBuilt()
{
    static const bool built = bench::buildTable(sharedFolder(), Records, 200'000);
    return built;
}

// The main window's grid filled from the table once, shared by the runs.
TSortableGrid& filledGrid()
{
    static TSortableGrid* grid = [] {
        auto* g = new TSortableGrid;
        if (!tableBuilt())
            return g;
        store::Table t;
        t.setDatabaseName(sharedFolder());
        t.setTableName(FR::TableFile);
        if (t.open() && t.setIndexName(FR::FrequencyIndex) && t.setRange(0, 9999)) {
            RecordList::setUpGrid(*g);
            RecordList::fill(*g, t, bench::defaultLayout(), {});
        }
        return g;
    }();
    return *grid;
}

// The same rows in frequency order, every field the grid shows, as CSV to a file.
double runShell(const QString& folder, const QString& output)
{
    const QString script =
        QStringLiteral(
            "ATTACH '%1' AS idx; ATTACH '%2' AS blb;\n.headers on\n.mode csv\n.output %3\n"
            "SELECT r.Category, r.Hz, r.Modifier, r.Callsign, r.User, r.Location, r.Optional, "
            "r.Position, r.RDate, m.content FROM idx.ix1 AS i CROSS JOIN main.records AS r ON "
            "r.RecNum = i.RecNum LEFT JOIN blb.m3 AS m ON m.RecNum = r.RecNum "
            "WHERE i.key >= 0 AND i.key <= 9999 ORDER BY i.key, i.RecNum;\n")
            .arg(QDir(folder).filePath(FR::IndexFile), QDir(folder).filePath(FR::MemoFile), output);
    return bench::timeSqliteShell(QDir(folder).filePath(FR::TableFile), script);
}

// Seconds per run of both sides, their ratio and the size of our file.
void report(benchmark::State& state, double ours, double shell, qint64 bytes)
{
    const double n = double(state.iterations());
    state.counters["ours_s"] = ours / n;
    state.counters["shell_s"] = shell / n;
    state.counters["ratio"] = ours / shell;
    state.counters["file_MB"] = double(bytes) / 1e6;
}

void exportVsShell(benchmark::State& state, TExportType type)
{
    TSortableGrid& grid = filledGrid();
    if (grid.RowCount() != Records + 1) {
        state.SkipWithError("the grid was not filled");
        return;
    }
    QTemporaryDir out;
    TExportStringGrid exporter(nullptr, &grid);
    SaveTo dialogs;
    UiServices::setDialogs(&dialogs);
    exporter.SetOptions(exporter.Options() & ~ShowProgress);
    double ours = 0;
    double shell = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        exporter.ExportType = type;
        exporter.ViewOnly = false;
        exporter.ExportFile = out.filePath(QStringLiteral("grid.") + ExportTypeExtension(type));
        const QString file = exporter.ExportFile;
        dialogs.path = file;
        QElapsedTimer timer;
        timer.start();
        if (!exporter.RunExport()) {
            state.SkipWithError("the export failed");
            return;
        }
        ours += double(timer.nsecsElapsed()) / 1e9;
        bytes = QFileInfo(file).size();
        const double s = runShell(sharedFolder(), out.filePath(QStringLiteral("shell.csv")));
        if (s < 0) {
            state.SkipWithError("sqlite3 shell failed");
            return;
        }
        shell += s;
    }
    UiServices::setDialogs(nullptr);
    report(state, ours, shell, bytes);
}

void BM_ExportCsvVsShell(benchmark::State& state)
{
    exportVsShell(state, TExportType::xText_Comma_Delimited);
}
BENCHMARK(BM_ExportCsvVsShell)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ExportXlsxVsShell(benchmark::State& state)
{
    exportVsShell(state, TExportType::xExcel_Workbook);
}
BENCHMARK(BM_ExportXlsxVsShell)->Iterations(1)->Unit(benchmark::kMillisecond);

// The whole command, from its start to its exit, with settings of its own; -1 when it failed.
double runCommand(TExportType type, const QString& output, const QString& settings)
{
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WAVELARK_SETTINGS"), settings);
    cli.setProcessEnvironment(env);
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    cli.start(QStringLiteral(WAVELARK_CLI),
              {QStringLiteral("--data=") + sharedFolder(), QStringLiteral("export"),
               QStringLiteral("--format=") + ExportTypeExtension(type), output});
    if (!cli.waitForFinished(-1) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

void commandVsShell(benchmark::State& state, TExportType type)
{
    if (!tableBuilt()) {
        state.SkipWithError("the table could not be built");
        return;
    }
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("records.") + ExportTypeExtension(type));
    double ours = 0;
    double shell = 0;
    for (auto _ : state) {
        const double s = runShell(sharedFolder(), out.filePath(QStringLiteral("shell.csv")));
        const double c = runCommand(type, file, out.filePath(QStringLiteral("settings.ini")));
        if (s < 0 || c < 0) {
            state.SkipWithError(s < 0 ? "sqlite3 shell failed" : "wavelark-cli export failed");
            return;
        }
        ours += c;
        shell += s;
    }
    report(state, ours, shell, QFileInfo(file).size());
}

void BM_ExportCommandCsvVsShell(benchmark::State& state)
{
    commandVsShell(state, TExportType::xText_Comma_Delimited);
}
BENCHMARK(BM_ExportCommandCsvVsShell)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ExportCommandXlsxVsShell(benchmark::State& state)
{
    commandVsShell(state, TExportType::xExcel_Workbook);
}
BENCHMARK(BM_ExportCommandXlsxVsShell)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace wl

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
