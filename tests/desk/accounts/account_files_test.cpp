// The accounts window's files without a window: the server file read and saved,
// re-routing, the typed server, the saved-accounts and account-list lines, and
// the demo home's seeding.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "desk/accounts/AccountsWindowCore.h"
#include "desk/accounts/CLoginOptions.h"
#include "desk/accounts/DemoHome.h"
#include "desk/common/AccountLines.h"
#include "platform/Paths.h"
#include "runtime/Strings.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/HeapCounts.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const fs::path& path) {
    return fs::exists(path) ? platform::ReadWholeFile(path) : "<none>";
}

unsigned Mode(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

ino_t Inode(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

struct Home {
    testsupport::TempProgramFolder folder{"accounts-files"};
    testsupport::FakeDesk desk;
    fs::path ServerFile() const { return folder.Path() / "manage" / "SERVER.BUF"; }
};

Names ServersOf(const CLoginOptions& o) {
    Names out;
    for (int n = 1; n <= o.Servers(); ++n) {
        const auto i = static_cast<int16_t>(n);  // 32767 is a full list
        out.push_back(o.ServerDesc(i) + "|" + o.Server(i));
    }
    return out;
}

// The server file is read whole-line (a description keeps its ","), trimmed per
// address, and saved back as exactly four lines; garbled parts give no server, a
// file there without a current server one message, with the reason when it could
// not be read; nothing past 4 MB is read, and the lines past four are never held.
TEST(ServerFile, ReadsListCurrentServerAndOptionsAndSavesFourLinesByteExact) {
    const std::string kTooLarge =
        ": the file is larger than 4 MB, far more than any server list takes, and was not read";
    struct Case {
        const char* name;
        std::optional<std::string> file;
        Names servers;
        std::string current, desc;
        int16_t index;
        int32_t parent;
        std::string ids;
        std::optional<std::string> saved;  // nothing: not saved over what stands there
        // A file there without a current server says so ("%" stands for the file).
        std::string message = "";
        const char* stands = "";  // "endless": a link to a device that never ends; "folder"
    } cases[] = {
        {"two servers",
         "Main&&10.0.0.1&&4401&&Back up, east&& 10.0.0.2&& 4402\r\n10.0.0.2:4402\r\n7\r\nids "
         "x\r\nlost\r\n",
         {"Main|10.0.0.1:4401", "Back up, east|10.0.0.2:4402"},
         "10.0.0.2:4402",
         "Back up, east",
         2,
         7,
         "ids x",
         "Main&&10.0.0.1&&4401&&Back up, east&&10.0.0.2&&4402\r\n10.0.0.2:4402\r\n7\r\nids x\r\n"},
        {"missing file", std::nullopt, {}, "", "", -1, 0, "", "\r\n\r\n0\r\n\r\n"},
        {"current not listed, LF endings",
         "A&&1.1.1.1&&1\n 9.9.9.9 :5\n0\n",
         {"A|1.1.1.1:1"},
         "9.9.9.9:5",
         "9.9.9.9:5",
         -1,
         0,
         "",
         "A&&1.1.1.1&&1\r\n9.9.9.9:5\r\n0\r\n\r\n"},
        {"line 2 without colon, bad line 3, short last entry",
         "A&&1.1.1.1&&1&&B&&2.2.2.2\r\n1.1.1.1\r\nmany\r\n",
         {"A|1.1.1.1:1"},
         "",
         "",
         -1,
         0,
         "",
         "A&&1.1.1.1&&1\r\n\r\n0\r\n\r\n",
         "% (1 listed server was read)"},
        {"port not a number",
         "A&&1.1.1.1&&1\r\n1.1.1.1:x\r\n",
         {"A|1.1.1.1:1"},
         "",
         "",
         -1,
         0,
         "",
         "A&&1.1.1.1&&1\r\n\r\n0\r\n\r\n",
         "% (1 listed server was read)"},
        {"binary garbage",
         std::string("\x01\xff&&\0\r\n\xfe", 8),
         {},
         "",
         "",
         -1,
         0,
         "",
         "\r\n\r\n0\r\n\r\n",
         "% (0 listed servers were read)"},
        {"an address ending in \"&\" saved apart from its separator",
         "A&&x& &&2\r\nx&:2\r\n",
         {"A|x&:2"},
         "x&:2",
         "A",
         1,
         0,
         "",
         "A&&x& &&2\r\nx&:2\r\n0\r\n\r\n"},
        {"more servers than the count and no current server: one message",
         std::string(6 * 32768, '&'), Names(32767, "|:0"), "", "", -1, 0, "",
         runtime::Join(Names(32767, "&&&&0"), "&&") + std::string(8, '&') + "\r\n\r\n0\r\n\r\n",
         "% (32767 listed servers were read)"},
        {"larger than 4 MB, read no further",
         "A&&1.1.1.1&&1\r\n1.1.1.1:1\r\n" + std::string(CLoginOptions::kLargestServerFile, 'x'),
         {},
         "",
         "",
         -1,
         0,
         "",
         "\r\n\r\n0\r\n\r\n",
         "%" + kTooLarge},
        {"endless",
         std::nullopt,
         {},
         "",
         "",
         -1,
         0,
         "",
         "\r\n\r\n0\r\n\r\n",
         "%" + kTooLarge,
         "endless"},
        {"a folder in its place",
         std::nullopt,
         {},
         "",
         "",
         -1,
         0,
         "",
         std::nullopt,
         "%: Is a directory",
         "folder"},
        {"4 MB of empty lines after the four",
         "A&&1.1.1.1&&1\r\n1.1.1.1:1\r\n3\r\nids\r\n" +
             std::string(CLoginOptions::kLargestServerFile - 40, '\n'),
         {"A|1.1.1.1:1"},
         "1.1.1.1:1",
         "A",
         1,
         3,
         "ids",
         "A&&1.1.1.1&&1\r\n1.1.1.1:1\r\n3\r\nids\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Home h;
        if (c.file) WriteFile(h.ServerFile(), *c.file);
        if (c.stands == std::string("endless")) {
            fs::create_directories(h.ServerFile().parent_path());
            fs::create_symlink("/dev/zero", h.ServerFile());
        }
        if (c.stands == std::string("folder")) fs::create_directories(h.ServerFile() / "x");
        const testsupport::HeapPeakMark mark;
        CLoginOptions o(h.desk.Services());
        // The bytes read, twice over while their buffer grows; never a string a line.
        EXPECT_LE(mark.Height(), 2 * CLoginOptions::kLargestServerFile + (64 << 10));
        EXPECT_EQ(ServersOf(o), c.servers);
        EXPECT_EQ(o.CurrentServer(), c.current);
        EXPECT_EQ(o.CurrentServerDesc(), c.desc);
        EXPECT_EQ(o.CurrentServerIndex(), c.index);
        EXPECT_EQ(o.ParentDemoAccounts(), c.parent);
        EXPECT_EQ(o.LoginUnderwlIDs(), c.ids);
        EXPECT_EQ(h.desk.Lines("message|"),
                  c.message.empty()
                      ? Names{}
                      : Names{"message|##DEF##|No current server could be read from the server "
                              "list " +
                              runtime::Replace(c.message, "%", h.ServerFile().string()) +
                              ". The file is left as it is, and no account is logged in."});
        EXPECT_EQ(fs::path(h.desk.State().AccountsFilePath),
                  h.folder.Path() / "manage" / "Acountinfo.buf");
        if (!c.saved) continue;
        o.Save();
        EXPECT_EQ(ReadFile(h.ServerFile()), c.saved);
    }
}

// Re-routing replaces whole address fields only and writes only when one changed.
TEST(ServerFile, ReRoutingReplacesWholeFieldsAndLeavesTheFileAloneOtherwise) {
    const std::string file =
        "A&&10.0.0.1&&4401&&B&& 10.0.0.11&&4402&&C&& 10.0.0.1 &&1\r\n10.0.0.1:4401\r\n10\r\n\r\n";
    struct Case {
        const char* from;
        const char* to;
        std::optional<std::string> after;  // nothing: untouched
    } cases[] = {
        {"10.0.0.1", "10.0.0.9",
         "A&&10.0.0.9&&4401&&B&& 10.0.0.11&&4402&&C&& 10.0.0.9 &&1\r\n10.0.0.9:4401\r\n10\r\n\r\n"},
        {"10.0.0.11", "10.0.0.91",
         "A&&10.0.0.1&&4401&&B&& 10.0.0.91&&4402&&C&& 10.0.0.1 &&1\r\n10.0.0.1:4401\r\n10\r\n\r\n"},
        {"10.0.0.1", "y&",
         "A&&y& &&4401&&B&& 10.0.0.11&&4402&&C&& y& &&1\r\ny&:4401\r\n10\r\n\r\n"},
        {"10.0.0", "10.0.9", std::nullopt},
        {"", "10.0.0.9", std::nullopt},
        {"10.0.0.1", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        Home h;
        WriteFile(h.ServerFile(), file);
        const ino_t before = Inode(h.ServerFile());
        EXPECT_EQ(ReplaceInServerFile(h.ServerFile(), c.from, c.to), c.after.has_value());
        EXPECT_EQ(ReadFile(h.ServerFile()), c.after.value_or(file));
        if (!c.after) {
            EXPECT_EQ(Inode(h.ServerFile()), before) << "rewritten";
        }
    }
    Home h;
    EXPECT_FALSE(ReplaceInServerFile("10.0.0.1", "10.0.0.9"));
    EXPECT_FALSE(fs::exists(h.ServerFile()));
    WriteFile(h.ServerFile(), file);
    EXPECT_TRUE(ReplaceInServerFile("10.0.0.1", "10.0.0.9")) << "found in any letter case";
    // Grown past the bound, the list would not be read at the next start: not written.
    std::string full = file + "ids";
    full.insert(full.size() - 5, CLoginOptions::kLargestServerFile - 2 - full.size(), 'x');
    WriteFile(h.ServerFile(), full);
    EXPECT_EQ(testsupport::ErrorNumberOf([&] { ReplaceInServerFile("10.0.0.1", "10.0.0.100"); }),
              75);
    EXPECT_EQ(ReadFile(h.ServerFile()), full);
}

// A chosen or typed server becomes current and is saved; a typed text that is not
// "ip:port" shows "Wrong server." and changes neither the object nor the file.
TEST(ServerFile, SetDataTakesTheChosenOrTypedServerAndRefusesAMalformedOne) {
    Home h;
    const std::string file = "A&&1.1.1.1&&1&&B&&2.2.2.2&&2\r\n1.1.1.1:1\r\n0\r\n\r\n";
    WriteFile(h.ServerFile(), file);
    CLoginOptions o(h.desk.Services());
    platform::ComboBox combo;
    for (const char* bad : {"nonsense", "1.2.3.4:abc", ":4401", ""}) {
        SCOPED_TRACE(bad);
        combo.TypeText(bad);
        EXPECT_FALSE(o.SetData(combo));
        EXPECT_EQ(o.CurrentServer(), "1.1.1.1:1");
        EXPECT_EQ(ReadFile(h.ServerFile()), file);
    }
    EXPECT_EQ(h.desk
                  .Lines("system|Alert|Wrong server.\r\nServer must be of the (IP:PORT) "
                         "format\r\ni.e\r\n127.0.0.1:4401")
                  .size(),
              4u);

    combo.AddItem("Co A");
    combo.AddItem("Co B");
    combo.setListIndex(1);
    EXPECT_TRUE(o.SetData(combo));
    EXPECT_EQ(o.CurrentServerIndex(), 2);
    combo.TypeText(" 3.3.3.3:33");
    EXPECT_TRUE(o.SetData(combo));
    EXPECT_EQ(ReadFile(h.ServerFile()), "A&&1.1.1.1&&1&&B&&2.2.2.2&&2\r\n 3.3.3.3:33\r\n0\r\n\r\n");
    EXPECT_EQ(CLoginOptions(h.desk.Services()).CurrentServer(), "3.3.3.3:33");

    // A list the save would grow past the bound is not written: the file and the
    // current server stay, and the box says why.
    std::string full = "A&&1.1.1.1&&1\r\n1.1.1.1:1\r\n0\r\n\r\n";
    full.insert(1, CLoginOptions::kLargestServerFile - 1 - full.size(), 'x');
    WriteFile(h.ServerFile(), full);
    CLoginOptions grown(h.desk.Services());
    combo.TypeText(" 3.3.3.3:33");
    h.desk.Take();
    EXPECT_FALSE(grown.SetData(combo));
    EXPECT_EQ(grown.CurrentServer(), "1.1.1.1:1");
    EXPECT_EQ(ReadFile(h.ServerFile()), full);
    EXPECT_EQ(h.desk.Lines("message|"),
              Names{"message|##DEF##|Could not write the server list " + h.ServerFile().string() +
                    ": it would be larger than 4 MB, which no start reads; the file is left as it "
                    "is"});
}

// A list longer than a 16-bit count offers its first 32767 servers, says so once,
// and a save keeps the rest as written; the count never wraps.
TEST(ServerFile, AListBeyondTheCountsReachIsReadToItAndSavedWhole) {
    for (const int servers : {40000, 65537}) {
        SCOPED_TRACE(servers);
        Home h;
        Names items;
        for (int i = 1; i <= servers; ++i) items.push_back("S&&10.0.0.1&&" + std::to_string(i));
        const std::string all = runtime::Join(items, "&&");
        WriteFile(h.ServerFile(),
                  all + "\r\n10.0.0.1:" + std::to_string(servers) + "\r\n0\r\n\r\n");
        CLoginOptions o(h.desk.Services());
        EXPECT_EQ(o.Servers(), 32767);
        EXPECT_EQ(o.Server(32767), "10.0.0.1:32767");
        EXPECT_EQ(o.CurrentServerIndex(), -1);
        platform::ComboBox combo;
        FillServers(combo, o, "Co");
        EXPECT_EQ(combo.ListCount(), 32767u);
        EXPECT_EQ(h.desk.Lines("message|").size(), 1u);
        o.Save();
        EXPECT_EQ(ReadLines(h.ServerFile()).front(), all);
    }
}

// The manage folder, which holds the saved credentials, is the owner's alone when
// the desk makes it; one already there keeps its rights.
TEST(ServerFile, TheManageFolderTheDeskMakesIsPrivate) {
    for (const unsigned existing : {0u, 0755u}) {
        SCOPED_TRACE(existing);
        Home h;
        const fs::path manage = h.folder.Path() / "manage";
        if (existing) {
            fs::create_directory(manage);
            fs::permissions(manage, fs::perms(existing));
        }
        CLoginOptions o(h.desk.Services());
        o.saveAccount("john", "pw", 1, false);
        EXPECT_EQ(Mode(manage), existing ? existing : 0700u);
    }
}

// Saved lines: user and password stored upper case, each field coded, the flag in
// plain; fields read from both ends, so a "," in a password round-trips; torn
// lines, and damaged ones (an account that is not the text the writer gives a
// 32-bit number, an empty user or password, a flag other than "True"/"False"),
// read as nothing.
TEST(SavedAccountsFile, LinesAreCodedUpperCaseAndTornLinesReadAsNothing) {
    Home h;
    CLoginOptions o(h.desk.Services());
    const auto& coder = *h.desk.State().StringValues;
    o.saveAccount("john", "pa,ss", 500, true);
    o.saveAccount("Ann", "pw", 70, false);
    const fs::path file = h.desk.State().AccountsFilePath;
    EXPECT_EQ(ReadFile(file), coder.Code("JOHN") + "," + coder.Code("PA,SS") + "," +
                                  coder.Code("500") + ",True\r\n" + coder.Code("ANN") + "," +
                                  coder.Code("PW") + "," + coder.Code("70") + ",False\r\n");
    EXPECT_EQ(Mode(file), 0600u);

    const auto lines = ReadLines(file);
    auto john = ParseSavedAccountLine(coder, lines[0]);
    ASSERT_TRUE(john);
    EXPECT_EQ(john->UserName + "|" + john->Password + "|" + std::to_string(john->Account),
              "JOHN|PA,SS|500");
    EXPECT_TRUE(john->AutoLogin);
    EXPECT_FALSE(ParseSavedAccountLine(coder, lines[1])->AutoLogin);
    const std::string a = coder.Code("A"), n = coder.Code("1");
    for (const std::string& torn :
         {std::string(), std::string("garbage"), a + "," + a + "," + n, "," + a + "," + n + ",True",
          a + "," + a + "," + coder.Code("99999999999") + ",True", std::string("q,w,e,True"),
          a + "," + a + "," + coder.Code("12x") + ",True", a + ",," + n + ",True",
          a + "," + a + ",,False", a + "," + a + "," + coder.Code("007") + ",True",
          a + "," + a + "," + coder.Code("-0") + ",False"})
        EXPECT_FALSE(ParseSavedAccountLine(coder, torn)) << torn;
    for (const char* flag : {"true", "Yes", "", "TRUE", "False "})
        EXPECT_FALSE(ParseSavedAccountLine(coder, a + "," + a + "," + n + "," + flag)) << flag;
}

// A file of good lines among thousands of damaged ones (random fields, Latin-1
// bytes, long lines, near misses of good lines) reads as exactly the good lines.
TEST(SavedAccountsFile, OnlyTheLinesTheWriterWritesReadAsAccounts) {
    const OrbanelGeneral10::CStringValues coder;
    std::mt19937 random(20240611);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    // Short fields most of the time, so a field often decodes to a number.
    const auto field = [&] {
        std::string text(pick(0, 5) == 0 ? pick(50, 400) : pick(0, 3), ' ');
        for (char& c : text) {
            c = static_cast<char>(pick(0, 3) == 0 ? pick(0xA0, 0xFF) : pick(0x20, 0x7E));
            if (c == ',') c = '0';
        }
        return text;
    };
    // One field, ",,,", or 2 to 8 fields.
    const auto garbage = [&] {
        const int kind = pick(0, 3);
        if (kind == 1) return std::string(",,,");
        std::string line = field();
        for (int i = kind == 0 ? 1 : pick(2, 8); i > 1; --i) line += "," + field();
        return line;
    };
    const auto near = [&](const std::string& user, const std::string& password) {
        const std::string head = coder.Code(user) + "," + coder.Code(password) + ",";
        static const Names flags = {"true", "Yes", "", "1", "FALSE"};
        static const Names accounts = {"007", "-0", "+5", "2147483648", "5 ", "", "9L"};
        return pick(0, 1) ? head + coder.Code("5") + "," + flags[pick(0, 4)]
                          : head + coder.Code(accounts[pick(0, 6)]) + ",False";
    };
    const Names good = {"JOHN|PA,,SS|500|True", "ANN|,|0|False", "C.D|X,Y,Z|-5|True",
                        "MAX|PW|2147483647|False", "MIN|PW|-2147483648|True"};
    std::string text;
    size_t next = 0;
    for (int i = 0; i < 3000; ++i) {
        text += (pick(0, 1) ? garbage() : near("U" + std::to_string(i), "P")) + "\r\n";
        if (i % 600 == 0 && next < good.size()) {
            const auto f = runtime::Split(good[next++], "|");
            text += SavedAccountLine(coder, runtime::LCase(f[0]), f[1], std::stoi(f[2]),
                                     f[3] == "True") +
                    "\r\n";
        }
    }
    Names read;
    for (const auto& line : SplitLines(text))
        if (const auto a = ParseSavedAccountLine(coder, line))
            read.push_back(a->UserName + "|" + a->Password + "|" + std::to_string(a->Account) +
                           (a->AutoLogin ? "|True" : "|False"));
    EXPECT_EQ(read, good);
}

// List lines: the user as typed, the coded upper-case password, the account's
// shortest text; the session's match ignores the user's letter case.
TEST(AccountListFile, LinesKeepTheUserAsTypedAndTheAccountAsShortestText) {
    const OrbanelGeneral10::CStringValues coder;
    const std::string line = AccountListLine(coder, "john", "p,w", "00123");
    EXPECT_EQ(line, "john," + coder.Code("P,W") + ",123");
    const auto parsed = ParseAccountListLine(coder, line);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->UserName + "|" + parsed->Password + "|" + parsed->AccountText,
              "john|P,W|123");
    EXPECT_FALSE(ParseAccountListLine(coder, "john,123"));
    EXPECT_FALSE(ParseAccountListLine(coder, ",x,123"));
    const Names lines = {"ann,a,70", "ANN,b,70", "ann,c,700", "x"};
    EXPECT_EQ(MatchAccountListLine(lines, "Ann", "70", "none"), "ANN,b,70");
    EXPECT_EQ(MatchAccountListLine(lines, "Ann", "7", "none"), "none");
}

// The demo home gets a server list and flagged saved lines, private, and a second
// run keeps what the first wrote.
TEST(DemoHome, SeedsServerListAndSavedAccountsWithoutOverwriting) {
    Home h;
    const auto done =
        SeedDemoHome("127.0.0.1", 4401, {{"demo1", "pw1", 1001}, {"Demo2", "pw2", 1002}});
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[0].rfind("wrote ", 0), 0u);
    EXPECT_EQ(ReadFile(h.ServerFile()),
              "Local simulator&&127.0.0.1&&4401\r\n127.0.0.1:4401\r\n0\r\n\r\n");
    const fs::path saved = h.folder.Path() / "manage" / "Acountinfo.buf";
    EXPECT_EQ(Mode(saved), 0600u);
    const auto& coder = *h.desk.State().StringValues;
    Names users;
    for (const auto& line : ReadLines(saved)) {
        const auto a = ParseSavedAccountLine(coder, line);
        ASSERT_TRUE(a && a->AutoLogin);
        users.push_back(a->UserName + "/" + a->Password + "/" + std::to_string(a->Account));
    }
    EXPECT_EQ(users, (Names{"DEMO1/PW1/1001", "DEMO2/PW2/1002"}));

    const auto again = SeedDemoHome("10.0.0.1", 9, {{"x", "y", 1}});
    EXPECT_EQ(again[0].rfind("kept ", 0), 0u);
    EXPECT_EQ(again[1].rfind("kept ", 0), 0u);
    EXPECT_EQ(ReadLines(saved).size(), 2u);
    EXPECT_EQ(CLoginOptions(h.desk.Services()).CurrentServer(), "127.0.0.1:4401");
}

}  // namespace
