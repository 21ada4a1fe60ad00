// The accounts window's work over the fake desk's stores: the add-account
// dialog's add and change, removal, the saved and list files, and, against the
// simulated server in the same process, start-up logins, logouts, save-as and
// load. Every wait is bounded.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "desk/accounts/AccountsWindowCore.h"
#include "desk/common/AccountLines.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "runtime/Strings.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"
#include "tests/support/HeapCounts.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr int32_t kWaitMs = 5000;

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

bool WriteServerFile(const fs::path& home, const std::string& server) {
    platform::EventLoop::Ensure();
    WriteFile(home / "manage" / "SERVER.BUF",
              "Sim&&" + runtime::Replace(server, ":", "&&") + "\r\n" + server + "\r\n0\r\n\r\n");
    return true;
}

struct Window {
    explicit Window(const std::string& server = "127.0.0.1:1")
        : written(WriteServerFile(folder.Path(), server)) {
        combo.AddItem("Co Sim");
        combo.setListIndex(0);
        desk.RefreshSummary = [this](const std::string& key) { core.refreshsummery_Click(key); };
        desk.DisconnectSelected = [this](const std::string&) { core.MnuDisconnecte_Click(); };
    }
    CClientAPIManagers& managers() { return *desk.Services().Managers(); }
    platform::ListView& rows() { return desk.stores().lvwClients; }
    const OrbanelGeneral10::CStringValues& coder() { return *desk.State().StringValues; }
    fs::path Saved() { return desk.State().AccountsFilePath; }
    // Each row as "key:index:user:status:account".
    Names Rows() {
        Names out;
        for (size_t i = 1; i <= rows().Count(); ++i) {
            auto& r = rows().Item(i);
            out.push_back(r.Key() + ":" + r.Text() + ":" + r.SubItems(1) + ":" + r.SubItems(2) +
                          ":" + r.SubItems(3));
        }
        return out;
    }
    // Saved lines as "USER/PASSWORD/account/flag".
    Names SavedAccounts() {
        Names out;
        for (const auto& line : ReadLines(Saved()))
            if (auto a = ParseSavedAccountLine(coder(), line))
                out.push_back(a->UserName + "/" + a->Password + "/" + std::to_string(a->Account) +
                              (a->AutoLogin ? "/True" : "/False"));
        return out;
    }
    AccountDialogState Dialog(const std::string& user, const std::string& password,
                              const std::string& account, bool save = false,
                              bool autoLogin = false) {
        return {user, password, account, &combo, save, autoLogin, false};
    }

    testsupport::TempProgramFolder folder{"accounts-core"};
    bool written;
    testsupport::FakeDesk desk{CClientAPIManagers::Factory()};
    CLoginOptions options{desk.Services()};
    AccountsWindowCore core{desk.Services(), options};
    platform::ComboBox combo;
};

