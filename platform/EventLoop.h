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

    // The end a desktop logout, `kill` or Ctrl+C asks for (SIGTERM, SIGINT,
    // SIGHUP): the handler only notes it, and `end` runs from the loop. A
    // second such signal, or an end not done kEndGraceSeconds after the first,
    // ends the program at once as the first signal would have, so a loop stuck
    // in a call can still be ended. Call once; `end` must stay callable.
    static constexpr unsigned kEndGraceSeconds = 5;
    static void EndOnSignals(std::function<void()> end);
};

}  // namespace platform
