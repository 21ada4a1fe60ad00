#pragma once
// The privileges of the logged-in user of one public session object: 200
// flags numbered as PrivsEnum, replaced as a whole from the server's comma
// list. Shared by the session object, the data client and the money
// transactions; a handler of ExecuteSecurityPrivs may release it.
#include <array>
#include <cstdint>
#include <string>

#include "clientapi/dataclient/Enums.h"
#include "runtime/Event.h"

namespace OrbanexClientAPI10 {

class CSecurity {
public:
    static constexpr int32_t kPrivCount = 200;

    // Clears every flag, then sets the flag of each comma piece in order (its
    // leading number, rounded halves to even) and raises ExecuteSecurityPrivs.
    // A piece outside 1..200 (an empty one reads 0) raises runtime::Error(9)
    // at once: the flags set before it stay, no event is raised. The caller
    // catches it and goes on, so a list with a stray comma still grants what
    // came before it rather than the previous login's privileges.
    void UserHasThesePrivs(const std::string& PrivsArr);
    // The flag of vPriv; runtime::Error(9) outside 1..200.
    bool UserHasPriv(PrivsEnum vPriv) const;

    // The flags have just been replaced.
    runtime::Event<> ExecuteSecurityPrivs;

private:
    std::array<bool, kPrivCount + 1> flags_{};  // slot 0 unused
};

}  // namespace OrbanexClientAPI10
