#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace wl {

// A short queue that hands work from one thread to another: the producer puts items and waits
// while `capacity` of them are not yet taken, so a fast producer never piles up a whole table in
// memory; the consumer takes them in order.
//
// Either side ends the hand-over: the producer with finish() once it has put its last item (the
// consumer still takes what is queued), anyone with stop() (the producer's next put fails and
// the consumer's next take returns nothing, so a thread waiting on either side wakes).
template <typename T> class HandOverQueue
{
public:
    explicit HandOverQueue(std::size_t capacity) : capacity_(capacity > 0 ? capacity : 1) {}
    HandOverQueue(const HandOverQueue&) = delete;
    HandOverQueue& operator=(const HandOverQueue&) = delete;

    // Waits while the queue is full; false, without taking the item, once stopped.
    bool put(T&& item)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || items_.size() < capacity_; });
        if (stopped_)
            return false;
        items_.push_back(std::move(item));
        lock.unlock();
        changed_.notify_all();
        return true;
    }

    // No more items will be put.
    void finish()
    {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
        }
        changed_.notify_all();
    }

    // The next item; nothing once stopped, or once finished and every item was taken.
    std::optional<T> take()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || finished_ || !items_.empty(); });
        if (stopped_ || items_.empty())
            return std::nullopt;
        T item = std::move(items_.front());
        items_.pop_front();
        lock.unlock();
        changed_.notify_all();
        return item;
    }

    void stop()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }

    bool stopped() const
    {
        const std::lock_guard lock(mutex_);
        return stopped_;
    }

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    // One condition for both sides: at most one thread waits on each, so waking both is cheap.
    std::condition_variable changed_;
    std::deque<T> items_;
    bool finished_ = false;
    bool stopped_ = false;
};

} // namespace wl
