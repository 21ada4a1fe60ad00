#pragma once
// The one place a swallowed failure goes: an event handler that threw where
// no caller can take the error (a loop callback, a socket or timer event).
// Libraries never print; they report here. The sink writes to stderr until
// the program (the desk, a test main) installs its own. Any thread may
// report; the sink is called under a lock, one report at a time.
#include <functional>
#include <string_view>

namespace runtime {

// `source` names the layer and the event ("TcpSocket OnState"), `text` the failure.
using DiagnosticsSink = std::function<void(std::string_view source, std::string_view text)>;

// Hands one report to the sink. Never throws: a failing sink is ignored.
void ReportFailure(std::string_view source, std::string_view text);
// Reports the exception in flight; call it from inside a catch block.
void ReportCurrentException(std::string_view source);
// Installs `sink` (an empty one restores stderr) and returns the one it replaced.
DiagnosticsSink SetDiagnosticsSink(DiagnosticsSink sink);

// Runs `f`; whatever it throws is reported under `source` and goes no further.
template <class F>
void RunReported(std::string_view source, F&& f) {
    try {
        f();
    } catch (...) {
        ReportCurrentException(source);
    }
}

}  // namespace runtime
