#pragma once
// The classic error number a call raises, or 0 when it raises nothing.
#include <cstdint>
#include <functional>

#include "runtime/Error.h"

namespace testsupport {

inline int32_t ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const runtime::Error& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace testsupport
