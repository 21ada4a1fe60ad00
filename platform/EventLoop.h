#pragma once
// The one GUI-thread event loop (Qt's underneath). Socket and timer events are
// delivered from here, never inside the call that caused them.
#include <cstdint>
#include <functional>

namespace platform {

class EventLoop {
public:
    // Makes sure an application object exists (a console one when the host made none).
    static void Ensure();
    // Runs `fn` later from the loop.
    static void Post(std::function<void()> fn);
    // Processes pending events once, waiting at most `maxWaitMs` for one to arrive.
    static void ProcessEvents(int32_t maxWaitMs = 0);
    // Runs the loop for `ms` milliseconds.
    static void RunFor(int32_t ms);
    // Runs the loop until a pass finds nothing to deliver (posted events,
    // socket readiness, due timers), or `timeoutMs` passes; false then.
    static bool RunUntilIdle(int32_t timeoutMs);
    // Runs the loop until `done()` is true or `timeoutMs` passes; returns done().
    static bool RunUntil(const std::function<bool()>& done, int32_t timeoutMs);
    // Runs until Quit() (the desk's main loop). Returns the exit code.
    static int Exec();
    static void Quit(int code = 0);
};

}  // namespace platform
