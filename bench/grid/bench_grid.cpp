// The grid at a million records: filling, heading sorts, memory and painting one screen.
//
// Run from a Release build with QT_QPA_PLATFORM=offscreen; the rows are built once and shared.

#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int kRows = 1'000'000;
constexpr int kCols = 10;

long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

long currentRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

// Record texts as the record list shows them.
class RecordTexts
{
public:
    explicit RecordTexts(const wl::LocaleInfo& locale) : locale_(locale) {}

    QStringList next()
    {
        static const QStringList categories = {"Aviation", "Marine",   "Public Safety", "Ham",
                                               "Military", "Railroad", "Business",      "Weather"};
        static const QStringList users = {"Tower", "Ground", "Dispatch", "Coast Guard",
                                          "Net",   "Yard",   "Approach", "ATIS"};
        static const QStringList modifiers = {"+", "-", " "};
        const QString blanks(19, u' ');
        QStringList row;
        row << categories[int(random_() % categories.size())];
        row << locale_.formatFrequency(double(random_() % 30'000'000) / 10'000.0 + 0.1);
        row << modifiers[int(random_() % 3)];
        row << (random_() % 4 == 0 ? blanks : callsign());
        row << (random_() % 3 == 0 ? blanks : users[int(random_() % users.size())]);
        row << (random_() % 2 == 0 ? blanks : QStringLiteral("City %1").arg(random_() % 5000));
        row << (random_() % 5 == 0 ? QStringLiteral("PL %1").arg(random_() % 250) : blanks);
        row << (random_() % 3 == 0 ? QStringLiteral("%1 %2 N %3 %4 W")
                                         .arg(random_() % 90)
                                         .arg(random_() % 60)
                                         .arg(random_() % 180)
                                         .arg(random_() % 60)
                                   : blanks);
        const QDateTime when(QDate(1995, 1, 1).addDays(random_() % 11000),
                             QTime(int(random_() % 24), int(random_() % 60)), Qt::UTC);
        row << locale_.formatDisplayDateTime(when, 0);
        row << (random_() % 4 == 0
                    ? QStringLiteral("Heard on net night, weak signal %1").arg(random_() % 100000)
                    : blanks);
        return row;
    }

private:
    QString callsign()
    {
        static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        QString call;
        call += QChar(u"KNW"[random_() % 3]);
        call += QChar(letters[random_() % 26]);
        call += QChar(u'0' + char16_t(random_() % 10));
        for (int i = 0; i < 3; ++i)
            call += QChar(letters[random_() % 26]);
        return call;
    }

    const wl::LocaleInfo& locale_;
    std::mt19937 random_{2024};
};

struct Shared
{
    std::unique_ptr<wl::TSortableGrid> grid;
    double fillSeconds = 0;
    long rssBeforeKb = 0;
    long rssAfterKb = 0;
};

Shared& shared()
{
    static Shared s;
    if (s.grid)
        return s;
    const wl::LocaleInfo locale = wl::LocaleInfo::current();
    RecordTexts texts(locale);
    s.rssBeforeKb = currentRssKb();
    s.grid = std::make_unique<wl::TSortableGrid>();
    wl::TSortableGrid& grid = *s.grid;
    grid.SetFixedCols(0);
    grid.resize(1024, 768);
    QElapsedTimer timer;
    timer.start();
    grid.BeginUpdate();
    grid.SetColCount(kCols);
    grid.SetRowCount(kRows + 1);
    const QStringList headings = {" Category",  " Frequency(MHz)", " +-",      " Callsign",
                                  " User",      " Location",       " Special", " Position",
                                  " Date/Time", " Notes"};
    for (int col = 0; col < kCols; ++col)
        grid.SetCells(col, 0, headings[col]);
    for (int row = 1; row <= kRows; ++row) {
        const QStringList cells = texts.next();
        for (int col = 0; col < kCols; ++col)
            grid.SetCells(col, row, cells[col]);
    }
    grid.EndUpdate();
    s.fillSeconds = double(timer.nsecsElapsed()) / 1e9;
    grid.show();
    s.rssAfterKb = currentRssKb();
    return s;
}

void BM_Fill(benchmark::State& state)
{
    Shared& s = shared();
    for (auto _ : state)
        state.SetIterationTime(s.fillSeconds);
    state.counters["model_MB"] = double(s.grid->Model().memoryBytes()) / 1e6;
    state.counters["rss_growth_MB"] = double(s.rssAfterKb - s.rssBeforeKb) / 1024.0;
    state.counters["peak_rss_MB"] = double(peakRssKb()) / 1024.0;
}
BENCHMARK(BM_Fill)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void sortBench(benchmark::State& state, int col)
{
    wl::TSortableGrid& grid = *shared().grid;
    wl::TSortOptions options; // detected kind, ascending, as a heading click does
    for (auto _ : state) {
        grid.SortColumn(col, options);
        state.PauseTiming();
        grid.RestoreUnsortedOrder();
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = double(peakRssKb()) / 1024.0;
}

void BM_SortFrequency(benchmark::State& state)
{
    sortBench(state, 1);
}
BENCHMARK(BM_SortFrequency)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortCallsign(benchmark::State& state)
{
    sortBench(state, 3);
}
BENCHMARK(BM_SortCallsign)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortCategory(benchmark::State& state)
{
    sortBench(state, 0);
}
BENCHMARK(BM_SortCategory)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortDateTime(benchmark::State& state)
{
    sortBench(state, 8);
}
BENCHMARK(BM_SortDateTime)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FitColumn(benchmark::State& state)
{
    wl::TSortableGrid& grid = *shared().grid;
    for (auto _ : state)
        grid.FitColumnWidth(0);
}
BENCHMARK(BM_FitColumn)->Unit(benchmark::kMillisecond)->Iterations(5);

// One screen of the grid (1024 x 768) painted into an image, scrolled to a new place each time.
void BM_PaintScreen(benchmark::State& state)
{
    wl::TSortableGrid& grid = *shared().grid;
    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int row = 1;
    for (auto _ : state) {
        row = (row + 40'123) % kRows + 1;
        grid.GoToCell(0, row);
        grid.viewport()->render(&image);
    }
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    shared().grid.reset();
    benchmark::Shutdown();
    return 0;
}
