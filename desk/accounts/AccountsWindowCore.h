#pragma once
// The accounts window's work that needs no window: logging rows in and out,
// removing them, the saved-accounts file, the two account lists of the run and
// the dealer's list files, and the add-account dialog's add and change. It
// reaches the rows through frmMain's lvwClients store and the other panes through
// the ports, so the Qt window only forwards its events here.
//
// Files holding credentials are written whole (temporary file renamed over the
// old) and are the owner's alone; no password reaches a log. A file that cannot
// be read or written is reported to the operator in the desk's message box,
// naming the file and the reason, and keeps its old content.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "desk/accounts/AccountInput.h"
#include "desk/accounts/CLoginOptions.h"
#include "desk/common/AccountLines.h"
#include "desk/common/DeskServices.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

// The add-account dialog's two ticks.
struct SaveTicks {
    bool chkSave = false;
    bool chkAutoLogin = false;
};

// What the add-account dialog holds when its add button is pressed.
struct AccountDialogState {
    std::string txtusername, txtpassword, txtaccount;
    const platform::ComboBox* CBServer = nullptr;
    bool chkSave = false;
    bool chkAutoLogin = false;
    bool EditMode = false;
};

// Fills the dialog's server combo: "<CompanyName> <description>" per server, then
// selects the current server, or shows its "ip:port" typed when it is not listed.
void FillServers(platform::ComboBox& CBServer, const CLoginOptions& options,
                 const std::string& CompanyName);

class AccountsWindowCore {
public:
    static constexpr int32_t kConnectCommand = 100018;
    static constexpr int32_t kConnectedColor = 51200;  // RGB(0, 200, 0)
    static constexpr int32_t kAlertColor = 255;        // red
    // The list files' chooser.
    static constexpr const char* kLoadTitle = "Load File";
    static constexpr const char* kListFilter = "Text Files (*.buf)|*.buf|All Files (*.*)|*.*";
    // What a list's name typed without one gets.
    static constexpr const char* kListExtension = "buf";
    // The saved accounts' and the account lists' one bound.
    static constexpr size_t kLargestSavedAccountsFile = kLargestAccountLinesFile;

    AccountsWindowCore(DeskServices& desk, CLoginOptions& options);
    // The accounts window's pane view, which a loaded list brings forward; none: nothing.
    void setWindowView(IPaneView* view) { windowView_ = view; }

    // ---- Logging in and out ----
    // Logs a "Disconnected" row in ("Connecting"); any other status, or a session
    // without a server address, only disables Connect. Nothing else here logs in
    // a session without one either. False only for a session without one.
    bool LoginClient(const std::string& key);
    // Logs every row in, in list order; rows without a server address say why once.
    void LoginAll();
    // Takes the account out of the views and disconnects it; the session writes the status.
    void LogoutClient(const std::string& key);
    // The selected row's LoginClient; without a server address it says why.
    void MnuConnecte_Click();
    // Logs the selected row out; when no other row is "Connected", resets the views.
    void MnuDisconnecte_Click();
    void mnuRemove_Click();
    void mnuLogout_all();
    // Logs out, forgets the saved lines and removes every row and session.
    void mnuremove_all();
    // Writes the session's summary into row `key` and shows it "Connected".
    void refreshsummery_Click(const std::string& key);

    // ---- Saved accounts ----
    // One session per saved account, logged in when flagged "True". Damaged lines
    // are skipped and counted in one message; once the collection refuses an
    // account for its limit (its own message), the rest are not offered. A file
    // larger than kLargestSavedAccountsFile is not read. A missing file is no
    // error; an unreadable one is reported.
    void LoadAccountInfoFile();
    // Deletes the first saved line of row Key's account.
    void RemoveAccountFromFile(const std::string& Key);
    // The ticks an edit of row Key opens with: those of the line the edit deletes
    // when it is the row's user's, so that confirming saves the account again;
    // both clear when there is no such line or the file cannot be read.
    SaveTicks EditTicks(const std::string& Key);

    // ---- Account lists ----
    // Creates both lists of the run (0600) and empties them.
    void CreateListFiles();
    // Records the account in "\savelvinfo.buf" unless an equal line is there.
    void savedListViw(const std::string& UserName, const std::string& Password,
                      const std::string& AccountText);
    // Adds and logs in the account unless a row shows its user (any case) and
    // account; false only when the collection refused it for its limit.
    bool cmdfunlogin(const std::string& UserName, const std::string& Password,
                     const std::string& AccountText);
    // Adds and logs in every account of the run's list, then shows the window.
    void LoadAccounts();
    // Replaces the desk's accounts with the list's. The run's list is written
    // first: when the chosen list cannot be read or the run's list written, it
    // says why and returns false, and nothing has changed.
    bool LoadListFile(const std::filesystem::path& chosen);
    // Copies the run's connected accounts to `target`; with no rows it shows
    // "There is no data in the list". False (and said why) when nothing was written.
    bool SaveListAs(const std::filesystem::path& target);

    // ---- The add-account dialog ----
    // Checks and adds (or, in edit mode, changes) the account; true when done,
    // and then the three text boxes are empty.
    bool cmdLoginAA_Click(AccountDialogState& dialog);

    // Where the load's chooser starts: the user's home folder ($HOME), else the
    // program folder.
    static std::filesystem::path LoadStartFolder();
    static std::filesystem::path SavedListPath();
    static std::filesystem::path ConnectedListPath();

private:
    platform::ListView& Rows();
    CClientAPIManagers& Managers();
    // A session of the current server for the account, user and password upper-cased.
    ManagerPtr AddSession(const std::string& UserName, const std::string& Password, bool LoginNow,
                          int32_t Account);
    int32_t RowAccount(const platform::ListItem& row) const;
    void Colour(platform::ListItem& row);
    bool AnyConnected(const std::string& loggedOutKey);
    void DropTradingViews();
    void Alert(const std::string& text);
    // The start's reason that no current server was read, shown again.
    void SayNoServer();
    // "<what> <file>: <reason>" in the desk's message box.
    void AlertFailure(const std::string& what, const std::filesystem::path& file,
                      const runtime::Error& error);
    // Appends the lines not yet in "\savelvinfo.buf", in one write.
    void RecordListLines(const std::vector<std::string>& lines);
    bool SaveAccount(const AccountDialogState& dialog, const AccountEntry& entry);
    bool AddAccount(AccountDialogState& dialog, const AccountEntry& entry);
    void ChangeAccount(AccountDialogState& dialog, const AccountEntry& entry);

    DeskServices& desk_;
    CLoginOptions& options_;
    IPaneView* windowView_ = nullptr;
    SummaryTextMemo summaryTexts_;
};

}  // namespace OrbanexDesk
