#include "desk/accounts/AccountsWindowCore.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "desk/common/AccountLines.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/PaneTable.h"
#include "platform/Paths.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kDefaultCaption = "##DEF##";
constexpr size_t kFirstClearedColumn = kNotesColumn;

using platform::FileAccess;

// An account file's text within the saved accounts' bound; a larger one, a pipe or
// a device raises with the reason, before anything is changed.
std::string BoundedText(const std::filesystem::path& path) {
    return platform::ReadFileWithin(path, AccountsWindowCore::kLargestSavedAccountsFile);
}

// BoundedText, "" when the file is missing.
std::string TextIfPresent(const std::filesystem::path& path) {
    try {
        return BoundedText(path);
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

struct SavedLine {
    size_t index;  // 0-based, among the file's lines
    SavedAccount saved;
};

// The first saved line of the account, if any.
std::optional<SavedLine> FirstSavedLine(const OrbanelGeneral10::CStringValues& coder,
                                        std::string_view text, int32_t account) {
    std::optional<SavedLine> found;
    size_t i = 0;
    ForEachLine(text, [&](std::string_view line) {
        auto saved = line.empty() ? std::nullopt : ParseSavedAccountLine(coder, line);
        if (saved && saved->Account == account) found = SavedLine{i, std::move(*saved)};
        ++i;
        return !found;
    });
    return found;
}

// The place "C<n>" names: the n-th row and session, until a removal that does not
// renumber shifts them; 0 for a key of another form.
size_t KeyPlace(const std::string& key) {
    if (key.size() < 2 || key.size() > 6 || key[0] != 'C') return 0;
    size_t n = 0;
    for (size_t i = 1; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return 0;
        n = n * 10 + size_t(key[i] - '0');
    }
    return n;
}
}  // namespace

void FillServers(platform::ComboBox& CBServer, const CLoginOptions& options,
                 const std::string& CompanyName) {
    CBServer.Clear();
    // A 16-bit counter would wrap before passing a full list's last server.
    for (int32_t i = 1; i <= options.Servers(); ++i)
        CBServer.AddItem(CompanyName + " " + options.ServerDesc(static_cast<int16_t>(i)));
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
    // The column holds the number as the desk wrote it, read on every refresh.
    const std::string& text = row.SubItemText(kAccountColumn);
    if (!text.empty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::atoi(text.c_str());
    try {
        return runtime::CLng(runtime::RoundHalfEven(runtime::Val(text)));
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

void AccountsWindowCore::AlertFailure(const std::string& what, const std::filesystem::path& file,
                                      const runtime::Error& error) {
    Alert(what + " " + file.string() + ": " + FailureReason(error));
}

// ---- Logging in and out ----

bool AccountsWindowCore::LoginClient(const std::string& key) {
    platform::ListItem& row = Rows().Item(key);
    ManagerPtr session = Managers().Item(key);
    const bool unaddressed =
        session && session->ClientAPIF() && session->ClientAPIF()->ServerIP().empty();
    if (row.SubItems(kStatusColumn) == "Disconnected" && session && session->ClientAPIF() &&
        !unaddressed) {
        session->ClientAPIF()->Login();
        row.setSubItems(kStatusColumn, "Connecting");
        desk_.State().CurrentManager = GetFirstLoggedOnManager(desk_);
    } else {
        desk_.Ports().Shell->setCommandBarControlEnabled(kBarAccountsPopup, kConnectCommand, false);
    }
    Colour(row);
    return !unaddressed;
}

void AccountsWindowCore::LoginAll() {
    bool unaddressed = false;
    for (size_t i = 1; i <= Rows().Count(); ++i)
        unaddressed = !LoginClient(Rows().Item(i).Key()) || unaddressed;
    if (unaddressed) SayNoServer();
}

void AccountsWindowCore::SayNoServer() {
    if (const std::string& why = options_.NoServerReason(); !why.empty()) Alert(why);
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
    if (platform::ListItem* row = Rows().SelectedItem(); row && !LoginClient(row->Key()))
        SayNoServer();
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

namespace {
platform::ListItem& RowUnder(platform::ListView& rows, const std::string& key, size_t place) {
    if (place >= 1 && place <= rows.Count()) {
        platform::ListItem& row = rows.Item(place);
        if (row.Key() == key) return row;
    }
    return rows.Item(key);
}

ManagerPtr SessionUnder(const CClientAPIManagers& managers, const std::string& key, size_t place) {
    const auto& sessions = managers.Children();
    if (place >= 1 && place <= size_t(sessions.Count()) && sessions.KeyAt(int32_t(place)) == key)
        return sessions.Item(int32_t(place));
    return sessions.Item(key);
}
}  // namespace

// Every session's row is refreshed after each of its quotes: the row and the
// session are first looked for at the place their key names.
void AccountsWindowCore::refreshsummery_Click(const std::string& key) {
    const size_t place = KeyPlace(key);
    platform::ListItem& row = RowUnder(Rows(), key, place);
    const int32_t account = RowAccount(row);
    std::array<double, 7> v = {};
    if (ManagerPtr session = SessionUnder(Managers(), key, place))
        session->Summary(account, v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    const auto texts = summaryTexts_.Texts(*desk_.State().StringValues, place, v);
    for (size_t i = 0; i < texts.size(); ++i) row.setSubItems(kBalanceColumn + i, texts[i]);
    // The store skips a write that changes nothing: a connected row stays untouched.
    row.setSubItems(kStatusColumn, "Connected");
    row.setSubItemForeColor(kStatusColumn, kConnectedColor);
}

// ---- Saved accounts ----

void AccountsWindowCore::LoadAccountInfoFile() {
    const std::filesystem::path path = desk_.State().AccountsFilePath;
    std::optional<std::string> read;
    try {
        read = platform::ReadFileUpTo(path, kLargestSavedAccountsFile);
    } catch (const runtime::Error& e) {
        if (e.Number() != runtime::errc::FileNotFound)
            AlertFailure("Could not read the saved accounts in", path, e);
        return;
    }
    if (!read) {
        Alert("Did not read the saved accounts in " + path.string() +
              ": the file is larger than 4 MB, far more than 500 accounts take, and is left as "
              "it is.");
        return;
    }
    const std::string text = std::move(*read);
    // A file made before the desk kept it private becomes so; never a file reached
    // through a link, nor another user's.
    platform::MakeOwnerOnly(path);
    const auto& coder = *desk_.State().StringValues;
    size_t damaged = 0;
    bool full = false;
    std::vector<std::string> listed;
    ForEachLine(text, [&](std::string_view line) {
        if (line.empty()) return true;
        const auto saved = ParseSavedAccountLine(coder, line);
        if (!saved) {
            ++damaged;
            return true;
        }
        // Past the limit every account would be refused, each with a box of its own.
        if (full) return true;
        full =
            !Managers().Add(options_.CurrentServerIP(), options_.CurrentServerPort(),
                            saved->UserName, saved->Password, saved->AutoLogin, saved->Account, "");
        if (!full)
            listed.push_back(AccountListLine(coder, saved->UserName, saved->Password,
                                             std::to_string(saved->Account)));
        return true;
    });
    RecordListLines(listed);
    if (damaged > 0)
        Alert("Skipped " + std::to_string(damaged) +
              (damaged == 1 ? " damaged line of " : " damaged lines of ") + path.string() +
              ": no account can be read from " + (damaged == 1 ? "it" : "them") +
              ". The file is left as it is.");
}

void AccountsWindowCore::RemoveAccountFromFile(const std::string& Key) {
    const platform::ListItem* row = Rows().Find(Key);
    if (!row) return;
    const int32_t account = RowAccount(*row);
    const std::filesystem::path path = desk_.State().AccountsFilePath;
    try {
        const std::string text = TextIfPresent(path);
        const auto found = FirstSavedLine(*desk_.State().StringValues, text, account);
        if (!found) return;
        // The other lines go back as they always did: each ended by CR LF.
        std::string kept;
        size_t i = 0;
        ForEachLine(text, [&](std::string_view line) {
            if (i++ != found->index) kept.append(line).append("\r\n");
            return true;
        });
        platform::AtomicWriteFile(path, kept, FileAccess::OwnerOnly);
    } catch (const runtime::Error& e) {
        AlertFailure("Could not remove account " + std::to_string(account) + " from", path, e);
    }
}

SaveTicks AccountsWindowCore::EditTicks(const std::string& Key) {
    const platform::ListItem* row = Rows().Find(Key);
    if (!row) return {};
    std::string text;
    try {
        text = TextIfPresent(desk_.State().AccountsFilePath);
    } catch (const runtime::Error&) {
        return {};  // the edit's removal says why when it meets the file
    }
    const auto found = FirstSavedLine(*desk_.State().StringValues, text, RowAccount(*row));
    // Another user's line goes with the edit all the same, but is not this row's to save again.
    if (!found || !runtime::EqualsNoCase(found->saved.UserName, row->SubItems(kUsernameColumn)))
        return {};
    return {true, found->saved.AutoLogin};
}

// ---- Account lists ----

void AccountsWindowCore::CreateListFiles() {
    for (const auto& path : {SavedListPath(), ConnectedListPath()}) {
        try {
            WriteOwnerOnly(path, {});
        } catch (const runtime::Error& e) {
            AlertFailure("Could not empty the account list", path, e);
        }
    }
}

void AccountsWindowCore::savedListViw(const std::string& UserName, const std::string& Password,
                                      const std::string& AccountText) {
    if (UserName.empty() || Password.empty() || AccountText.empty()) return;
    RecordListLines(
        {AccountListLine(*desk_.State().StringValues, UserName, Password, AccountText)});
}

void AccountsWindowCore::RecordListLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    const std::filesystem::path path = SavedListPath();
    try {
        auto all = SplitLines(TextIfPresent(path));
        const size_t before = all.size();
        for (const auto& line : lines)
            if (std::find(all.begin(), all.end(), line) == all.end()) all.push_back(line);
        if (all.size() != before) WriteOwnerOnly(path, all);
    } catch (const runtime::Error& e) {
        AlertFailure("Could not record the account in", path, e);
    }
}

bool AccountsWindowCore::cmdfunlogin(const std::string& UserName, const std::string& Password,
                                     const std::string& AccountText) {
    for (size_t i = 1; i <= Rows().Count(); ++i) {
        const auto& row = Rows().Item(i);
        if (runtime::EqualsNoCase(row.SubItems(kUsernameColumn), UserName) &&
            SameAccount(row.SubItems(kAccountColumn), AccountText))
            return true;
    }
    const AccountEntry entry{UserName, Password, AccountText, "-"};
    if (!CheckAccountEntry(entry).empty()) return true;  // a torn line names no account
    return AddSession(UserName, Password, true, EntryAccount(entry)) != nullptr;
}

void AccountsWindowCore::LoadAccounts() {
    std::vector<std::string> lines;
    try {
        lines = SplitLines(BoundedText(SavedListPath()));
    } catch (const runtime::Error& e) {
        AlertFailure("Could not read the account list", SavedListPath(), e);
        return;
    }
    const auto& coder = *desk_.State().StringValues;
    for (const auto& line : lines) {
        const auto account = ParseAccountListLine(coder, line);
        // Past the limit every account would be refused, each with a box of its own.
        if (account && !cmdfunlogin(account->UserName, account->Password, account->AccountText))
            break;
    }
    if (windowView_) windowView_->setDisplayed(true);
}

bool AccountsWindowCore::LoadListFile(const std::filesystem::path& chosen) {
    std::string text;
    try {
        text = BoundedText(chosen);
    } catch (const runtime::Error& e) {
        AlertFailure("Could not load the account list", chosen, e);
        return false;
    }
    // The run's list is what LoadAccounts logs in: written before anything goes, so
    // a failure leaves the desk as it was and never logs in a stale list.
    try {
        platform::AtomicWriteFile(SavedListPath(), text, FileAccess::OwnerOnly);
    } catch (const runtime::Error& e) {
        Alert("Could not load the account list " + chosen.string() + ": " +
              SavedListPath().string() + " cannot be written: " + FailureReason(e) +
              ". Nothing was changed.");
        return false;
    }
    mnuLogout_all();
    try {
        WriteOwnerOnly(ConnectedListPath(), {});
    } catch (const runtime::Error& e) {
        AlertFailure("Could not empty the account list", ConnectedListPath(), e);
    }
    Managers().Clear();
    LoadAccounts();
    return true;
}

bool AccountsWindowCore::SaveListAs(const std::filesystem::path& target) {
    if (Rows().Count() == 0) {
        Alert("There is no data in the list");
        return false;
    }
    std::string text;
    try {
        text = BoundedText(ConnectedListPath());
    } catch (const runtime::Error& e) {
        Alert("Could not save the account list to " + target.string() + ": " +
              ConnectedListPath().string() + " cannot be read: " + FailureReason(e) +
              ". Nothing was written.");
        return false;
    }
    try {
        platform::AtomicWriteFile(target, text, FileAccess::OwnerOnly);
    } catch (const runtime::Error& e) {
        AlertFailure("Could not save the account list to", target, e);
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
        if (!AddAccount(dialog, entry)) return false;
    }
    dialog.txtusername.clear();
    dialog.txtpassword.clear();
    dialog.txtaccount.clear();
    return true;
}

bool AccountsWindowCore::SaveAccount(const AccountDialogState& dialog, const AccountEntry& entry) {
    if (!dialog.chkSave) return true;
    try {
        options_.saveAccount(entry.UserName, entry.Password, EntryAccount(entry),
                             dialog.chkAutoLogin);
    } catch (const runtime::Error& e) {
        AlertFailure("Could not save the account to", desk_.State().AccountsFilePath, e);
        return false;
    }
    return true;
}

// An account that was to be saved and could not be is not added: the dialog
// keeps it for another try.
bool AccountsWindowCore::AddAccount(AccountDialogState& dialog, const AccountEntry& entry) {
    const int32_t account = EntryAccount(entry);
    if (!SaveAccount(dialog, entry)) return false;
    ManagerPtr session = AddSession(entry.UserName, entry.Password, false, account);
    savedListViw(entry.UserName, entry.Password, entry.AccountText);
    if (dialog.chkAutoLogin && session && session->ClientAPIF() &&
        !session->ClientAPIF()->ServerIP().empty())
        session->ClientAPIF()->Login();
    return true;
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
    if (dialog.chkAutoLogin && !wasLoggedOn && session && session->ClientAPIF() &&
        !session->ClientAPIF()->ServerIP().empty())
        session->ClientAPIF()->Login();
}

}  // namespace OrbanexDesk
