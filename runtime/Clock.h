#pragma once
// The one source of "now" for everything that stamps or compares times.
// Tests install a fixed or stepping clock; production reads the system's local time.
#include <functional>
#include <memory>

#include "runtime/Date.h"

namespace runtime {

class Clock {
public:
    virtual ~Clock() = default;
    virtual Date Now() const = 0;
};

class SystemClock final : public Clock {
public:
    Date Now() const override;  // local wall-clock time, millisecond resolution
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(Date now) : now_(now) {}
    Date Now() const override { return now_; }
    void Set(Date now) { now_ = now; }
    void AdvanceSeconds(double seconds) { now_.value += seconds / 86400.0; }

private:
    Date now_;
};

// Replaces the process-wide clock (nullptr restores the system clock).
void SetClock(std::shared_ptr<Clock> clock);
const Clock& CurrentClock();

Date Now();        // date and time
Date Today();      // date part of Now()
Date TimeOfDay();  // time part of Now()
double Timer();    // seconds since midnight, with fractions

// RAII: installs a clock for the scope of a test.
class ScopedClock {
public:
    explicit ScopedClock(std::shared_ptr<Clock> clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    std::shared_ptr<Clock> previous_;
};

}  // namespace runtime
