#pragma once
// One epoll set per thread, watched by a single notifier of the event loop.
// With hundreds of sockets open the loop then polls one descriptor instead of
// hundreds; readiness is sorted out here, and each socket's events are raised
// from the loop (the notifier's callback, or an event posted to continue).
//
// Fairness: readiness is taken into a queue when the notifier fires and served
// in order, a few milliseconds' worth per turn of the loop (at least one
// watcher), so timers, input and painting run in between; the rest is served
// from posted events in the next turns before the kernel is asked again, so
// every ready socket has its turn. A watcher takes only a bounded share per
// call (level triggering brings it back) and copes with a call that finds
// nothing to do.
#include <cstddef>
#include <cstdint>
#include <vector>

class QObject;

namespace platform::detail {

class PollWatcher {
public:
    // `events` are epoll flags. The watcher may remove itself, add or remove
    // others, destroy itself or run a nested loop from here.
    virtual void OnPoll(uint32_t events) = 0;

protected:
    ~PollWatcher() = default;
};

class SocketPoller {
public:
    // The calling thread's poller (the event loop is made to exist first).
    static SocketPoller& ForThisThread();

    // Watches `fd` (level-triggered). Returns the registration's key, or 0
    // with errno set when the kernel refused it.
    uint64_t Add(int fd, uint32_t events, PollWatcher* watcher);
    // Changes the events watched; false with errno set on failure.
    bool Modify(int fd, uint64_t key, uint32_t events);
    // Forgets the registration; call before closing `fd`. Readiness already
    // collected for it is then ignored, even when the number is reused.
    void Remove(int fd, uint64_t key);

private:
    SocketPoller();
    // The notifier's callback: when the queue is empty, refills it from the
    // kernel and serves it at once; otherwise has it served.
    void Collect();
    // Serves queued readiness for one turn's budget.
    void Drain();
    void Refill();
    bool QueueEmpty() const { return next_ >= ready_.size(); }
    // Posts a Drain unless one is posted; done while readiness waits in the
    // queue, as the epoll descriptor alone may no longer wake the loop for it.
    void Schedule();
    PollWatcher* Live(uint64_t key) const;

    struct Slot {
        PollWatcher* watcher = nullptr;
        uint32_t generation = 1;
    };
    struct Ready {
        uint64_t key;
        uint32_t events;
    };
    int epollFd_ = -1;
    // Held so that it stays reachable for the leak checker once the
    // application object that listed it is gone.
    QObject* notifier_ = nullptr;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
    // Readiness taken from the kernel, served from next_ on; shared with
    // nested loops, which take entries from the same queue.
    std::vector<Ready> ready_;
    size_t next_ = 0;
    bool drainPosted_ = false;
};

}  // namespace platform::detail
