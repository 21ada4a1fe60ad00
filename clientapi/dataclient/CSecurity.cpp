#include "clientapi/dataclient/CSecurity.h"

#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexClientAPI10 {

namespace {

// Compared as a double, so that a huge number cannot overflow on the way.
bool InRange(double number) {
    return number >= 1 && number <= CSecurity::kPrivCount;
}

}  // namespace

void CSecurity::UserHasThesePrivs(const std::string& PrivsArr) {
    flags_.fill(false);
    if (!PrivsArr.empty()) {
        for (const std::string& piece : runtime::Split(PrivsArr, ",")) {
            const double number = runtime::RoundHalfEven(runtime::Val(piece));
            if (!InRange(number)) {
                throw runtime::Error(runtime::errc::SubscriptOutOfRange,
                                     "Privilege \"" + piece + "\" is outside 1 to 200");
            }
            flags_[static_cast<size_t>(number)] = true;
        }
    }
    ExecuteSecurityPrivs();
}

bool CSecurity::UserHasPriv(PrivsEnum vPriv) const {
    if (!InRange(vPriv)) throw runtime::Error(runtime::errc::SubscriptOutOfRange);
    return flags_[static_cast<size_t>(vPriv)];
}

}  // namespace OrbanexClientAPI10
