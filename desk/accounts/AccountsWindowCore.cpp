#include "desk/accounts/AccountsWindowCore.h"

#include <cstdlib>

#include "desk/common/AccountLines.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/PaneTable.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "runtime/Diagnostics.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kDefaultCaption = "##DEF##";
constexpr size_t kFirstClearedColumn = kNotesColumn;

using platform::FileAccess;

// The file's text, "" when it is missing.
std::string TextIfPresent(const std::filesystem::path& path) {
    try {
        return platform::ReadWholeFile(path);
    } catch (const runtime::Error& e) {
        if (e.Number() != runtime::errc::FileNotFound) throw;
        return "";
    }
}

void WriteOwnerOnly(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    platform::AtomicWriteFile(path, JoinLines(lines), FileAccess::OwnerOnly);
}

bool SameAccount(const std::string& a, const std::string& b) {
    return runtime::Val(a) == runtime::Val(b);
}
}  // namespace

void FillServers(platform::ComboBox& CBServer, const CLoginOptions& options,
                 const std::string& CompanyName) {
    CBServer.Clear();
    for (int16_t i = 1; i <= options.Servers(); ++i)
        CBServer.AddItem(CompanyName + " " + options.ServerDesc(i));
    const int16_t current = options.CurrentServerIndex();
    if (current == -1)
        CBServer.TypeText(options.CurrentServerDesc());
    else
        CBServer.setListIndex(current - 1);
}

AccountsWindowCore::AccountsWindowCore(DeskServices& desk, CLoginOptions& options)
    : desk_(desk), options_(options) {}

std::filesystem::path AccountsWindowCore::LoadStartFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::filesystem::path(home) : platform::ProgramFolder();
}

std::filesystem::path AccountsWindowCore::SavedListPath() {
    return platform::ResolvePath("\\savelvinfo.buf");
}

std::filesystem::path AccountsWindowCore::ConnectedListPath() {
    return platform::ResolvePath("\\saveconnected.buf");
}

platform::ListView& AccountsWindowCore::Rows() {
    return desk_.Ports().frmMain->lvwClients();
}

CClientAPIManagers& AccountsWindowCore::Managers() {
    return *desk_.Managers();
}

// Sessions log in with the user name and password upper-cased, the form in which
// the saved-accounts file keeps them and the next start logs in: an account
// typed in lower case then logs in now as it will after a restart.
ManagerPtr AccountsWindowCore::AddSession(const std::string& UserName, const std::string& Password,
                                          bool LoginNow, int32_t Account) {
    return Managers().Add(options_.CurrentServerIP(), options_.CurrentServerPort(),
                          runtime::UCase(UserName), runtime::UCase(Password), LoginNow, Account,
                          "");
}

int32_t AccountsWindowCore::RowAccount(const platform::ListItem& row) const {
    try {
        return runtime::CLng(runtime::RoundHalfEven(runtime::Val(row.SubItems(kAccountColumn))));
    } catch (const runtime::Error&) {
        return 0;
    }
}

void AccountsWindowCore::Colour(platform::ListItem& row) {
    row.setSubItemForeColor(
        kStatusColumn, row.SubItems(kStatusColumn) == "Connected" ? kConnectedColor : kAlertColor);
    row.setSubItemForeColor(kNotesColumn, row.SubItems(kNotesColumn) == "Invalid account"
                                              ? kConnectedColor
                                              : kAlertColor);
}

void AccountsWindowCore::Alert(const std::string& text) {
    desk_.Ports().Messages->ShowMessage(text, kDefaultCaption, false);
}

// ---- Logging in and out ----

void AccountsWindowCore::LoginClient(const std::string& key) {
    platform::ListItem& row = Rows().Item(key);
    ManagerPtr session = Managers().Item(key);
    if (row.SubItems(kStatusColumn) == "Disconnected" && session && session->ClientAPIF()) {
        session->ClientAPIF()->Login();
        row.setSubItems(kStatusColumn, "Connecting");
        desk_.State().CurrentManager = GetFirstLoggedOnManager(desk_);
    } else {
        desk_.Ports().Shell->setCommandBarControlEnabled(kBarAccountsPopup, kConnectCommand, false);
    }
    Colour(row);
}

