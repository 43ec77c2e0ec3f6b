#pragma once

#include "rig/RigControl.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace wl::rig::test {

inline void ensureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "rig_tests";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

// Runs the event loop until done() holds or the time is up; every wait in the tests is bounded.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline bool portOpen(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(200);
}

inline QString address(quint16 port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

inline RigSettings networkSettings(quint16 port)
{
    RigSettings s;
    s.kind = RigSettings::Kind::Network;
    s.address = address(port);
    return s;
}

// The radio library's dummy radio behind its network daemon, on a free loopback port.
class Rigctld
{
public:
    explicit Rigctld(quint16 port = freePort()) : port_(port) {}
    ~Rigctld() { stop(); }

    bool start()
    {
        process_.start(QStringLiteral("rigctld"),
                       {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                        QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(port_)});
        if (!process_.waitForStarted(5000))
            return false;
        return waitFor([this] { return portOpen(port_); }, 10000);
    }
    void stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    quint16 port() const { return port_; }

    // One command through the library's own command-line client, e.g. "f" or "M AM 0".
    QString rigctl(const QStringList& command) const
    {
        QProcess p;
        p.start(QStringLiteral("rigctl"), QStringList{QStringLiteral("-m"), QStringLiteral("2"),
                                                      QStringLiteral("-r"), address(port_)} +
                                              command);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(2000);
            return QStringLiteral("(rigctl did not finish)");
        }
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    }

private:
    quint16 port_;
    QProcess process_;
};

// A loopback server that speaks the rigctl network protocol badly, on a thread of its own so
// that it answers (or does not) while the test waits.
class BadRigServer
{
public:
    enum class Manner
    {
        Silent,  // reads and never answers
        Garbage, // answers every line with bytes that are no answer
        HangUp,  // sends half an answer and closes
        Slow,    // answers correctly, after a delay
    };

    BadRigServer(Manner manner, int delayMs = 5000)
        : thread_(QThread::create([this, manner, delayMs] { serve(manner, delayMs); }))
    {
        thread_->start();
        waitFor([this] { return port_.loadAcquire() != 0; }, 5000);
    }
    ~BadRigServer()
    {
        stop_.storeRelease(1);
        thread_->wait(10000);
    }
    quint16 port() const { return static_cast<quint16>(port_.loadAcquire()); }

private:
    void serve(Manner manner, int delayMs)
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        port_.storeRelease(server.serverPort());
        std::vector<std::unique_ptr<QTcpSocket>> clients;
        while (!stop_.loadAcquire()) {
            if (server.waitForNewConnection(20))
                clients.emplace_back(server.nextPendingConnection());
            for (auto& client : clients)
                answer(*client, manner, delayMs);
        }
    }

    void answer(QTcpSocket& client, Manner manner, int delayMs)
    {
        if (client.state() != QAbstractSocket::ConnectedState || !client.waitForReadyRead(5))
            return;
        client.readAll();
        switch (manner) {
        case Manner::Silent:
            return;
        case Manner::Garbage:
            client.write(QByteArray("\x01\xff zz!!\n?? RPRX\n", 15));
            break;
        case Manner::HangUp:
            client.write("14");
            client.waitForBytesWritten(100);
            client.disconnectFromHost();
            return;
        case Manner::Slow:
            for (QDeadlineTimer d(delayMs); !d.hasExpired() && !stop_.loadAcquire();)
                QThread::msleep(10);
            client.write("RPRT 0\n");
            break;
        }
        client.waitForBytesWritten(100);
    }

    std::unique_ptr<QThread> thread_;
    QAtomicInt port_;
    QAtomicInt stop_;
};

} // namespace wl::rig::test
