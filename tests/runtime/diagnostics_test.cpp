#include "runtime/Diagnostics.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/Error.h"
#include "tests/support/ExpectedReports.h"

namespace {

// With no sink installed a report goes to stderr, one line per report.
TEST(Diagnostics, DefaultSinkWritesOneLineToStderr) {
    runtime::DiagnosticsSink test = runtime::SetDiagnosticsSink({});
    testing::internal::CaptureStderr();
    runtime::ReportFailure("Timer Tick", "it broke");
    const std::string written = testing::internal::GetCapturedStderr();
    runtime::SetDiagnosticsSink(std::move(test));
    EXPECT_EQ(written, "Timer Tick: it broke\n");
}

// An installed sink takes every report instead, the exception's text (and
// number) included; a failing sink is ignored; removing it restores the
// previous one.
TEST(Diagnostics, ReplacedSinkTakesTheReportsOfFailedHandlers) {
    {
        testsupport::ExpectedReports reports;
        runtime::RunReported("A", [] { throw runtime::Error(runtime::errc::Overflow); });
        runtime::RunReported("B", [] { throw std::runtime_error("no room"); });
        runtime::RunReported("C", [] { throw 42; });
        runtime::RunReported("D", [] {});  // nothing to report
        EXPECT_EQ(reports.Reports(),
                  (std::vector<std::string>{
                      "A: unhandled error in a handler: " +
                          runtime::Error(runtime::errc::Overflow).Description() + " (6)",
                      "B: unhandled error in a handler: no room",
                      "C: unhandled error in a handler: unknown error"}));

        auto previous = runtime::SetDiagnosticsSink(
            [](std::string_view, std::string_view) { throw std::runtime_error("sink down"); });
        runtime::ReportFailure("E", "goes nowhere");  // must not throw
        runtime::SetDiagnosticsSink(std::move(previous));
        EXPECT_EQ(reports.Reports().size(), 3u);
    }
}

}  // namespace
