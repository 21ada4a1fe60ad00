#include "general/common/CSecurity.h"

#include <vector>

#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanelGeneral10 {

void CSecurity::UserHasThesePrivs(const std::string& PrivsArr) {
    std::vector<size_t> granted;
    if (!PrivsArr.empty()) {
        for (const std::string& element : runtime::Split(PrivsArr, ",")) {
            const double number = runtime::RoundHalfEven(runtime::Val(element));
            if (!(number >= 1 && number <= kPrivCount)) {
                throw runtime::Error(runtime::errc::SubscriptOutOfRange,
                                     "Privilege \"" + element + "\" is not a number from 1 to " +
                                         std::to_string(kPrivCount));
            }
            granted.push_back(static_cast<size_t>(number));
        }
    }
    flags_.fill(false);
    for (size_t priv : granted) flags_[priv] = true;
    ExecuteSecurityPrivs();
}

bool CSecurity::UserHasPriv(PrivsEnum vPriv) const {
    if (vPriv == NonePriv) return true;
    if (vPriv < 1 || vPriv > kPrivCount) return false;
    return flags_[static_cast<size_t>(vPriv)];
}

}  // namespace OrbanelGeneral10