void AccountsWindowCore::LogoutClient(const std::string& key) {
    const DeskPorts& ports = desk_.Ports();
    platform::ListItem& row = Rows().Item(key);
    const int32_t account = RowAccount(row);
    ports.frmPending->removeClientinfo(account);
    ports.MGeneral->RefreshNetPositions(false, account);
    if (ManagerPtr session = Managers().Item(key); session && session->ClientAPIF())
        session->ClientAPIF()->Disconnect();
    ports.Sound->PlayWave(SoundFile("Disconnect.wav"));
    // The rows may have changed under the disconnect's handlers.
    platform::ListItem* again = Rows().Find(key);
    if (!again) return;
    Colour(*again);
    for (size_t column = kFirstClearedColumn; column <= kFreeMarginColumn; ++column)
        again->setSubItems(column, "");
    ports.frmorder->Remove(account);
    ports.frmClosePos->CloseSymbols_Click();
    ManagerPtr current = desk_.State().CurrentManager.lock();
    if (current && current->m_lAccount == account)
        desk_.State().CurrentManager = GetFirstLoggedOnManager(desk_);
}

void AccountsWindowCore::MnuConnecte_Click() {
    if (platform::ListItem* row = Rows().SelectedItem()) LoginClient(row->Key());
}

bool AccountsWindowCore::AnyConnected(const std::string& loggedOutKey) {
    // A session reports its close a loop turn after the logout: the row just logged
    // out, and any row shown "Connected" whose session is no longer logged on,
    // count as logged out.
    for (size_t i = 1; i <= Rows().Count(); ++i) {
        const auto& row = Rows().Item(i);
        if (row.Key() == loggedOutKey || row.SubItems(kStatusColumn) != "Connected") continue;
        const ManagerPtr session = Managers().Item(row.Key());
        if (session && session->ClientAPIF() && session->ClientAPIF()->LogedOn()) return true;
    }
    return false;
}

void AccountsWindowCore::DropTradingViews() {
    desk_.Ports().MGeneral->ResetTradeViews();
    desk_.Ports().MGeneral->ClearOrderForms();
    desk_.State().DeskSymbols.reset();
}

void AccountsWindowCore::MnuDisconnecte_Click() {
    platform::ListItem* row = Rows().SelectedItem();
    if (Rows().Count() == 0 || !row) return;
    const std::string key = row->Key();
    LogoutClient(key);
    if (!AnyConnected(key))
        DropTradingViews();
    else
        desk_.Ports().MGeneral->RemoveInvisibleSymbols();
}

void AccountsWindowCore::mnuRemove_Click() {
    platform::ListItem* row = Rows().SelectedItem();
    if (Rows().Count() == 0 || !row) return;
    const std::string key = row->Key();
    desk_.Ports().frmPending->removeClientinfo(RowAccount(*row));
    MnuDisconnecte_Click();
    RemoveAccountFromFile(key);
    Managers().Remove(key);
    desk_.Ports().frmClosePos->CloseSymbols_Click();
    if (Rows().Count() > 0)
        desk_.Ports().MGeneral->RemoveInvisibleSymbols();
    else
        desk_.Ports().MGeneral->ClearOrderForms();
}

void AccountsWindowCore::mnuLogout_all() {
    for (size_t i = 1; i <= Rows().Count(); ++i) LogoutClient(Rows().Item(i).Key());
    DropTradingViews();
}

void AccountsWindowCore::mnuremove_all() {
    mnuLogout_all();
    for (size_t i = 1; i <= Rows().Count(); ++i) RemoveAccountFromFile(Rows().Item(i).Key());
    // Sessions left behind would still take closes and count toward the limit.
    Managers().Clear();
    Rows().Clear();
    desk_.Ports().MGeneral->ResetTradeViews();
}

