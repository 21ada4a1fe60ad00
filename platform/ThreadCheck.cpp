#include "platform/ThreadCheck.h"

#include <cstdio>
#include <cstdlib>

namespace platform::detail {

void OwnerThread::Fail(const char* member) const {
    std::fprintf(stderr, "%s::%s called on a thread other than the one that created it\n", object_,
                 member);
    std::abort();
}

}  // namespace platform::detail
