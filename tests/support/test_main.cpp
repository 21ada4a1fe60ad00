#include <cstdlib>
#include <string_view>

#include <gtest/gtest.h>

#include "runtime/Diagnostics.h"

int main(int argc, char** argv) {
    // Qt-backed components must run without a display (CI, test discovery).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A failure a library swallowed fails the test, unless the test collects
    // it (testsupport::ExpectedReports).
    runtime::SetDiagnosticsSink([](std::string_view source, std::string_view text) {
        ADD_FAILURE() << "Unexpected diagnostics report from " << source << ": " << text;
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
