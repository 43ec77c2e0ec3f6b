#include "update/TwlCustomThread.h"

#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace wl {

struct TwlCustomThread::PendingCall
{
    std::mutex mutex;
    std::condition_variable done;
    bool cancelled = false;
    bool finished = false;
};

TwlCustomThread::TwlCustomThread(QObject* parent) : QObject(parent) {}

TwlCustomThread::~TwlCustomThread()
{
    Stop();
}

bool TwlCustomThread::Execute(std::function<void()> body, std::function<void()> onFinish,
                              std::function<void(const QString&)> onException)
{
    if (busy_)
        return false;
    if (thread_.joinable())
        thread_.join();
    terminated_ = false;
    busy_ = true;
    const unsigned generation = ++generation_;
    thread_ = std::thread([this, generation, body = std::move(body), onFinish = std::move(onFinish),
                           onException = std::move(onException)] {
        try {
            body();
        } catch (const std::exception& e) {
            if (onException) {
                const QString what = QString::fromLocal8Bit(e.what());
                Synchronize([onException, what] { onException(what); });
            }
        } catch (...) {
            if (onException)
                Synchronize([onException] { onException(QStringLiteral("Unknown error")); });
        }
        QMetaObject::invokeMethod(
            this, [this, generation, onFinish] { finish(generation, onFinish); },
            Qt::QueuedConnection);
    });
    return true;
}

void TwlCustomThread::finish(unsigned generation, const std::function<void()>& onFinish)
{
    // A worker that was stopped has been joined already and its outcome is not wanted.
    if (generation != generation_ || !busy_)
        return;
    if (thread_.joinable())
        thread_.join();
    busy_ = false;
    if (onFinish)
        onFinish();
}

bool TwlCustomThread::Synchronize(const std::function<void()>& call)
{
    if (terminated_)
        return false;
    auto pending = std::make_shared<PendingCall>();
    QMetaObject::invokeMethod(
        this,
        [pending, call] {
            {
                std::lock_guard lock(pending->mutex);
                if (pending->cancelled)
                    return; // the worker gave up on it; call may be gone
            }
            call();
            std::lock_guard lock(pending->mutex);
            pending->finished = true;
            pending->done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(pending->mutex);
    while (!pending->finished) {
        if (terminated_) {
            pending->cancelled = true;
            return false;
        }
        pending->done.wait_for(lock, std::chrono::milliseconds(20));
    }
    return true;
}

void TwlCustomThread::Stop()
{
    terminated_ = true;
    if (thread_.joinable())
        thread_.join();
    busy_ = false;
    ++generation_;
}

} // namespace wl