// Adding checks, saves when asked, records one list line per account and empties
// the boxes; an edit removes the old row's session and saved line, appends the
// new account and records it; Remove renumbers; Remove All leaves nothing.
TEST(AccountsWindow, DialogAddsChangesAndRemovesAccountsWithTheirFiles) {
    Window w;
    w.core.CreateListFiles();
    auto john = w.Dialog("john", "pw", "00500", true);
    ASSERT_TRUE(w.core.cmdLoginAA_Click(john)) << ::testing::PrintToString(w.desk.Log());
    EXPECT_EQ(john.txtusername + john.txtpassword + john.txtaccount, "");
    auto again = w.Dialog("john", "pw", "500");
    EXPECT_FALSE(w.core.cmdLoginAA_Click(again));
    EXPECT_EQ(w.desk.Lines("message|").back(),
              "message|##DEF##|Account 500 for client john already exists");
    auto big = w.Dialog("ann", "pw", "4294967296");
    EXPECT_FALSE(w.core.cmdLoginAA_Click(big));
    EXPECT_EQ(w.desk.Lines("message|").back(), "message|##DEF##|Please enter a valid  account ID");
    auto ann = w.Dialog("ann", "a,b", "70", true, true);
    auto carl = w.Dialog("Carl", "pw3", "90");
    ASSERT_TRUE(w.core.cmdLoginAA_Click(ann));
    ASSERT_TRUE(w.core.cmdLoginAA_Click(carl));
    w.core.savedListViw("john", "pw", "500");  // the same account again writes nothing
    EXPECT_EQ(
        ReadLines(AccountsWindowCore::SavedListPath()),
        (Names{"john," + w.coder().Code("PW") + ",500", "ann," + w.coder().Code("A,B") + ",70",
               "Carl," + w.coder().Code("PW3") + ",90"}));
    EXPECT_EQ(Mode(AccountsWindowCore::SavedListPath()), 0600u);
    EXPECT_EQ(w.SavedAccounts(), (Names{"JOHN/PW/500/False", "ANN/A,B/70/True"}));
    // Auto login asked for ANN's log-in at once.
    EXPECT_EQ(w.Rows(), (Names{"C1:01:JOHN:Disconnected:500", "C2:02:ANN:Connecting:70",
                               "C3:03:CARL:Disconnected:90"}));

    // Edit the first row: a password-only change is refused, a new account replaces it.
    w.rows().Item("C1").setSelected(true);
    auto same = w.Dialog("John", "other", "500", true);
    same.EditMode = true;
    EXPECT_FALSE(w.core.cmdLoginAA_Click(same));
    auto edit = w.Dialog("john", "pw", "501", true);
    edit.EditMode = true;
    ASSERT_TRUE(w.core.cmdLoginAA_Click(edit));
    EXPECT_EQ(w.Rows(), (Names{"C1:01:ANN:Connecting:70", "C2:02:CARL:Disconnected:90",
                               "C3:03:JOHN:Disconnected:501"}));
    EXPECT_EQ(w.managers().Count(), 3);
    EXPECT_EQ(w.SavedAccounts(), (Names{"ANN/A,B/70/True", "JOHN/PW/501/False"}));
    EXPECT_EQ(ReadLines(AccountsWindowCore::SavedListPath()).back(),
              "john," + w.coder().Code("PW") + ",501");

    w.rows().Item("C1").setSelected(true);
    w.core.mnuRemove_Click();
    EXPECT_EQ(w.Rows(), (Names{"C1:01:CARL:Disconnected:90", "C2:02:JOHN:Disconnected:501"}));
    EXPECT_EQ(w.SavedAccounts(), (Names{"JOHN/PW/501/False"}));
    EXPECT_FALSE(w.desk.Lines("pending.removeClientinfo|70").empty());

    w.core.mnuremove_all();
    EXPECT_EQ(w.managers().Count(), 0);
    EXPECT_EQ(w.rows().Count(), 0u);
    EXPECT_EQ(w.SavedAccounts(), Names{});
}

// A summary refresh writes its own row, also after a removal that does not
// renumber moved the rows away from the places their keys name.
TEST(AccountsWindow, SummaryRefreshWritesTheRowOfItsKey) {
    Window w;
    for (int32_t account : {70, 80, 90}) w.managers().Add("127.0.0.1", 1, "u", "p", false, account);
    w.managers().RClear("C1");
    w.core.refreshsummery_Click("C2");  // the second place now holds C3
    EXPECT_EQ(w.Rows(), (Names{"C2:02:U:Connected:80", "C3:03:U:Disconnected:90"}));
    w.core.refreshsummery_Click("C3");  // beyond the last place
    EXPECT_EQ(w.rows().Item("C3").SubItems(kStatusColumn), "Connected");
    EXPECT_EQ(w.rows().Item("C3").SubItems(kBalanceColumn), "0.00");
}

