// orbanex-demo-home DIR HOST:PORT [USER PASSWORD ACCOUNT]...
// Seeds a desk home for the demo server: its server list and the saved accounts,
// which log in when the desk starts. Never overwrites a file.
#include <cstdio>
#include <string>
#include <vector>

#include "desk/accounts/DemoHome.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace {
int Usage(const char* why) {
    std::fprintf(stderr,
                 "orbanex-demo-home: %s\n"
                 "usage: orbanex-demo-home DIR HOST:PORT [USER PASSWORD ACCOUNT]...\n",
                 why);
    return 2;
}

bool WholeNumber(const std::string& text, int32_t lowest, int32_t& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    if (text.size() > 10) return false;
    const long long value = std::stoll(text);
    if (value < lowest || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || (argc - 3) % 3 != 0) return Usage("wrong number of arguments");
    const std::string address = argv[2];
    const size_t colon = address.rfind(':');
    int32_t port = 0;
    if (colon == std::string::npos || colon == 0 ||
        !WholeNumber(address.substr(colon + 1), 1, port) || port > 65535)
        return Usage("HOST:PORT expected");
    std::vector<OrbanexDesk::DemoAccount> accounts;
    for (int i = 3; i < argc; i += 3) {
        OrbanexDesk::DemoAccount a{argv[i], argv[i + 1], 0};
        if (a.UserName.empty() || a.Password.empty() || !WholeNumber(argv[i + 2], 0, a.Account))
            return Usage("each account needs a user, a password and an account number");
        accounts.push_back(a);
    }
    try {
        char flag[] = "--home";
        char* args[] = {argv[0], flag, argv[1], nullptr};
        platform::InitProgramFolder(3, args);
        for (const auto& line : OrbanexDesk::SeedDemoHome(address.substr(0, colon), port, accounts))
            std::printf("%s\n", line.c_str());
    } catch (const runtime::Error& e) {
        std::fprintf(stderr, "orbanex-demo-home: %s\n", e.Description().c_str());
        return 1;
    }
    return 0;
}
