#include "rig/RigWorker.h"

#include <QThread>

#include <algorithm>

namespace wl::rig {

RigWorker::RigWorker(int timeoutMs, int pollMs) : radio_(timeoutMs), poll_(this), retry_(this)
{
    poll_.setInterval(pollMs);
    retry_.setSingleShot(true);
    connect(&poll_, &QTimer::timeout, this, &RigWorker::poll);
    connect(&retry_, &QTimer::timeout, this, &RigWorker::tryOpen);
}

void RigWorker::start(const RigSettings& settings)
{
    poll_.stop();
    retry_.stop();
    radio_.close();
    settings_ = settings;
    retryMs_ = FirstRetryMs;
    if (!settings_.configured()) {
        publish({});
        return;
    }
    tryOpen();
}

void RigWorker::tryOpen()
{
    const QString error = radio_.open(settings_);
    if (!error.isEmpty()) {
        lose(error);
        return;
    }
    retryMs_ = FirstRetryMs;
    poll();
    if (radio_.isOpen())
        poll_.start();
}

void RigWorker::poll()
{
    RigReading reading;
    const QString error = radio_.read(reading);
    if (!error.isEmpty()) {
        lose(error);
        return;
    }
    publish({true, reading, {}});
}

void RigWorker::lose(const QString& reason)
{
    poll_.stop();
    radio_.close();
    publish({false, {}, reason});
    retry_.start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, LastRetryMs);
}

void RigWorker::tune(quint64 ticket, qint64 hz, const QString& mode)
{
    if (!radio_.isOpen()) {
        const QString why = state_.reason.isEmpty() ? QStringLiteral("No radio is connected.")
                                                    : QStringLiteral("The radio is not "
                                                                     "connected: %1")
                                                          .arg(state_.reason);
        emit tuneFinished(ticket, why);
        return;
    }
    QString error = radio_.setFrequency(hz);
    if (error.isEmpty() && !mode.isEmpty())
        error = radio_.setMode(mode);
    emit tuneFinished(ticket, error);
    // The new frequency shows at once rather than at the next poll.
    if (radio_.isOpen())
        poll();
}

void RigWorker::shutdown()
{
    poll_.stop();
    retry_.stop();
    radio_.close();
    // Ended from here, after the radio is closed: a quit from the window thread could end the
    // loop before this call had run.
    thread()->quit();
}

void RigWorker::publish(const RigState& state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged(state_);
}

} // namespace wl::rig
