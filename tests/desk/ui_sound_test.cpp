// PlayWave: a sound only while the accounts window allows one, the allowance
// gone after every call, Windows-style names resolved under the program folder;
// the real output never waits on a missing or corrupt file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DeskUiTesting.h"
#include "desk/ui/DeskSound.h"
#include "platform/Paths.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;

TEST(DeskSound, PlaysOnlyWhileAllowedAndClearsTheAllowanceEveryTime) {
    testsupport::TempProgramFolder folder;
    std::filesystem::create_directories(folder.Path() / "Sounds");
    testsupport::FakeDesk desk;
    std::vector<std::string> played;
    DeskSound sound([&] { return desk.Ports().frmMain; },
                    [&](const std::filesystem::path& file) { played.push_back(file.string()); });
    const std::string base = platform::ProgramFolder().string() + "\\sounds\\";
    struct Step {
        bool rearm;  // the accounts window's timer ticked before the request
        const char* name;
        bool plays;
    } const steps[] = {
        {true, "OrderOk.wav", true},   {false, "Connect.wav", false},
        {false, "Connect.wav", false}, {true, "Disconnect.wav", true},
        {true, "Missing.wav", true},  // handed on: the output refuses it
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.rearm) desk.Ports().frmMain->setSoundAllowed(true);
        const size_t before = played.size();
        sound.PlayWave(base + s.name);
        EXPECT_FALSE(desk.Ports().frmMain->SoundAllowed());
        ASSERT_EQ(played.size(), before + (s.plays ? 1 : 0));
        if (s.plays) {
            EXPECT_EQ(played.back(), (folder.Path() / "Sounds" / s.name).string());
        }
    }

    DeskSound noWindow([] { return static_cast<IfrmMain*>(nullptr); },
                       [&](const std::filesystem::path& f) { played.push_back(f.string()); });
    noWindow.PlayWave(base + "OrderOk.wav");
    EXPECT_EQ(played.size(), 3u);
}

TEST(DeskSound, TheRealOutputReturnsAtOnceForMissingOrCorruptFiles) {
    desk_ui_testing::App();
    testsupport::TempProgramFolder folder;
    std::filesystem::create_directories(folder.Path() / "sounds");
    std::ofstream(folder.Path() / "sounds" / "Corrupt.wav", std::ios::binary) << "RIFF....AVI ";
    testsupport::FakeDesk desk;
    DeskSound sound([&] { return desk.Ports().frmMain; });
    const auto start = std::chrono::steady_clock::now();
    for (const char* name : {"\\sounds\\Missing.wav", "\\sounds\\Corrupt.wav", "\\sounds\\"}) {
        desk.Ports().frmMain->setSoundAllowed(true);
        sound.PlayWave(platform::ProgramFolder().string() + name);
        EXPECT_FALSE(desk.Ports().frmMain->SoundAllowed());
    }
    desk_ui_testing::Turn();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
