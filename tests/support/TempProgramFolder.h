#pragma once
// A fresh program folder for one test: made under the system's temporary
// folder, installed as the program folder, removed and the previous one
// restored when it goes out of scope.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/Paths.h"
#include "runtime/Error.h"

namespace testsupport {

class TempProgramFolder {
public:
    explicit TempProgramFolder(const std::string& prefix = "orbanex")
        : previous_(platform::ProgramFolder()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw runtime::Error(runtime::errc::PathFileAccess, "cannot make " + pattern);
        path_ = pattern;
        platform::SetProgramFolder(path_);
    }
    ~TempProgramFolder() {
        platform::SetProgramFolder(previous_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path previous_, path_;
};

}  // namespace testsupport
