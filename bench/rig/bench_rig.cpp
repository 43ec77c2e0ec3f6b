// The window thread while the radio is slow: a scan of three records through a loopback proxy
// that holds every reply of the radio (rigctld's dummy radio) for one second. A 1 ms timer on
// the window thread measures the longest gap between its ticks, which is the longest time the
// window could not answer the user; it must stay under 20 ms.
//
//   bench_rig        needs rigctld on the PATH
#include "dialogs/ScanController.h"
#include "grid/LocaleInfo.h"
#include "grid/TSortableGrid.h"
#include "rig/RigControl.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>

namespace {

constexpr int ReplyDelayMs = 1000;

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void runEvents(int ms, const std::function<bool()>& done = {})
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired() && !(done && done())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

// Passes the rigctl protocol through to the radio, holding each reply once `slow` is set.
class SlowProxy
{
public:
    explicit SlowProxy(quint16 upstream)
        : thread_(QThread::create([this, upstream] { serve(upstream); }))
    {
        thread_->start();
        while (port_.load() == 0)
            QThread::msleep(5);
    }
    ~SlowProxy()
    {
        stop_ = true;
        thread_->wait(10000);
    }
    quint16 port() const { return port_.load(); }
    std::atomic<bool> slow{false};

private:
    struct Pair
    {
        std::unique_ptr<QTcpSocket> client;
        std::unique_ptr<QTcpSocket> radio;
    };

    void serve(quint16 upstream)
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        port_ = server.serverPort();
        std::vector<Pair> pairs;
        while (!stop_) {
            if (server.waitForNewConnection(5)) {
                Pair p{std::unique_ptr<QTcpSocket>(server.nextPendingConnection()),
                       std::make_unique<QTcpSocket>()};
                p.radio->connectToHost(QHostAddress::LocalHost, upstream);
                p.radio->waitForConnected(2000);
                pairs.push_back(std::move(p));
            }
            for (Pair& p : pairs)
                pass(p);
        }
    }

    void pass(Pair& p)
    {
        if (p.client->state() != QAbstractSocket::ConnectedState)
            return;
        if (p.client->waitForReadyRead(1))
            p.radio->write(p.client->readAll());
        p.radio->waitForBytesWritten(100);
        QByteArray reply;
        // A reply may come in pieces; it is complete when the radio has been quiet a moment.
        while (p.radio->waitForReadyRead(reply.isEmpty() ? 1 : 30))
            reply += p.radio->readAll();
        if (reply.isEmpty())
            return;
        if (slow)
            QThread::msleep(ReplyDelayMs);
        p.client->write(reply);
        p.client->waitForBytesWritten(100);
    }

    std::unique_ptr<QThread> thread_;
    std::atomic<quint16> port_{0};
    std::atomic<bool> stop_{false};
};

void BM_ScanAgainstSlowRadio(benchmark::State& state)
{
    const quint16 radioPort = freePort();
    QProcess rigctld;
    rigctld.start(QStringLiteral("rigctld"),
                  {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                   QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(radioPort)});
    QThread::msleep(1500);
    SlowProxy proxy(radioPort);

    wl::TSortableGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(4);
    const qint64 frequencies[] = {0, 5900000, 9580000, 11955000};
    for (auto _ : state) {
        wl::rig::RigControl control(nullptr, 3 * ReplyDelayMs);
        wl::rig::RigSettings settings;
        settings.kind = wl::rig::RigSettings::Kind::Network;
        settings.address = QStringLiteral("127.0.0.1:%1").arg(proxy.port());
        settings.dwellSeconds = 1;
        control.configure(settings);
        runEvents(20000, [&] { return control.state().connected; });
        if (!control.state().connected) {
            state.SkipWithError(
                ("the radio did not connect: " + control.state().reason.toStdString()).c_str());
            break;
        }
        // The program has its locale conventions long before a scan; so does the bench.
        wl::LocaleInfo::current();
        proxy.slow = true;
        wl::ScanController scan(grid, control, [&](int row) {
            return wl::ScanTarget{frequencies[row], {}};
        });
        bool done = false;
        QObject::connect(&scan, &wl::ScanController::finished, [&] { done = true; });

        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        tick.start();
        scan.start(settings);
        runEvents(120000, [&] { return done; });
        state.counters["longest_stall_ms"] = double(longest);
        state.counters["scan_s"] = double(clock.elapsed()) / 1000.0;
        state.counters["under_20ms"] = longest < 20 ? 1 : 0;
        proxy.slow = false;
    }
    rigctld.terminate();
    rigctld.waitForFinished(5000);
}

// The same measure with nothing to do: what the machine itself adds (other processes, the
// sanitizers of a debug build), to read the figure above against.
void BM_IdleEventLoop(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        tick.start();
        runEvents(5000);
        state.counters["longest_stall_ms"] = double(longest);
    }
}

BENCHMARK(BM_IdleEventLoop)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ScanAgainstSlowRadio)->Iterations(1)->Unit(benchmark::kSecond);

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
