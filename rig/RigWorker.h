#pragma once

#include "rig/HamlibRadio.h"
#include "rig/RigSettings.h"
#include "rig/RigState.h"

#include <QObject>
#include <QTimer>

namespace wl::rig {

// Lives on the radio thread and owns the one connection: opens it, polls it, carries out the
// commands that arrive (in the order they arrive) and, when the connection is lost, reopens it
// with growing pauses. Everything it learns goes out by signal; nothing here is touched from
// another thread.
class RigWorker : public QObject
{
    Q_OBJECT

public:
    static constexpr int FirstRetryMs = 1000;
    static constexpr int LastRetryMs = 30000;

    RigWorker(int timeoutMs, int pollMs);

public slots:
    void start(const wl::rig::RigSettings& settings);
    void tune(quint64 ticket, qint64 hz, const QString& mode);
    void shutdown();

signals:
    void stateChanged(const wl::rig::RigState& state);
    void tuneFinished(quint64 ticket, const QString& error);

private:
    void tryOpen();
    void poll();
    void lose(const QString& reason);
    void publish(const RigState& state);

    HamlibRadio radio_;
    RigSettings settings_;
    RigState state_;
    QTimer poll_;
    QTimer retry_;
    int retryMs_ = FirstRetryMs;
};

} // namespace wl::rig
