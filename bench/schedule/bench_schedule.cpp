// A season schedule of 12,000 lines as listeners get them: importing it into the store (read,
// checked and written), looking up what is on one frequency at a moment, and redrawing the
// band strip of the busy 49 m band. The season is generated: frequencies over the broadcast
// bands, times across the day (some across midnight), day patterns and 300 site codes.
#include "schedule/BroadcastBand.h"
#include "schedule/OnAirLookup.h"
#include "schedule/ScheduleImport.h"
#include "schedule/ScheduleParser.h"
#include "schedule/ScheduleStore.h"
#include "schedule/ui/BandStrip.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <random>

using namespace wl;
using namespace wl::schedule;

namespace {

constexpr int Lines = 12000;
const QDate Day(2024, 12, 11);
const QDateTime Evening(Day, QTime(21, 30), Qt::UTC);

QByteArray seasonBytes()
{
    std::mt19937 rng(7);
    const auto& bands = BroadcastBand::all();
    const char* const days[] = {"", "", "", "Mo-Fr", "Sa,Su", "Sa-Mo", "1245", "irr"};
    QByteArray out = "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;"
                     "Remarks:135;P:35;Start:60;Stop:60;\r\n";
    for (int i = 0; i < Lines; ++i) {
        // Two lines in three in the busy bands from 49 m to 19 m.
        const BroadcastBand& band = bands[rng() % 3 ? 6 + rng() % 6 : rng() % bands.size()];
        const int khz = int(band.lowKhz) + int(rng() % int(band.highKhz - band.lowKhz) / 5 * 5);
        const int start = int(rng() % 96) * 15;
        const int stop = (start + 30 + int(rng() % 8) * 30) % 1440;
        out += QStringLiteral("%1;%2%3-%4%5;%6;D;Station %7 Gr\u00fc\u00dfe;E;Eu;#S%8;1;;;\r\n")
                   .arg(khz)
                   .arg(start / 60, 2, 10, QLatin1Char('0'))
                   .arg(start % 60, 2, 10, QLatin1Char('0'))
                   .arg(stop / 60, 2, 10, QLatin1Char('0'))
                   .arg(stop % 60, 2, 10, QLatin1Char('0'))
                   .arg(QLatin1String(days[rng() % 8]))
                   .arg(i)
                   .arg(rng() % 300)
                   .toLatin1();
    }
    return out;
}

std::vector<Site> sites()
{
    std::vector<Site> list;
    for (int i = 0; i < 300; ++i)
        list.push_back({QStringLiteral("S%1").arg(i), QStringLiteral("Site %1").arg(i),
                        -60.0 + i * 0.4, -179.0 + i * 1.19});
    return list;
}

struct Season
{
    QTemporaryDir dir;
    QString file;

    Season()
    {
        file = dir.filePath(QStringLiteral("B24.txt"));
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(seasonBytes());
    }
};

Season& season()
{
    static Season s;
    return s;
}

OnAirLookup& lookup()
{
    static OnAirLookup l(ScheduleParser::parse(seasonBytes()).entries, sites(),
                         makeLLPoint(-690120, 278139960));
    return l;
}

void BM_ImportSeason(benchmark::State& state)
{
    for (auto _ : state) {
        ScheduleStore store;
        store.open(season().dir.path());
        const ImportReport report =
            ScheduleImport::schedule(store, season().file, BadLines::Refuse, {}, Day);
        if (!report.ok || report.stored < Lines * 9 / 10)
            state.SkipWithError("the season was not stored");
    }
    state.counters["lines"] = Lines;
}
BENCHMARK(BM_ImportSeason)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_LoadSeasonFromStore(benchmark::State& state)
{
    ScheduleStore store;
    store.open(season().dir.path());
    ScheduleImport::schedule(store, season().file, BadLines::Refuse, {}, Day);
    for (auto _ : state) {
        auto l = store.lookupFor(Day, std::nullopt);
        benchmark::DoNotOptimize(l);
    }
}
BENCHMARK(BM_LoadSeasonFromStore)->Unit(benchmark::kMillisecond);

void BM_OnAirLookup(benchmark::State& state)
{
    const OnAirLookup& l = lookup();
    size_t found = 0;
    for (auto _ : state) {
        const auto hits = l.find(6070, 5, Evening);
        found = hits.size();
        benchmark::DoNotOptimize(hits.data());
    }
    state.counters["found"] = double(found);
}
BENCHMARK(BM_OnAirLookup)->Unit(benchmark::kMicrosecond);

void BM_BandStripRedraw(benchmark::State& state)
{
    BandStrip strip;
    strip.resize(800, 110);
    strip.setBand(5900, 6200);
    const auto hits = lookup().band(5900, 6200, Evening);
    strip.setOnAir(hits);
    std::vector<LoggedMark> logged;
    for (int i = 0; i < 500; ++i)
        logged.push_back({5900.0 + i * 0.6, QStringLiteral("Log %1").arg(i)});
    strip.setLogged(logged);
    QImage image(strip.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        // What a redraw costs: the band's marks read again and painted.
        strip.setOnAir(lookup().band(5900, 6200, Evening));
        strip.render(&image);
    }
    state.counters["marks"] = double(hits.size() + logged.size());
}
BENCHMARK(BM_BandStripRedraw)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
