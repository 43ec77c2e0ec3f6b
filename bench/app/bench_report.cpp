// The record report at 10,000 to 1,000,000 records: time to the first page of the preview, to
// the last page, and to a whole PDF, each with the peak memory it added. The rows are made as
// the report asks for them, the way it reads them from the main window's grid, so what is
// measured is the report's own cost and not that of holding a million rows.
//
// Peak memory is the growth of the process's high-water mark over the run of one benchmark:
// the mark is reset through /proc/self/clear_refs before each run.
#include "app/report/GridReport.h"
#include "app/report/ReportFont.h"
#include "app/report/TPagePrinter.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace wl;

const QStringList Captions = {QStringLiteral(" Category"),  QStringLiteral(" Frequency(MHz)"),
                              QStringLiteral(" +-"),        QStringLiteral(" Callsign"),
                              QStringLiteral(" User"),      QStringLiteral(" Location"),
                              QStringLiteral(" Special"),   QStringLiteral(" Position"),
                              QStringLiteral(" Date/Time"), QStringLiteral(" Notes")};

// Record i as the grid shows it: every field as text, notes on three records in ten.
QStringList recordCells(int i)
{
    static const char* const categories[] = {"Police", "Short Wave", "Weather", "Fire", "Marine"};
    static const char* const places[] = {"Portland", "Seattle", "Boise", "Spokane", "Eugene"};
    const unsigned h = unsigned(i) * 2654435761u;
    return {QString::fromLatin1(categories[h % 5]),
            QStringLiteral("%1.%2").arg(100 + h % 800).arg(h % 10000, 4, 10, QLatin1Char('0')),
            QString(QLatin1Char(" +-"[h % 3])),
            QStringLiteral("KB%1XYZ").arg(h % 10),
            QStringLiteral("User %1").arg(i % 5000),
            QString::fromLatin1(places[(h >> 8) % 5]),
            QStringLiteral("CTCSS %1").arg(67 + h % 180),
            QStringLiteral("45 %1N 122 %2W").arg(h % 60).arg((h >> 4) % 60),
            QStringLiteral("3/14/2026 9:%1 PM").arg(h % 60, 2, 10, QLatin1Char('0')),
            h % 10 < 3 ? QStringLiteral("Heard during the evening net. Strong signal, net control "
                                        "KB%1XYZ.")
                             .arg(h % 7)
                       : QString()};
}

ReportSource sourceOf(int records)
{
    ReportSource s;
    s.title = QStringLiteral("All Records   0 - 9999 MHz");
    s.captions = Captions;
    s.notesShown = true;
    s.frequencyCaption = QStringLiteral("Frequency(MHz)");
    s.modifierCaption = QStringLiteral("+-");
    s.fetchCount = records;
    s.fetch = recordCells;
    return s;
}

long procKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Resets the high-water mark so the next reading covers only what follows.
long startPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
    return procKb("VmRSS:");
}

void reportPeak(benchmark::State& state, long startKb)
{
    state.counters["peak_added_MB"] = double(procKb("VmHWM:") - startKb) / 1024.0;
}

std::unique_ptr<QPrinter> letterPrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(600);
    printer->setPageSize(QPageSize(QPageSize::Letter));
    return printer;
}

// Shows page n at the preview's usual scale, as its paint box does.
void showPage(const TPagePrinter& pages, int n)
{
    QImage screen(1056, 816, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter painter(&screen);
    painter.scale(double(screen.width()) / pages.pageTwips().width(),
                  double(screen.height()) / pages.pageTwips().height());
    TPagePrinter::playPage(painter, *pages.PageMetafile(n));
}

void BM_PreviewFirstAndLastPage(benchmark::State& state)
{
    const ReportSource source = sourceOf(int(state.range(0)));
    const long start = startPeak();
    int count = 0;
    for (auto _ : state) {
        auto printer = letterPrinter();
        TPagePrinter pages(*printer);
        GridReport::draw(pages, source, ReportFont{}, QStringLiteral("12/10/26"));
        showPage(pages, 1);
        showPage(pages, pages.PageCount());
        count = pages.PageCount();
    }
    state.counters["pages"] = count;
    reportPeak(state, start);
}
BENCHMARK(BM_PreviewFirstAndLastPage)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

void BM_PagingThroughTheMiddle(benchmark::State& state)
{
    // Next Page pressed fifty times somewhere in the middle of a million records.
    const ReportSource source = sourceOf(1'000'000);
    auto printer = letterPrinter();
    TPagePrinter pages(*printer);
    GridReport::draw(pages, source, ReportFont{}, QStringLiteral("12/10/26"));
    for (auto _ : state) {
        for (int n = 30'000; n < 30'050; ++n)
            showPage(pages, n);
    }
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_PagingThroughTheMiddle)->Unit(benchmark::kMillisecond);

void BM_WholePdf(benchmark::State& state)
{
    const ReportSource source = sourceOf(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const long start = startPeak();
    qint64 bytes = 0;
    for (auto _ : state) {
        auto printer = letterPrinter();
        TPagePrinter pages(*printer);
        GridReport::draw(pages, source, ReportFont{}, QStringLiteral("12/10/26"));
        QString error;
        if (!pages.PrintToPdf(path, error))
            state.SkipWithError(error.toStdString().c_str());
        bytes = QFile(path).size();
    }
    state.counters["pdf_MB"] = double(bytes) / (1024.0 * 1024.0);
    reportPeak(state, start);
}
BENCHMARK(BM_WholePdf)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
