#pragma once
// Interval timer. While enabled it raises Tick once per interval from the event
// loop (or from a virtual-time driver in tests). Writing False then True
// restarts the count: the next Tick comes one full interval later.
#include <cstdint>
#include <memory>

#include "platform/ThreadCheck.h"
#include "runtime/Event.h"

namespace platform {

class Timer;

// What runs timers: the real loop by default, a VirtualTimeDriver in tests.
class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    virtual void Start(Timer* timer, int32_t intervalMs) = 0;  // (re)starts the count
    virtual void Stop(Timer* timer) = 0;
    // A timer binds at construction and leaves at destruction (possibly from
    // inside its own Tick).
    virtual void Attach(Timer* timer) { (void)timer; }
    virtual void Detach(Timer* timer) { Stop(timer); }

    // The driver new timers bind to; nullptr restores the real loop's driver.
    static TimerDriver& Current();
    static void Install(TimerDriver* driver);

protected:
    static void Fire(Timer* timer);
    // Moves a timer to another driver, carrying its running state over.
    static void Rebind(Timer* timer, TimerDriver& driver);
};

class Timer {
public:
    Timer();  // disabled, interval 0, bound to TimerDriver::Current()
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int32_t Interval() const { return interval_; }
    // Changing the interval of a running timer restarts its count. An interval
    // of 0 or less never ticks.
    void SetInterval(int32_t ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    runtime::Event<> Tick;

private:
    friend class TimerDriver;
    void Fired();

    TimerDriver* driver_;
    detail::OwnerThread thread_{"Timer"};
    int32_t interval_ = 0;
    bool enabled_ = false;
};

// Deterministic time for timer-driven logic: nothing fires until Advance.
class VirtualTimeDriver final : public TimerDriver {
public:
    VirtualTimeDriver();
    // Timers still bound here move to the then current driver.
    ~VirtualTimeDriver() override;

    void Start(Timer* timer, int32_t intervalMs) override;
    void Stop(Timer* timer) override;
    void Attach(Timer* timer) override;
    void Detach(Timer* timer) override;

    // Moves virtual time forward, firing every due tick in time order, ties in
    // the order the timers were started (timers started, stopped or destroyed
    // by a handler take part at once). Returns the number of ticks fired.
    size_t Advance(int64_t ms);
    int64_t NowMs() const { return now_; }
    size_t RunningTimers() const;
    // Milliseconds until the next tick, or -1 when none runs.
    int64_t NextDueIn() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int64_t now_ = 0;
};

// A timer on the real event loop whatever driver is installed: a server in the
// same process keeps real time while a test drives the client's timers.
inline std::unique_ptr<Timer> RealTimeTimer() {
    TimerDriver& current = TimerDriver::Current();
    TimerDriver::Install(nullptr);
    auto timer = std::make_unique<Timer>();
    TimerDriver::Install(&current);
    return timer;
}

// Installs a VirtualTimeDriver for a scope (timers must be created inside it).
class ScopedVirtualTime {
public:
    ScopedVirtualTime();
    ~ScopedVirtualTime();
    VirtualTimeDriver& driver() { return driver_; }
    size_t Advance(int64_t ms) { return driver_.Advance(ms); }

private:
    VirtualTimeDriver driver_;
    TimerDriver* previous_;
};

}  // namespace platform
