#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "general/common/CLogFile.h"
#include "platform/Paths.h"
#include "runtime/Clock.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "runtime/Locale.h"
#include "tests/support/TempProgramFolder.h"

namespace {

namespace fs = std::filesystem;
using OrbanelGeneral10::CLogFile;

class LogFileTest : public ::testing::Test {
protected:
    std::string Read(const fs::path& path) { return platform::ReadWholeFile(path); }

    testsupport::TempProgramFolder folder_{"logfile"};
    fs::path home_ = folder_.Path();
    std::shared_ptr<runtime::FixedClock> clock_ =
        std::make_shared<runtime::FixedClock>(runtime::DateTimeSerial(2024, 4, 3, 14, 5, 0));
    runtime::ScopedClock scoped_{clock_};
};

TEST_F(LogFileTest, LinesCarryTheTimeStampAndLandInTheLogsFolder) {
    CLogFile log;
    log.setFileName("c:\\APIlog.txt");
    EXPECT_TRUE(log.AddEntry("x", 1));
    EXPECT_TRUE(log.AddEntry("second\r\nline", 1));  // written unchanged
    clock_->AdvanceSeconds(3600 * 10);
    EXPECT_TRUE(log.AddEntry("", 1));
    EXPECT_EQ(Read(home_ / "logs" / "APIlog.txt"),
              "03-04-24 14:05:00 : x\r\n"
              "03-04-24 14:05:00 : second\r\nline\r\n"
              "04-04-24 00:05:00 : \r\n");
}

TEST_F(LogFileTest, StampKeepsItsSeparatorsInAnyLocale) {
    runtime::LocaleSettings dots;
    dots.date = ".";
    dots.time = ".";
    runtime::ScopedLocale locale(dots);
    CLogFile log;
    log.setFileName("\\app.log");
    EXPECT_TRUE(log.AddEntry("x", 1));
    EXPECT_EQ(Read(home_ / "app.log"), "03-04-24 14:05:00 : x\r\n");
}

TEST_F(LogFileTest, EntriesAreFilteredByEnabledFlagAndLevel) {
    struct Case {
        bool enabled;
        int16_t logLevel, entryLevel;
        bool written;
    };
    const std::vector<Case> cases = {
        {true, 1, 1, true},   {true, 1, 2, false},   {true, 1, 0, true},  {true, 1, -5, true},
        {false, 1, 1, false}, {false, 9, -1, false}, {true, 0, 1, false}, {true, 0, 0, true},
    };
    for (const Case& c : cases) {
        const fs::path file = home_ / "filter.log";
        fs::remove(file);
        CLogFile log;
        EXPECT_TRUE(log.LogEnabled());
        EXPECT_EQ(log.LogLevel(), 1);
        log.setFileName("filter.log");
        log.setLogEnabled(c.enabled);
        log.setLogLevel(c.logLevel);
        EXPECT_EQ(log.AddEntry("e", c.entryLevel), c.written);
        EXPECT_EQ(fs::exists(file), c.written) << c.logLevel << " " << c.entryLevel;
    }
}

TEST_F(LogFileTest, UnwritablePlacesLoseTheLineQuietly) {
    CLogFile log;
    EXPECT_TRUE(log.AddEntry("nowhere", 1));  // no file name
    log.setFileName("\\missing\\folder\\x.log");
    EXPECT_TRUE(log.AddEntry("lost", 1));
    EXPECT_FALSE(fs::exists(home_ / "missing"));
    fs::create_directory(home_ / "dir.log");
    log.setFileName("dir.log");
    EXPECT_TRUE(log.AddEntry("lost", 1));

    // A log deleted between entries comes back at the next one.
    log.setFileName("x.log");
    log.AddEntry("a", 1);
    fs::remove(home_ / "x.log");
    log.AddEntry("b", 1);
    EXPECT_EQ(Read(home_ / "x.log"), "03-04-24 14:05:00 : b\r\n");

    log.Deallocate();
    EXPECT_FALSE(log.AddEntry("filtered", 2));
    EXPECT_THROW(log.AddEntry("after release", 1), runtime::Error);
}

}  // namespace
