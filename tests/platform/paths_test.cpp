#include "platform/Paths.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Error.h"
#include "tests/support/ErrorNumber.h"

namespace fs = std::filesystem;

namespace {

using testsupport::ErrorNumberOf;

using platform::AtomicWriteFile;
using platform::ReadWholeFile;
using platform::ResolvePath;

struct TempDir {
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "platform-paths-XXXXXX").string();
        path = mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    fs::path path;
};

// Sets (or unsets, with nullopt) an environment variable for a scope.
struct EnvVar {
    EnvVar(const char* n, std::optional<std::string> value) : name(n) {
        if (const char* v = getenv(n)) old = v;
        if (value) {
            setenv(n, value->c_str(), 1);
        } else {
            unsetenv(n);
        }
    }
    ~EnvVar() {
        if (old) {
            setenv(name, old->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    const char* name;
    std::optional<std::string> old;
};

void Put(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    AtomicWriteFile(p, text);
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = platform::ProgramFolder();
        platform::SetProgramFolder(home.path);
    }
    void TearDown() override { platform::SetProgramFolder(previous); }
    TempDir home;
    fs::path previous;
};

TEST_F(PathsTest, ResolvesLikeTheSystemExpects) {
    Put(home.path / "Manage" / "Server.BUF", "list");
    fs::create_directories(home.path / "logs");
    const fs::path& h = home.path;
    struct Case {
        std::string in;
        fs::path out;
    };
    const std::vector<Case> cases = {
        {"\\manage\\SERVER.BUF", h / "Manage" / "Server.BUF"},
        {"\\MANAGE\\new\\Report.buf", h / "Manage" / "new" / "Report.buf"},
        {"manage/x.txt", h / "Manage" / "x.txt"},
        {"\\\\server\\share\\report.txt", h / "logs" / "report.txt"},
        {"c:\\APIlog.txt", h / "logs" / "APIlog.txt"},
        {"D:\\some\\dir\\log.txt", h / "logs" / "log.txt"},
        {"c:log.txt", h / "logs" / "log.txt"},
        {"C:\\", h / "logs"},
        {"", h},
        {"\\..\\..\\etc\\passwd", h / "etc" / "passwd"},
        {"manage\\..\\..\\x", h / "x"},
        {"a\\.\\b//c", h / "a" / "b" / "c"},
        {(h / "Manage" / "SERVER.buf").string(), h / "Manage" / "Server.BUF"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolvePath(c.in), c.out) << c.in;
    EXPECT_EQ(ReadWholeFile(ResolvePath("\\manage\\server.buf")), "list");
    // The bounded read takes a file of just the bound, and nothing of one byte more.
    EXPECT_EQ(platform::ReadFileUpTo(ResolvePath("\\manage\\server.buf"), 4), "list");
    EXPECT_EQ(platform::ReadFileUpTo(ResolvePath("\\manage\\server.buf"), 3), std::nullopt);
    EXPECT_EQ(ErrorNumberOf([] { ResolvePath(std::string("a\0b", 3)); }), 52);
}

TEST_F(PathsTest, AtomicWriteReplacesWholeAndLeavesNoTemporaries) {
    const fs::path file = home.path / "accounts.buf";
    AtomicWriteFile(file, "old\r\n");
    chmod(file.c_str(), 0640);
    const std::string bytes("line1\r\nbin\0ary\r\n", 16);
    AtomicWriteFile(file, bytes);
    EXPECT_EQ(ReadWholeFile(file), bytes);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    AtomicWriteFile(file, "");
    EXPECT_EQ(ReadWholeFile(file), "");
    EXPECT_EQ(Names(home.path), std::vector<std::string>{"accounts.buf"});
}

TEST_F(PathsTest, FailedWriteKeepsTheOldContent) {
    const fs::path file = home.path / "servers.buf";
    AtomicWriteFile(file, "precious");

    // The disk "fills up" halfway through the new content.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const int number = ErrorNumberOf([&] { AtomicWriteFile(file, std::string(100000, 'n')); });
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(number, 75);
    EXPECT_EQ(ReadWholeFile(file), "precious");
    EXPECT_EQ(Names(home.path), std::vector<std::string>{"servers.buf"});

    // A directory in the way and a missing folder fail the same way.
    fs::create_directories(home.path / "taken" / "inside");
    EXPECT_EQ(ErrorNumberOf([&] { AtomicWriteFile(home.path / "taken", "x"); }), 75);
    EXPECT_TRUE(fs::is_directory(home.path / "taken" / "inside"));
    EXPECT_EQ(ErrorNumberOf([&] { AtomicWriteFile(home.path / "nowhere" / "f", "x"); }), 75);
    EXPECT_EQ(Names(home.path), (std::vector<std::string>{"servers.buf", "taken"}));
}

TEST_F(PathsTest, ReadWholeFileErrors) {
    EXPECT_EQ(ErrorNumberOf([&] { ReadWholeFile(home.path / "missing.txt"); }), 53);
    EXPECT_EQ(ErrorNumberOf([&] { ReadWholeFile(home.path); }), 75);
}

TEST(ProgramFolder, ChosenFromArgumentsThenEnvironment) {
    const fs::path previous = platform::ProgramFolder();
    TempDir base;
    const fs::path b = base.path;
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::optional<std::string> orbanexHome, xdgDataHome, home;
        fs::path expected;
    };
    const std::vector<Case> cases = {
        {"HomeArgument", {"--home", (b / "arg").string()}, (b / "env").string(), {}, {}, b / "arg"},
        {"HomeEquals", {"-x", "--home=" + (b / "eq/").string()}, {}, {}, {}, b / "eq"},
        {"Environment", {}, (b / "env").string(), (b / "xdg").string(), {}, b / "env"},
        {"XdgDataHome", {}, std::nullopt, (b / "xdg").string(), {}, b / "xdg" / "OrbanexDesk"},
        {"UserHome",
         {},
         std::nullopt,
         std::nullopt,
         (b / "user").string(),
         b / "user" / ".local" / "share" / "OrbanexDesk"},
        {"RelativeXdgIgnored",
         {},
         std::nullopt,
         "relative/xdg",
         (b / "user").string(),
         b / "user" / ".local" / "share" / "OrbanexDesk"},
    };
    for (const auto& c : cases) {
        EnvVar e1("ORBANEX_HOME", c.orbanexHome);
        EnvVar e2("XDG_DATA_HOME", c.xdgDataHome);
        EnvVar e3("HOME", c.home ? c.home : std::optional<std::string>(getenv("HOME")));
        std::vector<std::string> store = {"OrbanexDesk"};
        store.insert(store.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (auto& s : store) argv.push_back(s.data());
        argv.push_back(nullptr);
        const fs::path got =
            platform::InitProgramFolder(static_cast<int>(store.size()), argv.data());
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_EQ(platform::ProgramFolder(), c.expected) << c.name;
        EXPECT_TRUE(fs::is_directory(c.expected / "logs")) << c.name;
    }
    std::string a0 = "OrbanexDesk", a1 = "--home";
    char* dangling[] = {a0.data(), a1.data(), nullptr};
    EXPECT_EQ(ErrorNumberOf([&] { platform::InitProgramFolder(2, dangling); }), 52);

    // Refused with the reason, nothing written there: a folder that cannot be made,
    // one another user owns, one (or its manage folder) that others may write to.
    const fs::path unmade = "/sys/orbanex-paths-test";
    const int mkdirError = ::mkdir(unmade.c_str(), 0700) == 0 ? 0 : errno;
    ASSERT_TRUE(mkdirError != 0 && mkdirError != ENOENT) << "needs a folder mkdir refuses";
    // Run as root, the test hands a folder of its own to another user.
    const bool root = geteuid() == 0;
    const fs::path theirs = root ? b / "theirs" : fs::path("/");
    struct Refusal {
        const char* name;
        fs::path folder, refused;
        std::optional<fs::perms> mode, manageMode;  // made by the test with these rights
        std::string reason;
    } const refusals[] = {
        {"cannot be made", unmade, unmade, {}, {}, std::strerror(mkdirError)},
        {"another user's",
         theirs,
         theirs,
         root ? std::optional(fs::perms::owner_all) : std::nullopt,
         {},
         "it belongs to another user"},
        {"others may write",
         b / "open",
         b / "open",
         fs::perms::all,
         {},
         "other users may write to it"},
        {"others may write to its manage", b / "m", b / "m" / "Manage", fs::perms::owner_all,
         fs::perms::all, "other users may write to it"},
    };
    TempDir assets;
    Put(assets.path / "Manage" / "SERVER.BUF", "seed list");
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        if (r.mode) {
            fs::create_directories(r.folder);
            fs::permissions(r.folder, *r.mode);
            if (r.manageMode) {
                fs::create_directory(r.folder / "Manage");
                fs::permissions(r.folder / "Manage", *r.manageMode);
            }
            if (r.folder == theirs) {
                ASSERT_EQ(::chown(r.folder.c_str(), 65534, 65534), 0);
            }
        }
        std::string a2 = "--home=" + r.folder.string();
        char* argv[] = {a0.data(), a2.data(), nullptr};
        std::string raised;
        try {
            platform::InitProgramFolder(2, argv, assets.path);
        } catch (const runtime::Error& e) {
            raised = std::to_string(e.Number()) + " " + e.Description();
        }
        EXPECT_EQ(
            raised.rfind("75 Path/File access error: " + r.refused.string() + ": " + r.reason, 0),
            0u)
            << raised;
        if (r.mode) {
            EXPECT_EQ(Names(r.folder), r.manageMode ? std::vector<std::string>{"Manage"}
                                                    : std::vector<std::string>{});
        }
    }
    platform::SetProgramFolder(previous);
}

TEST(ProgramFolder, SeedingAddsMissingFilesOnly) {
    const fs::path previous = platform::ProgramFolder();
    TempDir assets, home;
    Put(assets.path / "Manage" / "SERVER.BUF", "seed list");
    Put(assets.path / "Manage" / "deep" / "a.txt", "a");
    Put(assets.path / "settings.ini", "defaults");
    Put(home.path / "manage" / "server.buf", "my list");  // the dealer's own, in other case

    std::string a0 = "OrbanexDesk", a1 = "--home=" + home.path.string();
    char* argv[] = {a0.data(), a1.data(), nullptr};
    for (const char* settings : {"defaults", "changed"}) {
        platform::InitProgramFolder(2, argv, assets.path);
        EXPECT_EQ(ReadWholeFile(home.path / "manage" / "server.buf"), "my list");
        EXPECT_EQ(ReadWholeFile(home.path / "manage" / "deep" / "a.txt"), "a");
        EXPECT_EQ(ReadWholeFile(home.path / "settings.ini"), settings);
        EXPECT_EQ(Names(home.path), (std::vector<std::string>{"logs", "manage", "settings.ini"}));
        EXPECT_EQ(Names(home.path / "manage"), (std::vector<std::string>{"deep", "server.buf"}));
        AtomicWriteFile(home.path / "settings.ini", "changed");  // the next run keeps it
    }
    platform::SetProgramFolder(previous);
}

}  // namespace
