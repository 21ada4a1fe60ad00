#pragma once
// The accounts window's and the add-account dialog's rules that need no window:
// the key filters, the dialog's checks and their messages, which account commands
// the popup offers, the summary texts of a row and the look-up of a row by account.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desk/common/OrderPaneProcedures.h"
#include "general/common/CStringValues.h"
#include "platform/ListView.h"

namespace OrbanexDesk {

// Columns of the accounts list (sub-item numbers).
enum AccountColumn : size_t {
    kUsernameColumn = 1,
    kStatusColumn = 2,
    kAccountColumn = 3,
    kNotesColumn = 4,
    kBalanceColumn = 5,
    kFreeMarginColumn = 11,
};

constexpr int16_t kKeyEnter = 13;
constexpr int16_t kKeyEscape = 27;
constexpr int16_t kKeyDot = kKeyPoint;

// The amount fields' key filter, askycodekeypress, is the order panes' (OrderPaneProcedures.h).

// What a key pressed in the dialog's account box does, judged on the text before it.
struct AccountKey {
    int16_t key;          // the key as it reaches the box (0: dropped)
    bool addEnabled;      // the add button's state afterwards
    bool add = false;     // Enter: run the add
    bool unload = false;  // Escape: close the dialog
};
AccountKey txtaccount_KeyPress(const std::string& Text, int16_t KeyAscii);

// The dialog's fields.
struct AccountEntry {
    std::string UserName, Password, AccountText, ServerText;
};
constexpr const char* kCommaInUserName = "Please enter a username without \",\"";
// The first check the entry fails, as its message ("" when it passes): every field
// filled, no "," in the user name, then a numeric account within 32 bits.
std::string CheckAccountEntry(const AccountEntry& entry);
// The account number of a checked entry.
int32_t EntryAccount(const AccountEntry& entry);
// "Account <account> for client <user> already exists".
std::string AlreadyExistsMessage(const AccountEntry& entry);
// Add mode: a row already shows this user (trimmed, upper case) and account (trimmed).
bool AccountListed(const platform::ListView& lvwClients, const AccountEntry& entry);
// Edit mode: tags the selected row with the new user and account and counts the
// rows showing them plus the rows so tagged; two or more refuse the change (and
// clear the tag). A change keeping user and account is refused.
bool EditRefused(platform::ListView& lvwClients, platform::ListItem& selected,
                 const AccountEntry& entry);

// Which account commands the popup enables, in the order Connect, Disconnect,
// Remove, Login All, Logout All, Remove All.
using PopupCommands = std::array<bool, 6>;
constexpr std::array<int32_t, 6> kPopupCommandIds = {100018, 100019, 100020,
                                                     100032, 100033, 100034};
// Nothing when no popup shows: not the right button, no usable selection, or a
// selected status outside "Disconnected", "Connecting", "Connected".
std::optional<PopupCommands> AccountsPopup(const platform::ListView& lvwClients, bool rightButton);

// The seven summary columns' texts: Balance, Flt P/L, Credit, Equity, Used Margin
// (negated), Margin Level (times 100 and "%"), Free Margin.
std::array<std::string, 7> SummaryTexts(const OrbanelGeneral10::CStringValues& values,
                                        double Balance, double FltPL, double Credit, double Equity,
                                        double marginReq, double MarginLevel, double EffMargin);

// SummaryTexts for the rows, by the row's place, each text kept with the figure
// it shows: a row's balance, credit and used margin mostly stay from one refresh
// to the next, and a text depends only on its figure and the separators. GUI
// thread only.
class SummaryTextMemo {
public:
    static constexpr size_t kPlaces = 512;  // beyond: formatted every time

    std::array<std::string, 7> Texts(const OrbanelGeneral10::CStringValues& values, size_t place,
                                     const std::array<double, 7>& figures);

private:
    struct Shown {
        uint64_t bits = 0;
        bool valid = false;
        std::string text;
    };
    std::vector<std::array<Shown, 7>> places_;
    std::string decimal_, thousands_;
};

// The first row whose account column, as a whole number, equals Account's number.
platform::ListItem* ReturnList(const platform::ListView& lvwClients, const std::string& Account);

}  // namespace OrbanexDesk
