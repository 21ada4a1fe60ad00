#pragma once
// The shared test main turns every diagnostics report into a test failure.
// A test that provokes one on purpose collects it here instead and checks it.
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/Diagnostics.h"

namespace testsupport {

class ExpectedReports {
public:
    ExpectedReports()
        : previous_(
              runtime::SetDiagnosticsSink([this](std::string_view source, std::string_view text) {
                  std::lock_guard<std::mutex> hold(lock_);
                  reports_.push_back(std::string(source) + ": " + std::string(text));
              })) {}
    ~ExpectedReports() { runtime::SetDiagnosticsSink(std::move(previous_)); }
    ExpectedReports(const ExpectedReports&) = delete;
    ExpectedReports& operator=(const ExpectedReports&) = delete;

    // "source: text" per report, in order.
    std::vector<std::string> Reports() const {
        std::lock_guard<std::mutex> hold(lock_);
        return reports_;
    }

private:
    mutable std::mutex lock_;
    std::vector<std::string> reports_;
    runtime::DiagnosticsSink previous_;
};

}  // namespace testsupport
