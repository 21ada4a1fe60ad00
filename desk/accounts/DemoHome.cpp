#include "desk/accounts/DemoHome.h"

#include <filesystem>

#include "desk/common/AccountLines.h"
#include "general/common/CStringValues.h"
#include "platform/Paths.h"

namespace OrbanexDesk {

namespace {
namespace fs = std::filesystem;

// Writes `lines` to the program-folder file unless it exists.
std::string WriteIfMissing(const std::string& systemPath, const std::vector<std::string>& lines,
                           platform::FileAccess access) {
    const fs::path path = platform::ResolvePath(systemPath);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) return "kept " + path.string();
    MakePrivateFolder(path.parent_path());
    platform::AtomicWriteFile(path, JoinLines(lines), access);
    return "wrote " + path.string();
}
}  // namespace

std::vector<std::string> SeedDemoHome(const std::string& Host, int32_t Port,
                                      const std::vector<DemoAccount>& Accounts) {
    const std::string port = std::to_string(Port);
    std::vector<std::string> done;
    done.push_back(
        WriteIfMissing("\\manage\\SERVER.BUF",
                       {"Local simulator&&" + Host + "&&" + port, Host + ":" + port, "0", ""},
                       platform::FileAccess::Default));
    if (Accounts.empty()) return done;
    const OrbanelGeneral10::CStringValues coder;
    std::vector<std::string> lines;
    for (const auto& a : Accounts)
        lines.push_back(SavedAccountLine(coder, a.UserName, a.Password, a.Account, true));
    done.push_back(
        WriteIfMissing("\\Manage\\Acountinfo.buf", lines, platform::FileAccess::OwnerOnly));
    return done;
}

}  // namespace OrbanexDesk
