#include "platform/SocketPoller.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "platform/EventLoop.h"
#include "runtime/Error.h"

namespace platform::detail {

namespace {

// Readiness taken from the kernel at once: every session of a busy desk. The
// kernel moves what it reported to the back of its list, so more than this
// many ready sockets still take turns.
constexpr int kBatch = 512;
// Time one turn of the loop spends serving sockets (after the first, which is
// always served): short against a frame or a timer's tolerance, long against
// the cost of a loop turn.
constexpr std::chrono::microseconds kTurnBudget{4000};

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
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { Collect(); });
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

void SocketPoller::Collect() {
    if (!QueueEmpty()) {
        Schedule();  // the rest of the last collection goes first
        return;
    }
    Refill();
    if (QueueEmpty()) return;
    // Served in the turn it is seen, behind what was posted before, as when
    // every socket was served right here.
    Drain();
    // Posted even with nothing left to serve: under the GLib dispatcher a
    // timer, once fired, waits for posted events or an idle turn before it
    // fires again, and a loop kept busy by readiness has no idle turn.
    Schedule();
}

void SocketPoller::Drain() {
    const auto start = std::chrono::steady_clock::now();
    bool served = false;
    while (!QueueEmpty()) {
        if (served && std::chrono::steady_clock::now() - start >= kTurnBudget) break;
        // Taken off first: the watcher may run a nested loop that drains too.
        const Ready r = ready_[next_++];
        PollWatcher* w = Live(r.key);
        if (!w) continue;
        if (!QueueEmpty()) Schedule();
        w->OnPoll(r.events);
        served = true;
    }
    if (!QueueEmpty()) Schedule();
}

void SocketPoller::Refill() {
    // A Drain holds no reference into the queue, so a nested loop may refill it.
    epoll_event events[kBatch];
    int n;
    do {
        n = epoll_wait(epollFd_, events, kBatch, 0);
    } while (n < 0 && errno == EINTR);
    ready_.clear();
    next_ = 0;
    for (int i = 0; i < n; ++i) ready_.push_back({events[i].data.u64, events[i].events});
}

void SocketPoller::Schedule() {
    if (drainPosted_) return;
    drainPosted_ = true;
    EventLoop::Post([this] {
        drainPosted_ = false;
        Drain();
    });
}

// Null when removed (and perhaps reused) since its readiness was taken.
PollWatcher* SocketPoller::Live(uint64_t key) const {
    const uint32_t index = IndexOf(key);
    if (index >= slots_.size() || slots_[index].generation != GenerationOf(key)) return nullptr;
    return slots_[index].watcher;
}

}  // namespace platform::detail
