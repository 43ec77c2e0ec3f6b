// Import of a comma-delimited file of a million records through the import window, beside the
// sqlite3 shell's .import of the same file. Each side runs in a process of its own, so the peak
// memory of one does not show in the other.
//
// Ours: reading the file into the window's spreadsheet (with its column fitting), building the
// records and storing them in the frequency table with its indexes, all-or-none, and the main
// window's record list refilled from the table, as the window does after every import (that
// refill is also timed on its own, so the ratio is given with and without it).
// Shell: .import into a table of eight text columns, then the frequency index built after the
// import (the quickest way for the shell), in one transaction.
//
// Run from a Release build with QT_QPA_PLATFORM=offscreen: bench_import [rows].

#include "app/TFormMain.h"
#include "app/services/MessageService.h"
#include "app/services/UiServices.h"
#include "bench/support/SqliteShell.h"
#include "exchange/import/TFormImport.h"
#include "grid/TSortableGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <random>

namespace wl {
namespace {

// Answers every message box with OK and keeps the last text, so the run can check the count.
class Answers : public MessageService
{
public:
    QString last;
    QMessageBox::StandardButton show(const MessageRequest& request) override
    {
        last = request.text;
        return QMessageBox::Ok;
    }
};

// A size line of /proc/self/status ("VmHWM", "RssAnon", "RssFile"), in kB.
long statusKb(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').front().toLong();
    }
    return -1;
}

// The peak resident size of this process so far, in kB; resetPeak starts it again from now.
long highWaterKb()
{
    return statusKb("VmHWM");
}

void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

long peakKb(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

// Eight columns as the import window wants them: frequency, modifier, call sign, user,
// location, special, date and time, notes.
bool writeCsv(const QString& path, int rows)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::mt19937 rng(20261210);
    static const char* const places[] = {"Portland", "Seattle", "Boise", "Spokane", "Eugene"};
    QByteArray line;
    for (int i = 0; i < rows; ++i) {
        line.clear();
        line += QByteArray::number(118.0 + double(rng() % 5000000) / 100000.0, 'f', 5);
        line += ",";
        line += " +-"[rng() % 3];
        line += ",K";
        line += char('A' + rng() % 26);
        line += QByteArray::number(rng() % 10);
        line += "ABC,User ";
        line += QByteArray::number(i % 5000);
        line += ",";
        line += places[rng() % 5];
        line += ",CTCSS ";
        line += QByteArray::number(67 + rng() % 180);
        line += ",3/";
        line += QByteArray::number(1 + rng() % 28);
        line += "/2004 1:30 PM,\"Heard on the evening net, strong signal\"\r\n";
        if (file.write(line) != line.size())
            return false;
    }
    return true;
}

int runOurs(const QString& csv, const QString& folder)
{
    Answers answers;
    UiServices::setMessages(&answers);
    QDir().mkpath(folder);
    TFormMain main({folder, folder, folder + QStringLiteral("/settings.ini")});
    main.show(); // opens the table, as at the program's start
    TFormImport form(main);
    QElapsedTimer timer;
    const double cpuBefore = processCpuSeconds();
    timer.start();
    form.FillGrid(csv);
    const double filled = double(timer.nsecsElapsed()) / 1e9;
    // The processor time of the read, all threads: steadier than the clock on a busy machine.
    std::fprintf(stderr, "read into the window: %.3f s of processor time\n",
                 processCpuSeconds() - cpuBefore);
    const long filledPeak = highWaterKb();
    const double gridMb = double(form.SortableGrid2->Model().memoryBytes()) / 1e6;
    form.FormActivate(); // fills the category list
    if (form.ListCategory->count() == 0)
        return 1;
    form.ListCategory->setCurrentRow(0);
    // The store ends where the main list starts changing for its refill.
    double stored = -1;
    long storedPeak = 0;
    const QAbstractItemModel* list = &main.SortableGrid1->Model();
    const auto markStored = [&] {
        if (stored >= 0)
            return;
        stored = double(timer.nsecsElapsed()) / 1e9;
        storedPeak = highWaterKb();
    };
    QObject::connect(list, &QAbstractItemModel::modelAboutToBeReset, list, markStored);
    QObject::connect(list, &QAbstractItemModel::layoutAboutToBeChanged, list, markStored);
    QObject::connect(list, &QAbstractItemModel::rowsAboutToBeRemoved, list, markStored);
    QObject::connect(list, &QAbstractItemModel::rowsAboutToBeInserted, list, markStored);
    QObject::connect(list, &QAbstractItemModel::columnsAboutToBeInserted, list, markStored);
    QObject::connect(list, &QAbstractItemModel::columnsAboutToBeRemoved, list, markStored);
    const long beforeConvert = highWaterKb();
    form.BtnConvert->click();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::fprintf(stderr,
                 "convert and store until the list refill starts: %.3f s (peak %ld MB before the "
                 "convert, %ld MB when the refill starts)\n",
                 stored - filled, beforeConvert / 1024, storedPeak / 1024);
    const long peak = peakKb(RUSAGE_SELF);
    // What stays resident once the records are stored and listed: the table's files read
    // through memory mapping count as file pages, everything else as anonymous memory.
    std::fprintf(stderr,
                 "held after the import: %ld MB anonymous (the main list's cells %.0f MB, the "
                 "spreadsheet's %.0f MB), %ld MB of mapped table files\n",
                 statusKb("RssAnon") / 1024,
                 double(main.SortableGrid1->Model().memoryBytes()) / 1e6,
                 double(form.SortableGrid2->Model().memoryBytes()) / 1e6,
                 statusKb("RssFile") / 1024);
    // The convert ends with the main window's list refilled from the table; timed once more on
    // its own so the report can say how much of the whole that refill is.
    resetPeak();
    const long before = highWaterKb();
    timer.restart();
    main.ReadAllRecords();
    const double refill = double(timer.nsecsElapsed()) / 1e9;
    std::fprintf(stderr,
                 "phases: read into the window %.3f s (peak %ld MB, spreadsheet cells %.0f MB), "
                 "convert and store %.3f s (of which the main list refill about %.3f s, its peak "
                 "%ld MB over the %ld MB held before it)\n",
                 filled, filledPeak / 1024, gridMb, seconds - filled, refill,
                 (highWaterKb() - before) / 1024, before / 1024);
    std::printf("%.3f %ld %.3f %s\n", seconds, peak, refill, qPrintable(answers.last));
    UiServices::setMessages(nullptr);
    return 0;
}

int runShell(const QString& csv, const QString& folder)
{
    QDir().mkpath(folder);
    const QString script =
        QStringLiteral("BEGIN;\nCREATE TABLE records(Hz TEXT, Modifier TEXT, Callsign TEXT, "
                       "User TEXT, Location TEXT, Optional TEXT, RDate TEXT, Notes TEXT);\n"
                       ".mode csv\n.import '%1' records\n"
                       "CREATE INDEX ix1 ON records(CAST(Hz AS REAL));\nCOMMIT;\n")
            .arg(csv);
    const double seconds =
        bench::timeSqliteShell(QDir(folder).filePath(QStringLiteral("shell.db")), script);
    if (seconds < 0)
        return 1;
    std::printf("%.3f %ld\n", seconds, peakKb(RUSAGE_CHILDREN));
    return 0;
}

// Runs one side in a child process; returns its output line.
QString side(const QString& which, const QString& csv, const QString& folder)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {which, csv, folder});
    child.waitForFinished(-1);
    return QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
}

} // namespace
} // namespace wl

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wavelark"));
    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--ours"))
        return wl::runOurs(args[2], args[3]);
    if (args.size() == 4 && args[1] == QLatin1String("--shell"))
        return wl::runShell(args[2], args[3]);

    const int rows = args.size() > 1 ? args[1].toInt() : 1'000'000;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("records.csv"));
    if (!wl::writeCsv(csv, rows))
        return 1;
    const double mb = double(QFileInfo(csv).size()) / 1e6;
    const QString shell = wl::side(QStringLiteral("--shell"), csv, dir.filePath("shell"));
    const QString ours = wl::side(QStringLiteral("--ours"), csv, dir.filePath("ours"));
    const QStringList s = shell.split(u' ');
    const QStringList o = ours.split(u' ');
    if (s.size() < 2 || o.size() < 3) {
        std::printf("a side failed: shell \"%s\", ours \"%s\"\n", qPrintable(shell),
                    qPrintable(ours));
        return 1;
    }
    std::printf("file: %d rows, %.1f MB\n", rows, mb);
    std::printf("shell: %s s, peak %.0f MB\n", qPrintable(s[0]), s[1].toDouble() / 1024);
    std::printf("ours:  %s s, peak %.0f MB (%s)\n", qPrintable(o[0]), o[1].toDouble() / 1024,
                qPrintable(o.mid(3).join(u' ')));
    std::printf("time ratio %.2f (%.2f without the list refill), peak / file size %.2f\n",
                o[0].toDouble() / s[0].toDouble(),
                (o[0].toDouble() - o[2].toDouble()) / s[0].toDouble(), o[1].toDouble() / 1024 / mb);
    return 0;
}
