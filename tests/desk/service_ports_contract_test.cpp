// The shell, message, close-position and module port suites on the fake desk.
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"
#include "tests/support/desk/ServicePortContracts.h"

namespace {

// Reads what the fake desk's doubles keep and record.
class FakeDeskHarness {
public:
    const OrbanexDesk::DeskPorts& Ports() const { return desk_.Ports(); }
    std::string StatusPane(int32_t id) const { return desk_.statusPanes.at(id - 100024); }
    std::optional<bool> ControlEnabled(int32_t bar, int32_t control) const {
        const std::string prefix =
            "shell.control|" + std::to_string(bar) + "|" + std::to_string(control) + "|";
        const auto lines = desk_.Lines(prefix);
        if (lines.empty()) return std::nullopt;
        return lines.back().substr(prefix.size()) == "True";
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& line : desk_.Log()) {
            if (line.rfind("message|", 0) == 0 || line.rfind("system|", 0) == 0) {
                const size_t caption = line.find('|') + 1;
                const size_t text = line.find('|', caption) + 1;
                out.push_back(line.substr(caption, text - caption - 1) + "|" + line.substr(text));
            } else if (line.rfind("note|", 0) == 0) {
                out.push_back("Note|" + line.substr(5));
            }
        }
        return out;
    }

private:
    testsupport::TempProgramFolder folder_{"desk-contract"};
    testsupport::FakeDesk desk_;
};

}  // namespace

// The suites' own namespace: gtest names the instantiations after it.
namespace testsupport::contracts {
INSTANTIATE_TYPED_TEST_SUITE_P(FakeDesk, ShellPortContract, FakeDeskHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(FakeDesk, MessagesPortContract, FakeDeskHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(FakeDesk, ClosePosPortContract, FakeDeskHarness);
INSTANTIATE_TYPED_TEST_SUITE_P(FakeDesk, MGeneralPortContract, FakeDeskHarness);
}  // namespace testsupport::contracts
