// The held mark: what stood at its place, with the file system's locks working
// and refused, and a mark its holder removes under our hand.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "platform/HeldMark.h"
#include "tests/support/TempProgramFolder.h"

namespace {

namespace fs = std::filesystem;
using platform::HeldMark;
using Found = HeldMark::Found;
using Names = std::set<std::string>;

Names NamesIn(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A network share without its lock service.
int Refused(int, int) {
    errno = ENOLCK;
    return -1;
}

// The mark stands under its own name alone while held and goes with its holder;
// one that is left counts, where locks are refused too, and one that cannot be
// opened for writing; one another holds, or its holder removed before we
// locked it, is not taken over.
TEST(HeldMark, TakesOverOnlyALeftMarkAndLeavesNothingButItsOwn) {
    testsupport::TempProgramFolder folder{"held-mark"};
    const fs::path mark = folder.Path() / "x.loading";
    const Names markOnly{"x.loading"};
    int other = -1;
    const auto leave = [&] { std::ofstream(mark) << "left"; };
    bool removedOnce = false;
    struct Case {
        const char* name;
        std::function<void()> arrange;
        HeldMark::Locker lock;
        Found found;
        bool held;
    } cases[] = {
        {"nothing", [] {}, {}, Found::Nothing, true},
        {"nothing, locks refused", [] {}, Refused, Found::Nothing, true},
        {"a left mark", leave, {}, Found::Left, true},
        {"a left mark, locks refused", leave, Refused, Found::Left, true},
        {"a mark another holds",
         [&] {
             other = ::open(mark.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
             ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
         },
         {},
         Found::Held,
         false},
        {"a mark that cannot be opened for writing",
         [&] { fs::create_directory(mark); },
         {},
         Found::Left,
         false},
        {"a mark its holder removed before we locked it", leave,
         [&](int fd, int operation) {
             if (!std::exchange(removedOnce, true)) fs::remove(mark);
             return ::flock(fd, operation);
         },
         Found::Nothing, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        {
            HeldMark held(mark, c.lock);
            EXPECT_EQ(held.Standing(), c.found);
            EXPECT_EQ(held.Held(), c.held);
            EXPECT_EQ(NamesIn(folder.Path()), markOnly);
        }
        EXPECT_EQ(NamesIn(folder.Path()), c.held ? Names{} : markOnly);
        if (other >= 0) ::close(std::exchange(other, -1));
        for (const auto& entry : fs::directory_iterator(folder.Path())) fs::remove_all(entry);
    }
}

}  // namespace
