#pragma once
// One epoll set per thread, watched by a single notifier of the event loop.
// With hundreds of sockets open the loop then polls one descriptor instead of
// hundreds; readiness is sorted out here, and each socket's events are raised
// from the notifier's callback, i.e. from the loop.
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
    void Drain();

    struct Slot {
        PollWatcher* watcher = nullptr;
        uint32_t generation = 1;
    };
    int epollFd_ = -1;
    // Held so that it stays reachable for the leak checker once the
    // application object that listed it is gone.
    QObject* notifier_ = nullptr;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
};

}  // namespace platform::detail