void AccountsWindowCore::refreshsummery_Click(const std::string& key) {
    platform::ListItem& row = Rows().Item(key);
    const int32_t account = RowAccount(row);
    double v[7] = {};
    if (ManagerPtr session = Managers().Item(key))
        session->Summary(account, v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    const auto texts =
        SummaryTexts(*desk_.State().StringValues, v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    for (size_t i = 0; i < texts.size(); ++i) row.setSubItems(kBalanceColumn + i, texts[i]);
    row.setSubItems(kStatusColumn, "Connected");
    row.setSubItemForeColor(kStatusColumn, kConnectedColor);
}

// ---- Saved accounts ----

void AccountsWindowCore::LoadAccountInfoFile() {
    const std::filesystem::path path = desk_.State().AccountsFilePath;
    std::string text;
    try {
        text = platform::ReadWholeFile(path);
    } catch (const runtime::Error&) {
        return;  // no saved accounts yet, or none readable: the desk starts empty
    }
    std::error_code ec;  // a file made before the desk kept it private stays as it is
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ec);
    const auto& coder = *desk_.State().StringValues;
    for (const auto& line : SplitLines(text)) {
        const auto saved = ParseSavedAccountLine(coder, line);
        if (!saved) continue;
        Managers().Add(options_.CurrentServerIP(), options_.CurrentServerPort(), saved->UserName,
                       saved->Password, saved->AutoLogin, saved->Account, "");
        savedListViw(saved->UserName, saved->Password, std::to_string(saved->Account));
    }
}

void AccountsWindowCore::RemoveAccountFromFile(const std::string& Key) {
    const platform::ListItem* row = Rows().Find(Key);
    if (!row) return;
    const int32_t account = RowAccount(*row);
    const std::filesystem::path path = desk_.State().AccountsFilePath;
    runtime::RunReported("Accounts window RemoveAccountFromFile", [&] {
        auto lines = SplitLines(TextIfPresent(path));
        const auto& coder = *desk_.State().StringValues;
        for (auto it = lines.begin(); it != lines.end(); ++it) {
            const auto saved = ParseSavedAccountLine(coder, *it);
            if (saved && saved->Account == account) {
                lines.erase(it);
                WriteOwnerOnly(path, lines);
                return;
            }
        }
    });
}

// ---- Account lists ----

void AccountsWindowCore::CreateListFiles() {
    runtime::RunReported("Accounts window CreateListFiles", [] {
        WriteOwnerOnly(SavedListPath(), {});
        WriteOwnerOnly(ConnectedListPath(), {});
    });
}

void AccountsWindowCore::savedListViw(const std::string& UserName, const std::string& Password,
                                      const std::string& AccountText) {
    if (UserName.empty() || Password.empty() || AccountText.empty()) return;
    const std::string line =
        AccountListLine(*desk_.State().StringValues, UserName, Password, AccountText);
    runtime::RunReported("Accounts window savedListViw", [&] {
        auto lines = SplitLines(TextIfPresent(SavedListPath()));
        for (const auto& existing : lines)
            if (existing == line) return;
        lines.push_back(line);
        WriteOwnerOnly(SavedListPath(), lines);
    });
}

void AccountsWindowCore::cmdfunlogin(const std::string& UserName, const std::string& Password,
                                     const std::string& AccountText) {
    for (size_t i = 1; i <= Rows().Count(); ++i) {
        const auto& row = Rows().Item(i);
        if (runtime::EqualsNoCase(row.SubItems(kUsernameColumn), UserName) &&
            SameAccount(row.SubItems(kAccountColumn), AccountText))
            return;
    }
    const AccountEntry entry{UserName, Password, AccountText, "-"};
    if (!CheckAccountEntry(entry).empty()) return;  // a torn line names no account
    AddSession(UserName, Password, true, EntryAccount(entry));
}

void AccountsWindowCore::LoadAccounts() {
    std::vector<std::string> lines;
    try {
        lines = ReadLines(SavedListPath());
    } catch (const runtime::Error&) {
        return;
    }
    const auto& coder = *desk_.State().StringValues;
    for (const auto& line : lines)
        if (const auto account = ParseAccountListLine(coder, line))
            cmdfunlogin(account->UserName, account->Password, account->AccountText);
    if (windowView_) windowView_->setDisplayed(true);
}

bool AccountsWindowCore::LoadListFile(const std::filesystem::path& chosen) {
    std::string text;
    try {
        text = platform::ReadWholeFile(chosen);
    } catch (const runtime::Error&) {
        return false;
    }
    mnuLogout_all();
    CreateListFiles();
    Managers().Clear();
    runtime::RunReported("Accounts window load", [&] {
        platform::AtomicWriteFile(SavedListPath(), text, FileAccess::OwnerOnly);
    });
    LoadAccounts();
    return true;
}

bool AccountsWindowCore::SaveListAs(const std::filesystem::path& target) {
    if (Rows().Count() == 0) {
        Alert("There is no data in the list");
        return false;
    }
    try {
        platform::AtomicWriteFile(target, platform::ReadWholeFile(ConnectedListPath()),
                                  FileAccess::OwnerOnly);
    } catch (const runtime::Error&) {
        return false;
    }
    return true;
}

// ---- The add-account dialog ----

bool AccountsWindowCore::cmdLoginAA_Click(AccountDialogState& dialog) {
    if (!dialog.CBServer || !options_.SetData(*dialog.CBServer)) return false;
    const AccountEntry entry{dialog.txtusername, dialog.txtpassword, dialog.txtaccount,
                             dialog.CBServer->Text()};
    if (const std::string refusal = CheckAccountEntry(entry); !refusal.empty()) {
        Alert(refusal);
        return false;
    }
    if (dialog.EditMode) {
        platform::ListItem* selected = Rows().SelectedItem();
        if (!selected) return false;
        if (EditRefused(Rows(), *selected, entry)) {
            Alert(AlreadyExistsMessage(entry));
            return false;
        }
        ChangeAccount(dialog, entry);
    } else {
        if (AccountListed(Rows(), entry)) {
            Alert(AlreadyExistsMessage(entry));
            return false;
        }
        AddAccount(dialog, entry);
    }
    dialog.txtusername.clear();
    dialog.txtpassword.clear();
    dialog.txtaccount.clear();
    return true;
}

void AccountsWindowCore::SaveAccount(const AccountDialogState& dialog, const AccountEntry& entry) {
    if (!dialog.chkSave) return;
    runtime::RunReported("Accounts window saveAccount", [&] {
        options_.saveAccount(entry.UserName, entry.Password, EntryAccount(entry),
                             dialog.chkAutoLogin);
    });
}

void AccountsWindowCore::AddAccount(AccountDialogState& dialog, const AccountEntry& entry) {
    const int32_t account = EntryAccount(entry);
    SaveAccount(dialog, entry);
    ManagerPtr session = AddSession(entry.UserName, entry.Password, false, account);
    savedListViw(entry.UserName, entry.Password, entry.AccountText);
    if (dialog.chkAutoLogin && session && session->ClientAPIF()) session->ClientAPIF()->Login();
}

void AccountsWindowCore::ChangeAccount(AccountDialogState& dialog, const AccountEntry& entry) {
    const std::string key = Rows().SelectedItem()->Key();
    ManagerPtr old = Managers().Item(key);
    const bool wasLoggedOn = old && old->ClientAPIF() && old->ClientAPIF()->LogedOn();
    old.reset();
    LogoutClient(key);
    RemoveAccountFromFile(key);
    Managers().Remove(key);
    const int32_t account = EntryAccount(entry);
    ManagerPtr session = AddSession(entry.UserName, entry.Password, wasLoggedOn, account);
    SaveAccount(dialog, entry);
    savedListViw(entry.UserName, entry.Password, entry.AccountText);
    if (dialog.chkAutoLogin && !wasLoggedOn && session && session->ClientAPIF())
        session->ClientAPIF()->Login();
}

}  // namespace OrbanexDesk
