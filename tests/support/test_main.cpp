#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include <gtest/gtest.h>

#include "runtime/Diagnostics.h"

namespace {

// The toolkit's settings (the file dialog's history, for one) go to a folder of
// the run's own instead of the user's ~/.config; removed when the run ends.
class PrivateConfigFolder {
public:
    PrivateConfigFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tests-config-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror(pattern.c_str());
            std::exit(2);
        }
        path_ = pattern;
        setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    }
    ~PrivateConfigFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    PrivateConfigFolder(const PrivateConfigFolder&) = delete;
    PrivateConfigFolder& operator=(const PrivateConfigFolder&) = delete;

private:
    std::filesystem::path path_;
};

}  // namespace

int main(int argc, char** argv) {
    // Qt-backed components must run without a display (CI, test discovery).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const PrivateConfigFolder config;
    // A failure a library swallowed fails the test, unless the test collects
    // it (testsupport::ExpectedReports).
    runtime::SetDiagnosticsSink([](std::string_view source, std::string_view text) {
        ADD_FAILURE() << "Unexpected diagnostics report from " << source << ": " << text;
    });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
