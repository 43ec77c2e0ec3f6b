#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace wl {

// Runs one piece of work at a time on a worker thread and hands calls over to the thread that
// owns this object (the user-interface thread). A worker is never killed: Terminate raises a
// flag that the work checks, and Wait joins the thread.
class TwlCustomThread : public QObject
{
    Q_OBJECT
public:
    explicit TwlCustomThread(QObject* parent = nullptr);
    ~TwlCustomThread() override;

    // Starts body on a fresh worker; onFinish then runs on this object's thread. An exception
    // that escapes body goes to onException, also on this object's thread. False when busy.
    bool Execute(std::function<void()> body, std::function<void()> onFinish,
                 std::function<void(const QString&)> onException = {});

    // From the worker: runs call on this object's thread and waits until it has run. Returns
    // false without waiting any longer once the worker has been told to terminate, so that the
    // owner can join the worker from inside a handler. The call is copied and may still run
    // after a false return: it must capture values or objects that outlive the worker.
    bool Synchronize(const std::function<void()>& call);

    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Busy() const { return busy_; }
    // Terminates the worker and waits for it to end. Its finish call is dropped.
    void Stop();

private:
    struct PendingCall;
    void finish(unsigned generation, const std::function<void()>& onFinish);

    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> busy_{false};
    unsigned generation_ = 0;
};

} // namespace wl
