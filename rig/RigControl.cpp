#include "rig/RigControl.h"

#include "rig/RigWorker.h"

namespace wl::rig {

RigControl::RigControl(QObject* parent, int timeoutMs, int pollMs)
    : QObject(parent), thread_(new QThread), worker_(new RigWorker(timeoutMs, pollMs)),
      timeoutMs_(timeoutMs)
{
    qRegisterMetaType<RigSettings>();
    qRegisterMetaType<RigState>();
    thread_->setObjectName(QStringLiteral("radio"));
    worker_->moveToThread(thread_);
    connect(worker_, &RigWorker::stateChanged, this, &RigControl::takeState);
    connect(worker_, &RigWorker::tuneFinished, this, &RigControl::tuneFinished);
    thread_->start();
}

RigControl::~RigControl()
{
    QMetaObject::invokeMethod(worker_, &RigWorker::shutdown, Qt::QueuedConnection);
    // A call in progress ends within its time limits (open: a connect and a few reads).
    if (!thread_->wait(8 * timeoutMs_ + 2000)) {
        // Never reached while the limits hold; leaving the thread is safer than killing it
        // inside the radio library.
        qWarning("The radio thread did not end in time");
        return;
    }
    // The worker's timers were stopped on its own thread, so it may go from here.
    delete worker_;
    delete thread_;
}

void RigControl::configure(const RigSettings& settings)
{
    settings_ = settings;
    QMetaObject::invokeMethod(worker_, "start", Qt::QueuedConnection,
                              Q_ARG(wl::rig::RigSettings, settings));
}

quint64 RigControl::tune(qint64 hz, const QString& mode)
{
    const quint64 ticket = ++lastTicket_;
    QMetaObject::invokeMethod(worker_, "tune", Qt::QueuedConnection, Q_ARG(quint64, ticket),
                              Q_ARG(qint64, hz), Q_ARG(QString, mode));
    return ticket;
}

void RigControl::takeState(const RigState& state)
{
    state_ = state;
    emit stateChanged(state);
}

} // namespace wl::rig
