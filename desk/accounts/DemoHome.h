#pragma once
// Seeds a desk's program folder for a demo run: the server list naming one server
// and the saved-accounts lines of the given accounts, flagged to log in at start.
// Files already there are left exactly as they are.
#include <cstdint>
#include <string>
#include <vector>

namespace OrbanexDesk {

struct DemoAccount {
    std::string UserName, Password;
    int32_t Account = 0;
};

// Writes into the current program folder (platform::ProgramFolder) what it lacks;
// returns one line per file: "wrote <path>" or "kept <path>". Raises
// runtime::Error(75) when a file cannot be written.
std::vector<std::string> SeedDemoHome(const std::string& Host, int32_t Port,
                                      const std::vector<DemoAccount>& Accounts);

}  // namespace OrbanexDesk
