#pragma once
// A logged-in user's privileges at the server end: 200 flags numbered as
// PrivsEnum, replaced as a whole from the comma list the database gives.
#include <array>
#include <cstdint>
#include <string>

#include "general/common/Enums.h"
#include "runtime/Event.h"

namespace OrbanelGeneral10 {

class CSecurity {
public:
    static constexpr int32_t kPrivCount = 200;

    // Replaces every flag with those of the comma list (each element's leading
    // number, rounded halves to even) and raises ExecuteSecurityPrivs; the
    // empty text clears them all. The whole list is checked first: an element
    // outside 1..200 (an empty one reads 0) raises runtime::Error(9) and
    // leaves every flag and the event as they were.
    void UserHasThesePrivs(const std::string& PrivsArr);
    // True for NonePriv (0); the flag for 1..200; False for any other number.
    bool UserHasPriv(PrivsEnum vPriv) const;

    // The privileges have just been replaced; the host applies them.
    runtime::Event<> ExecuteSecurityPrivs;

private:
    std::array<bool, kPrivCount + 1> flags_{};  // slot 0 unused
};

}  // namespace OrbanelGeneral10
