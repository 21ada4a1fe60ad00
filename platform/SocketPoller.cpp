#include "platform/SocketPoller.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/EventLoop.h"
#include "runtime/Error.h"

namespace platform::detail {

namespace {

// Readiness taken per turn of the loop: enough for every session of a busy
// desk at once, small enough that timers and posted events keep their turn
// (level triggering reports the rest on the next turn).
constexpr int kBatch = 512;

uint32_t IndexOf(uint64_t key) {
    return static_cast<uint32_t>(key & 0xFFFFFFFFu);
}

uint32_t GenerationOf(uint64_t key) {
    return static_cast<uint32_t>(key >> 32);
}

}  // namespace

SocketPoller& SocketPoller::ForThisThread() {
    // Never destroyed: sockets in static objects may outlive any other order,
    // and the application object it hangs on lives as long.
    thread_local SocketPoller* poller = nullptr;
    if (!poller) {
        EventLoop::Ensure();
        poller = new SocketPoller();
    }
    return *poller;
}

SocketPoller::SocketPoller() {
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    if (epollFd_ < 0) {
        throw runtime::Error(runtime::errc::InvalidProcedureCall,
                             std::string("Cannot watch sockets: ") + std::strerror(errno));
    }
    auto* notifier = new QSocketNotifier(epollFd_, QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { Drain(); });
    notifier_ = notifier;
}

uint64_t SocketPoller::Add(int fd, uint32_t events, PollWatcher* watcher) {
    uint32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        index = static_cast<uint32_t>(slots_.size());
        slots_.emplace_back();
    }
    Slot& slot = slots_[index];
    const uint64_t key = uint64_t{slot.generation} << 32 | index;
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = key;
    if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) != 0) {
        const int err = errno;
        free_.push_back(index);
        errno = err;
        return 0;
    }
    slot.watcher = watcher;
    return key;
}

bool SocketPoller::Modify(int fd, uint64_t key, uint32_t events) {
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = key;
    return epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &ev) == 0;
}

void SocketPoller::Remove(int fd, uint64_t key) {
    const uint32_t index = IndexOf(key);
    if (index >= slots_.size() || slots_[index].generation != GenerationOf(key)) return;
    epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    Slot& slot = slots_[index];
    slot.watcher = nullptr;
    if (++slot.generation == 0) slot.generation = 1;  // key 0 stays "none"
    free_.push_back(index);
}

void SocketPoller::Drain() {
    // On the stack: a watcher may run a nested loop that drains again.
    epoll_event events[kBatch];
    int n;
    do {
        n = epoll_wait(epollFd_, events, kBatch, 0);
    } while (n < 0 && errno == EINTR);
    for (int i = 0; i < n; ++i) {
        const uint64_t key = events[i].data.u64;
        const uint32_t index = IndexOf(key);
        // Removed (and perhaps reused) since the batch was taken: stale.
        if (index >= slots_.size() || slots_[index].generation != GenerationOf(key)) continue;
        if (PollWatcher* w = slots_[index].watcher) w->OnPoll(events[i].events);
    }
}

}  // namespace platform::detail
