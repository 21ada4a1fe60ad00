#include "runtime/Diagnostics.h"

#include <cstdio>
#include <exception>
#include <mutex>
#include <string>
#include <utility>

#include "runtime/Error.h"

namespace runtime {

namespace {

void WriteToStderr(std::string_view source, std::string_view text) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(source.size()), source.data(),
                 static_cast<int>(text.size()), text.data());
}

std::recursive_mutex& SinkLock() {
    static std::recursive_mutex lock;
    return lock;
}

DiagnosticsSink& Sink() {
    static DiagnosticsSink sink;
    return sink;
}

}  // namespace

void ReportFailure(std::string_view source, std::string_view text) {
    std::lock_guard<std::recursive_mutex> hold(SinkLock());
    try {
        if (Sink()) {
            Sink()(source, text);
        } else {
            WriteToStderr(source, text);
        }
    } catch (...) {
        // Nobody left to tell.
    }
}

void ReportCurrentException(std::string_view source) {
    std::string text = "unknown error";
    try {
        throw;
    } catch (const Error& e) {
        text = e.Description() + " (" + std::to_string(e.Number()) + ")";
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    ReportFailure(source, "unhandled error in a handler: " + text);
}

DiagnosticsSink SetDiagnosticsSink(DiagnosticsSink sink) {
    std::lock_guard<std::recursive_mutex> hold(SinkLock());
    return std::exchange(Sink(), std::move(sink));
}

}  // namespace runtime
