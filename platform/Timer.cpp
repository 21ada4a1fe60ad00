#include "platform/Timer.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <set>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "runtime/Diagnostics.h"

#include "platform/EventLoop.h"

namespace platform {

namespace {

// Real time: one QTimer per Timer, made on its first start.
class LoopTimerDriver final : public TimerDriver {
public:
    void Start(Timer* timer, int32_t intervalMs) override {
        EventLoop::Ensure();
        QTimer*& q = timers_[timer];
        if (!q) {
            q = new QTimer();
            q->setTimerType(Qt::PreciseTimer);
            QObject::connect(q, &QTimer::timeout, [this, timer, q] { Tick(timer, q); });
        }
        q->start(intervalMs);  // restarts a running one
    }

    void Stop(Timer* timer) override {
        auto it = timers_.find(timer);
        if (it != timers_.end()) it->second->stop();
    }

    void Detach(Timer* timer) override {
        auto it = timers_.find(timer);
        if (it == timers_.end()) return;
        QTimer* q = it->second;
        timers_.erase(it);
        q->stop();
        QObject::disconnect(q, nullptr, nullptr, nullptr);
        // A timer destroyed from its own Tick is still inside the QTimer's signal.
        if (std::find(firing_.begin(), firing_.end(), q) != firing_.end()) {
            q->deleteLater();
        } else {
            delete q;
        }
    }

private:
    void Tick(Timer* timer, QTimer* q) {
        firing_.push_back(q);
        // Must not unwind through Qt's dispatch; the timer keeps running.
        // Fire may destroy `timer`; `q` then waits for deleteLater.
        runtime::RunReported("Timer Tick", [&] { Fire(timer); });
        firing_.pop_back();
    }

    std::unordered_map<Timer*, QTimer*> timers_;
    std::vector<QTimer*> firing_;  // a stack: a handler may run a nested loop
};

LoopTimerDriver& LoopDriver() {
    // Never destroyed: timers in static objects may outlive any other order.
    static auto* driver = new LoopTimerDriver();
    return *driver;
}

TimerDriver* g_current = nullptr;

}  // namespace

// ---- TimerDriver ----------------------------------------------------------

TimerDriver& TimerDriver::Current() {
    return g_current ? *g_current : LoopDriver();
}

void TimerDriver::Install(TimerDriver* driver) {
    g_current = driver;
}

void TimerDriver::Fire(Timer* timer) {
    timer->Fired();
}

void TimerDriver::Rebind(Timer* timer, TimerDriver& driver) {
    timer->driver_ = &driver;
    driver.Attach(timer);
    if (timer->enabled_ && timer->interval_ > 0) driver.Start(timer, timer->interval_);
}

// ---- Timer ------------------------------------------------------------------

Timer::Timer() : driver_(&TimerDriver::Current()) {
    driver_->Attach(this);
}

Timer::~Timer() {
    driver_->Detach(this);
}

void Timer::SetInterval(int32_t ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (!enabled_) return;
    if (interval_ > 0) {
        driver_->Start(this, interval_);
    } else {
        driver_->Stop(this);
    }
}

void Timer::SetEnabled(bool enabled) {
    if (enabled) thread_.Check("SetEnabled");
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled_ && interval_ > 0) {
        driver_->Start(this, interval_);
    } else {
        driver_->Stop(this);
    }
}

void Timer::Fired() {
    // A tick already queued when the timer was stopped is not delivered.
    if (!enabled_ || interval_ <= 0) return;
    Tick();  // last: a handler may destroy this timer
}

// ---- VirtualTimeDriver ------------------------------------------------------

struct VirtualTimeDriver::Impl {
    struct Entry {
        bool running = false;
        int64_t due = 0;
        uint64_t order = 0;  // start order breaks ties between equal due times
        int32_t interval = 0;
    };
    using Key = std::tuple<int64_t, uint64_t, Timer*>;

    std::unordered_map<Timer*, Entry> timers;  // every timer bound here
    std::set<Key> due;                         // the running ones, soonest first
    uint64_t nextOrder = 0;

    void Unschedule(Timer* timer, Entry& e) {
        if (!e.running) return;
        due.erase(Key{e.due, e.order, timer});
        e.running = false;
    }
};

VirtualTimeDriver::VirtualTimeDriver() : impl_(std::make_unique<Impl>()) {}

VirtualTimeDriver::~VirtualTimeDriver() {
    if (impl_->timers.empty()) return;
    if (&TimerDriver::Current() == this) TimerDriver::Install(nullptr);
    TimerDriver& next = TimerDriver::Current();
    std::vector<Timer*> left;
    left.reserve(impl_->timers.size());
    for (auto& [timer, e] : impl_->timers) left.push_back(timer);
    impl_->timers.clear();
    impl_->due.clear();
    for (Timer* t : left) Rebind(t, next);
}

void VirtualTimeDriver::Attach(Timer* timer) {
    impl_->timers.try_emplace(timer);
}

void VirtualTimeDriver::Detach(Timer* timer) {
    auto it = impl_->timers.find(timer);
    if (it == impl_->timers.end()) return;
    impl_->Unschedule(timer, it->second);
    impl_->timers.erase(it);
}

void VirtualTimeDriver::Start(Timer* timer, int32_t intervalMs) {
    Impl::Entry& e = impl_->timers[timer];
    impl_->Unschedule(timer, e);
    if (intervalMs <= 0) return;
    e.running = true;
    e.interval = intervalMs;
    e.due = now_ + intervalMs;
    e.order = impl_->nextOrder++;
    impl_->due.insert(Impl::Key{e.due, e.order, timer});
}

void VirtualTimeDriver::Stop(Timer* timer) {
    auto it = impl_->timers.find(timer);
    if (it != impl_->timers.end()) impl_->Unschedule(timer, it->second);
}

size_t VirtualTimeDriver::Advance(int64_t ms) {
    const int64_t target = now_ + std::max<int64_t>(ms, 0);
    size_t fired = 0;
    while (!impl_->due.empty()) {
        auto first = impl_->due.begin();
        auto [when, order, timer] = *first;
        if (when > target) break;
        impl_->due.erase(first);
        now_ = std::max(now_, when);
        // Re-armed before the handler runs, so it may stop, restart or destroy it.
        Impl::Entry& e = impl_->timers[timer];
        e.due = when + e.interval;
        impl_->due.insert(Impl::Key{e.due, e.order, timer});
        ++fired;
        Fire(timer);
    }
    now_ = std::max(now_, target);
    return fired;
}

size_t VirtualTimeDriver::RunningTimers() const {
    return impl_->due.size();
}

int64_t VirtualTimeDriver::NextDueIn() const {
    if (impl_->due.empty()) return -1;
    return std::get<0>(*impl_->due.begin()) - now_;
}

// ---- ScopedVirtualTime ------------------------------------------------------

ScopedVirtualTime::ScopedVirtualTime() : previous_(&TimerDriver::Current()) {
    TimerDriver::Install(&driver_);
}

ScopedVirtualTime::~ScopedVirtualTime() {
    TimerDriver::Install(previous_);
}

}  // namespace platform
