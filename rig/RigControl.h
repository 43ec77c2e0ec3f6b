#pragma once

#include "rig/HamlibRadio.h"
#include "rig/RigSettings.h"
#include "rig/RigState.h"

#include <QObject>
#include <QThread>

namespace wl::rig {

class RigWorker;

// The window thread's handle on the radio. It starts the radio thread and hands it the
// settings and commands without waiting; the radio's state and the outcome of each command
// come back by signal. Destroying it closes the radio on its own thread and ends that thread.
class RigControl : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultPollMs = 300;

    explicit RigControl(QObject* parent = nullptr, int timeoutMs = HamlibRadio::DefaultTimeoutMs,
                        int pollMs = DefaultPollMs);
    ~RigControl() override;

    // Opens the radio these settings name (closing any other); Kind::None closes it.
    void configure(const RigSettings& settings);
    const RigSettings& settings() const { return settings_; }
    const RigState& state() const { return state_; }

    // Queues tuning to hz and, when mode is not empty, to that mode; the returned ticket comes
    // back with tuneFinished.
    quint64 tune(qint64 hz, const QString& mode = {});

signals:
    void stateChanged(const wl::rig::RigState& state);
    void tuneFinished(quint64 ticket, const QString& error);

private:
    void takeState(const RigState& state);

    QThread* thread_; // left running, never killed, if the radio library ever hangs
    RigWorker* worker_;
    RigSettings settings_;
    RigState state_;
    quint64 lastTicket_ = 0;
    int timeoutMs_;
};

} // namespace wl::rig