// The dialog's servers carry the company name; the current one is selected, or
// typed when the list lacks it.
TEST(AccountsWindow, FillServersSelectsOrTypesTheCurrentServer) {
    Window w("10.0.0.2:2");
    FillServers(w.combo, w.options, "Co");
    EXPECT_EQ(w.combo.ListCount(), 1u);
    EXPECT_EQ(w.combo.List(0), "Co Sim");
    EXPECT_EQ(w.combo.ListIndex(), 0);
    w.options.setCurrentServerIP("9.9.9.9");
    FillServers(w.combo, w.options, "Co");
    EXPECT_EQ(w.combo.ListIndex(), -1);
    EXPECT_EQ(w.combo.Text(), "9.9.9.9:2");
}

// A damaged saved-accounts file gives its good accounts and one message: damaged
// lines are skipped and counted, the limit's message shows once, a file too large
// (an endless device too) is not read, an unreadable one is reported, a missing
// one is no error, empty lines cost no string each. The file is left as it is, and
// so is a file its link leads to.
TEST(AccountsWindow, DamagedSavedAccountsFileGivesTheGoodAccountsAndOneMessage) {
    struct Case {
        const char* name;
        int good, garbage;    // good lines after the garbage ones ("q,w,e,True")
        std::string special;  // "big", "endless", "folder", "missing", "link", "empty lines"
        size_t rows;
        Names messages;  // "%" stands for the file
    } cases[] = {
        {"garbage around good lines",
         2,
         1500,
         "",
         2,
         {"message|##DEF##|Skipped 1500 damaged lines of %: no account can be read from them. "
          "The file is left as it is."}},
        {"beyond the limit",
         503,
         1,
         "",
         500,
         {"system|Alert|Maximum account number exceeded",
          "message|##DEF##|Skipped 1 damaged line of %: no account can be read from it. The "
          "file is left as it is."}},
        {"larger than 4 MB",
         1,
         0,
         "big",
         0,
         {"message|##DEF##|Did not read the saved accounts in %: the file is larger than 4 MB, "
          "far more than 500 accounts take, and is left as it is."}},
        {"an endless device in its place",
         0,
         0,
         "endless",
         0,
         {"message|##DEF##|Did not read the saved accounts in %: the file is larger than 4 MB, "
          "far more than 500 accounts take, and is left as it is."}},
        {"a folder in its place",
         0,
         0,
         "folder",
         0,
         {"message|##DEF##|Could not read the saved accounts in %: Is a directory"}},
        {"missing", 0, 0, "missing", 0, {}},
        {"a link to a file of the test's own", 1, 0, "link", 1, {}},
        {"4 MB of empty lines", 1, 0, "empty lines", 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Window w;
        std::string text;
        for (int i = 0; i < c.garbage; ++i) text += "q,w,e,True\r\n";
        for (int i = 1; i <= c.good; ++i)
            text += SavedAccountLine(w.coder(), "u" + std::to_string(i), "pw", i, false) + "\r\n";
        if (c.special == "big") text.resize(AccountsWindowCore::kLargestSavedAccountsFile + 1, 'x');
        if (c.special == "empty lines")
            text.resize(AccountsWindowCore::kLargestSavedAccountsFile, '\n');
        if (c.special == "folder") fs::create_directories(w.Saved() / "x");
        if (c.special == "endless") fs::create_symlink("/dev/zero", w.Saved());
        // The link's file is the test's, not the desk's to make private.
        const fs::path own = w.folder.Path() / "own.buf";
        if (c.special == "link") {
            WriteFile(own, text);
            ::chmod(own.c_str(), 0644);
            fs::create_symlink(own, w.Saved());
        }
        if (c.special.empty() || c.special == "big" || c.special == "empty lines")
            WriteFile(w.Saved(), text);
        w.core.CreateListFiles();
        w.desk.Take();
        const testsupport::HeapPeakMark mark;
        w.core.LoadAccountInfoFile();
        // The bytes read, never a string a line (sessions of their own cost more).
        if (c.special == "empty lines") {
            EXPECT_LE(mark.Height(), 2 * AccountsWindowCore::kLargestSavedAccountsFile);
        }
        EXPECT_EQ(w.rows().Count(), c.rows);
        Names messages;
        for (const auto& m : c.messages)
            messages.push_back(runtime::Replace(m, "%", w.Saved().string()));
        EXPECT_EQ(w.desk.Lines("message|").size() + w.desk.Lines("system|").size(),
                  messages.size());
        for (const auto& m : messages)
            EXPECT_EQ(w.desk.Lines(m).size(), 1u) << ::testing::PrintToString(w.desk.Log());
        if (c.special.empty() || c.special == "big" || c.special == "link") {
            EXPECT_EQ(ReadFile(w.Saved()), text);
        }
        if (c.special == "link") {
            EXPECT_EQ(Mode(own), 0644u);
            EXPECT_TRUE(fs::is_symlink(w.Saved()));
        }
        EXPECT_EQ(ReadLines(AccountsWindowCore::SavedListPath()).size(), c.rows);
    }
}

// Failing reads and writes of the credential and list files are told to the
// operator with the file and the reason; nothing is reported done that was not.
// A list load whose run list cannot be written changes nothing: nobody is logged
// out and the rows stay.
TEST(AccountsWindow, FileFailuresAreShownAndChangeNothing) {
    Window w;
    w.core.CreateListFiles();
    EXPECT_FALSE(w.core.SaveListAs(w.folder.Path() / "out.buf"));
    const fs::path runList = AccountsWindowCore::SavedListPath();
    const fs::path nowhere = w.folder.Path() / "no folder" / "out.buf";
    const fs::path missing = w.folder.Path() / "missing.buf";
    // A folder where a file belongs stands for a file the desk may not read or write.
    fs::create_directories(w.Saved() / "x");
    auto john = w.Dialog("john", "pw", "500", true);
    EXPECT_FALSE(w.core.cmdLoginAA_Click(john));
    EXPECT_EQ(john.txtusername + john.txtaccount, "john500");
    EXPECT_EQ(w.rows().Count(), 0u);
    fs::remove_all(w.Saved());
    ASSERT_TRUE(w.core.cmdLoginAA_Click(john));
    auto ann = w.Dialog("ann", "pw", "70");
    ASSERT_TRUE(w.core.cmdLoginAA_Click(ann));
    const std::string saved = ReadFile(w.Saved());
    fs::rename(w.Saved(), w.folder.Path() / "kept");
    fs::create_directories(w.Saved() / "x");
    w.rows().Item("C1").setSelected(true);
    w.core.mnuRemove_Click();
    fs::remove_all(w.Saved());
    fs::rename(w.folder.Path() / "kept", w.Saved());
    EXPECT_EQ(ReadFile(w.Saved()), saved);

    fs::remove(runList);
    fs::create_directories(runList / "x");
    w.core.CreateListFiles();
    const fs::path list = w.folder.Path() / "list.buf";
    WriteFile(list, "carl," + w.coder().Code("PW") + ",90\r\n");
    auto bob = w.Dialog("bob", "pw", "80");
    ASSERT_TRUE(w.core.cmdLoginAA_Click(bob));
    EXPECT_FALSE(w.core.LoadListFile(list));
    EXPECT_EQ(w.Rows(), (Names{"C1:01:ANN:Disconnected:70", "C2:02:BOB:Disconnected:80"}));
    EXPECT_EQ(w.desk.Lines("pending.removeClientinfo|70").size() +
                  w.desk.Lines("pending.removeClientinfo|80").size(),
              0u);
    EXPECT_FALSE(w.core.LoadListFile(missing));
    EXPECT_FALSE(w.core.SaveListAs(nowhere));
    EXPECT_EQ(w.managers().Count(), 2);

    const std::string why = ": Is a directory";
    const std::string file = w.Saved().string(), run = runList.string();
    EXPECT_EQ(w.desk.Lines("message|"),
              (Names{"message|##DEF##|There is no data in the list",
                     "message|##DEF##|Could not save the account to " + file + why,
                     "message|##DEF##|Could not remove account 500 from " + file + why,
                     "message|##DEF##|Could not empty the account list " + run + why,
                     "message|##DEF##|Could not record the account in " + run + why,
                     "message|##DEF##|Could not load the account list " + list.string() + ": " +
                         run + " cannot be written: Is a directory. Nothing was changed.",
                     "message|##DEF##|Could not load the account list " + missing.string() +
                         ": it does not exist",
                     "message|##DEF##|Could not save the account list to " + nowhere.string() +
                         ": No such file or directory"}));

    fs::remove_all(runList);
    WriteFile(AccountsWindowCore::ConnectedListPath(), "ann,x,70\r\n");
    ASSERT_TRUE(w.core.SaveListAs(w.folder.Path() / "out.buf"));
    EXPECT_EQ(ReadFile(w.folder.Path() / "out.buf"), "ann,x,70\r\n");
    EXPECT_EQ(Mode(w.folder.Path() / "out.buf"), 0600u);

    // Account files the desk would not write are refused before anything changes,
    // named with the reason: a pipe, 16 MB, a saved file that an added line would
    // take past the bound.
    const fs::path pipe = w.folder.Path() / "pipe.buf";
    const fs::path big = w.folder.Path() / "big.buf", target = w.folder.Path() / "target.buf";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string sixteen(16 << 20, 'x');
    std::string full = SavedAccountLine(w.coder(), "ann", "pw", 70, false) + "\r\n\r\n";
    full.insert(full.size() - 2, AccountsWindowCore::kLargestSavedAccountsFile - 4 - full.size(),
                '#');
    const std::string larger = ": the file is larger than 4 MB";
    const auto saveCarl = [&] {
        auto carl = w.Dialog("carl", "pw", "90", true);
        EXPECT_FALSE(w.core.cmdLoginAA_Click(carl));
    };
    const struct {
        const char* name;
        fs::path file;  // what the step reads; "" for the chosen one
        const std::string* text;
        std::function<void()> act;
        std::string message;
    } refusals[] = {
        {"load a pipe", "", nullptr, [&] { EXPECT_FALSE(w.core.LoadListFile(pipe)); },
         "Could not load the account list " + pipe.string() + ": it is not a regular file"},
        {"load 16 MB", big, &sixteen, [&] { EXPECT_FALSE(w.core.LoadListFile(big)); },
         "Could not load the account list " + big.string() + larger},
        {"save as from 16 MB", AccountsWindowCore::ConnectedListPath(), &sixteen,
         [&] { EXPECT_FALSE(w.core.SaveListAs(target)); },
         "Could not save the account list to " + target.string() + ": " +
             AccountsWindowCore::ConnectedListPath().string() +
             " cannot be read: the file is larger than 4 MB. Nothing was written."},
        {"save an account to 16 MB", w.Saved(), &sixteen, saveCarl,
         "Could not save the account to " + w.Saved().string() + larger},
        {"save an account past the bound", w.Saved(), &full, saveCarl,
         "Could not save the account to " + w.Saved().string() +
             ": it would be larger than 4 MB, which no start reads; the file is left as it is"},
        {"remove from 16 MB", w.Saved(), &sixteen,
         [&] {
             w.rows().Item("C1").setSelected(true);
             w.core.mnuRemove_Click();
         },
         "Could not remove account 70 from " + w.Saved().string() + larger},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        if (r.text) WriteFile(r.file, *r.text);
        const Names rows = w.Rows();
        w.desk.Take();
        r.act();
        EXPECT_EQ(w.desk.Lines("message|"), Names{"message|##DEF##|" + r.message});
        if (r.text) {
            EXPECT_TRUE(ReadFile(r.file) == *r.text) << "changed";
        }
        if (std::string(r.name) != "remove from 16 MB") {
            EXPECT_EQ(w.Rows(), rows);
        }
        EXPECT_FALSE(fs::exists(target));
    }
}

// Against the demo server: saved lines True, False, True (and torn ones) give three
// rows of which two log in; the last logout resets the views at once; save-as
// then load logs the same accounts in again, a doubled lower-case line once.
TEST(AccountsWindowEndToEnd, StartUpLogoutSaveAsAndLoad) {
    platform::EventLoop::Ensure();
    simserver::Server server(simserver::DemoBook());
    server.Listen("127.0.0.1", 0);
    const std::string address = "127.0.0.1:" + std::to_string(server.Port());
    Window w(address);
    Names users;  // "USER PASSWORD ACCOUNT"
    for (const auto& line : simserver::CredentialLines(server.book())) users.push_back(line);
    ASSERT_GE(users.size(), 3u);
    std::vector<Names> creds;
    for (const auto& u : users) creds.push_back(runtime::Split(u, " "));
    std::string saved;
    const char* flags[] = {"True", "False", "True"};
    for (int i = 0; i < 3; ++i)
        saved += SavedAccountLine(w.coder(), creds[i][0], creds[i][1], std::stoi(creds[i][2]),
                                  flags[i] == std::string("True")) +
                 "\r\n" + (i == 0 ? "\r\ntorn\r\n" + std::string("\x01\xfe,\xff", 4) + "\r\n" : "");
    WriteFile(w.Saved(), saved);
    ::chmod(w.Saved().c_str(), 0644);

    w.core.CreateListFiles();
    w.core.LoadAccountInfoFile();
    EXPECT_EQ(Mode(w.Saved()), 0600u);
    ASSERT_EQ(w.rows().Count(), 3u);
    auto status = [&](const char* key) { return w.rows().Item(key).SubItems(kStatusColumn); };
    const auto connected = AccountsWindowCore::ConnectedListPath();
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] {
            return status("C1") == "Connected" && status("C3") == "Connected" &&
                   ReadLines(connected).size() == 2;
        },
        kWaitMs))
        << ::testing::PrintToString(w.desk.Log());
    EXPECT_EQ(status("C2"), "Disconnected");
    w.core.refreshsummery_Click("C1");
    const auto& row = w.rows().Item("C1");
    EXPECT_EQ(row.SubItemForeColor(kStatusColumn), AccountsWindowCore::kConnectedColor);
    EXPECT_NE(row.SubItems(kBalanceColumn), "");
    EXPECT_EQ(row.SubItems(10).back(), '%');
    EXPECT_EQ(ReadLines(AccountsWindowCore::SavedListPath()).size(), 3u);
    EXPECT_EQ(Mode(connected), 0600u);

    // Two logouts: the first keeps the views, the last resets them at once.
    w.desk.Take();
    w.rows().Item("C1").setSelected(true);
    w.core.MnuDisconnecte_Click();
    EXPECT_EQ(w.desk.Lines("mgeneral.R"),
              (Names{"mgeneral.RefreshNetPositions|False|" + creds[0][2],
                     "mgeneral.RemoveInvisibleSymbols"}));
    w.desk.State().DeskSymbols = std::make_shared<SymbolCollection>();
    w.rows().Item("C3").setSelected(true);
    w.core.MnuDisconnecte_Click();
    EXPECT_FALSE(w.desk.Lines("mgeneral.ResetTradeViews").empty());
    EXPECT_FALSE(w.desk.Lines("mgeneral.ClearOrderForms").empty());
    EXPECT_EQ(w.desk.State().DeskSymbols, nullptr);

    // Save-as, then load: the old sessions are logged out before they go.
    const fs::path list = w.folder.Path() / "list.buf";
    ASSERT_TRUE(w.core.SaveListAs(list));
    w.rows().Item("C2").setSelected(true);
    w.core.MnuConnecte_Click();
    w.desk.Take();
    ASSERT_TRUE(w.core.LoadListFile(list));
    const Names log = w.desk.Log();
    const auto logout =
        std::find(log.begin(), log.end(), "pending.removeClientinfo|" + creds[1][2]);
    const auto gone = std::find_if(log.begin(), log.end(), [](const std::string& l) {
        return l.starts_with("main.addToListView|");
    });
    EXPECT_LT(logout, gone);
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] {
            return w.rows().Count() == 2 && status("C1") == "Connected" &&
                   status("C2") == "Connected";
        },
        kWaitMs))
        << ::testing::PrintToString(w.Rows());

    // A list naming one account twice, in lower case, loads one session.
    const std::string lower = runtime::LCase(creds[0][0]) + "," + w.coder().Code(creds[0][1]) +
                              "," + creds[0][2] + "\r\n";
    WriteFile(list, lower + lower);
    ASSERT_TRUE(w.core.LoadListFile(list));
    EXPECT_EQ(w.managers().Count(), 1);
    ASSERT_EQ(w.rows().Count(), 1u);
    EXPECT_EQ(w.rows().Item(1).SubItems(kUsernameColumn) + ":" +
                  w.rows().Item(1).SubItems(kAccountColumn),
              creds[0][0] + ":" + creds[0][2]);

    // Editing the logged-on first row logs in the new session only (not the row that
    // takes over its key) and records the new account in the list file.
    auto line = [&](int i) {
        return creds[i][0] + "," + w.coder().Code(creds[i][1]) + "," + creds[i][2] + "\r\n";
    };
    WriteFile(list, line(0) + line(1));
    ASSERT_TRUE(w.core.LoadListFile(list));
    ASSERT_TRUE(platform::EventLoop::RunUntil(
        [&] { return status("C1") == "Connected" && status("C2") == "Connected"; }, kWaitMs));
    w.rows().Item("C2").setSelected(true);
    w.core.MnuDisconnecte_Click();
    w.rows().Item("C1").setSelected(true);
    auto edit = w.Dialog(creds[2][0], creds[2][1], creds[2][2]);
    edit.EditMode = true;
    ASSERT_TRUE(w.core.cmdLoginAA_Click(edit));
    ASSERT_TRUE(platform::EventLoop::RunUntil([&] { return status("C2") == "Connected"; }, kWaitMs))
        << ::testing::PrintToString(w.Rows());
    platform::EventLoop::RunFor(50);
    EXPECT_EQ(w.Rows(), (Names{"C1:01:" + creds[1][0] + ":Disconnected:" + creds[1][2],
                               "C2:02:" + creds[2][0] + ":Connected:" + creds[2][2]}));
    EXPECT_EQ(w.managers().Count(), 2);
    EXPECT_EQ(ReadLines(AccountsWindowCore::SavedListPath()).back(),
              creds[2][0] + "," + w.coder().Code(creds[2][1]) + "," + creds[2][2]);

    // The run's list that a login reads is refused past the bound, named with why.
    WriteFile(AccountsWindowCore::SavedListPath(), std::string(16 << 20, 'x'));
    w.rows().Item("C1").setSelected(true);
    w.core.MnuConnecte_Click();
    const std::string refused =
        "journal|" + creds[1][2] + "|AllDataAreLoaded failed: Path/File access error: " +
        AccountsWindowCore::SavedListPath().string() + ": the file is larger than 4 MB";
    EXPECT_TRUE(
        platform::EventLoop::RunUntil([&] { return !w.desk.Lines(refused).empty(); }, kWaitMs))
        << ::testing::PrintToString(w.desk.Lines("journal|"));
}

}  // namespace
