// The accounts window's and the add-account dialog's rules: key filters, the
// dialog's checks in order, the popup's commands, summary texts and row look-up.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "desk/accounts/AccountInput.h"
#include "runtime/Convert.h"
#include "runtime/Locale.h"

namespace {

using namespace OrbanexDesk;

platform::ListItem& Row(platform::ListView& lv, const std::string& user, const std::string& status,
                        const std::string& account) {
    const std::string n = std::to_string(lv.Count() + 1);
    auto& row = lv.Add("C" + n, (n.size() < 2 ? "0" : "") + n);
    row.setSubItems(kUsernameColumn, user);
    row.setSubItems(kStatusColumn, status);
    row.setSubItems(kAccountColumn, account);
    return row;
}

// Amount keys: digits, one "." and Backspace pass; the account box also drops a
// first "." and, from nine characters on, disables adding and passes any key.
TEST(AccountInput, KeyFiltersOfAmountsAndTheAccountBox) {
    struct Case {
        const char* text;
        int16_t key;
        int16_t amount;  // askycodekeypress
        AccountKey account;
    } cases[] = {
        {"12", '5', '5', {'5', true}},
        {"12", '.', '.', {0, true}},
        {"1.2", '.', 0, {'.', true}},
        {"12", 'a', 0, {0, true}},
        {"12", kKeyBackspace, kKeyBackspace, {kKeyBackspace, true}},
        {"12", kKeyEnter, 0, {0, true, true}},
        {"12", kKeyEscape, 0, {0, true, false, true}},
        {"12345678", 'a', 0, {0, true}},
        {"123456789", 'a', 0, {'a', false}},
        {"123456789", kKeyEnter, 0, {kKeyEnter, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " + " + std::to_string(c.key));
        int16_t key = c.key;
        EXPECT_EQ(askycodekeypress(key, c.text), c.amount);
        const AccountKey got = txtaccount_KeyPress(c.text, c.key);
        EXPECT_EQ(got.key, c.account.key);
        EXPECT_EQ(got.addEnabled, c.account.addEnabled);
        EXPECT_EQ(got.add, c.account.add);
        EXPECT_EQ(got.unload, c.account.unload);
    }
}

// The first failing check names the message; a listed user (any case) and
// account is a duplicate; an edit keeping user and account, or repeating
// another row's, is refused and leaves no tag.
TEST(AccountInput, DialogChecksInOrderAndDuplicates) {
    struct Case {
        AccountEntry entry;
        const char* message;
    } cases[] = {
        {{"john", "", "500", "s"}, "Please fill all account information"},
        {{"", "pw", "500", "s"}, "Please fill all account information"},
        {{"a,b", "pw", "500", "s"}, kCommaInUserName},
        {{"john", "p,w", "500", "s"}, ""},
        {{"john", "pw", "5a0", "s"}, "Please enter a valid  account ID"},
        {{"john", "pw", "4294967296", "s"}, "Please enter a valid  account ID"},
        {{"john", "pw", "2147483647", "s"}, ""},
        {{"john", "pw", "500", "s"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckAccountEntry(c.entry), c.message) << c.entry.AccountText;
    EXPECT_EQ(EntryAccount({"john", "pw", "00123", "s"}), 123);

    platform::ListView lv;
    Row(lv, "JOHN", "Connected", "500");
    auto& ann = Row(lv, "ANN", "Disconnected", "70");
    const AccountEntry john{"john ", "pw", "500", "s"};
    EXPECT_TRUE(AccountListed(lv, john));
    EXPECT_FALSE(AccountListed(lv, {"john", "pw", "501", "s"}));
    EXPECT_EQ(AlreadyExistsMessage({"john", "pw", "500", "s"}),
              "Account 500 for client john already exists");

    EXPECT_TRUE(EditRefused(lv, ann, {"ann", "new password", "70", "s"}));
    EXPECT_EQ(ann.Tag(), "");
    EXPECT_TRUE(EditRefused(lv, ann, john));
    EXPECT_FALSE(EditRefused(lv, ann, {"ann", "pw", "71", "s"}));
}

// The popup follows the selected row's status; an empty list shows it with all
// six commands off; a left click, no selection or another status shows none.
TEST(AccountInput, PopupCommandsFollowTheSelectedStatus) {
    using P = PopupCommands;
    platform::ListView lv;
    EXPECT_EQ(AccountsPopup(lv, true), P{});
    EXPECT_FALSE(AccountsPopup(lv, false));
    auto& a = Row(lv, "A", "Disconnected", "1");
    auto& b = Row(lv, "B", "Connecting", "2");
    auto& c = Row(lv, "C", "Invalid username or password", "3");
    EXPECT_FALSE(AccountsPopup(lv, true)) << "no selection";
    struct Case {
        platform::ListItem* select;
        const char* otherStatus;  // of row B
        std::optional<P> popup;
    } cases[] = {
        {&a, "Connecting", P{true, false, true, true, false, true}},
        {&a, "Connected", P{true, false, true, true, true, true}},
        {&b, "Connecting", P{true, true, true, true, true, true}},
        {&b, "Connected", P{false, true, true, true, true, true}},
        {&c, "Connected", std::nullopt},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.select->Key() + " with B " + k.otherStatus);
        b.setSubItems(kStatusColumn, k.otherStatus);
        k.select->setSelected(true);
        EXPECT_EQ(AccountsPopup(lv, true), k.popup);
        EXPECT_FALSE(AccountsPopup(lv, false));
    }
    a.setSubItems(kStatusColumn, "Connected");
    b.setSelected(true);
    EXPECT_EQ(AccountsPopup(lv, true), (P{false, true, true, false, true, true}));
}

// Summary texts: money with two decimals and grouping, the margin negated, the
// level as a percentage; a row is found by its account as a number.
TEST(AccountInput, SummaryTextsAndRowLookUpByAccountNumber) {
    const OrbanelGeneral10::CStringValues values;
    const auto texts = SummaryTexts(values, 12345.5, -3, 0, 1e6, 150.5, 0.25, 7);
    EXPECT_EQ(texts, (std::array<std::string, 7>{"12,345.50", "-3.00", "0.00", "1,000,000.00",
                                                 "-150.50", "25.00%", "7.00"}));
    platform::ListView lv;
    Row(lv, "A", "Connected", "070");
    auto& b = Row(lv, "B", "Connected", "80");
    EXPECT_EQ(ReturnList(lv, "80"), &b);
    EXPECT_EQ(ReturnList(lv, "70.0"), &lv.Item(1));
    EXPECT_EQ(ReturnList(lv, "81"), nullptr);
    EXPECT_EQ(ReturnList(lv, "x"), nullptr);
}

// The kept texts are what SummaryTexts writes, through changed and kept figures,
// places shared and beyond the kept ones, and a change of separators.
TEST(AccountInput, KeptSummaryTextsAreTheFormattedOnes) {
    const OrbanelGeneral10::CStringValues values;
    SummaryTextMemo memo;
    using Figures = std::array<double, 7>;
    struct Step {
        size_t place;
        Figures figures;
        bool otherSeparators;
    } steps[] = {
        {1, {12345.5, -3, 0, 1e6, 150.5, 0.25, 7}, false},
        {1, {12345.5, -2.994, 0, 1e6, 150.5, 0.2501, 7}, false},
        {1, {12345.5, -2.994, -0.0, 1e6, 150.5, 0.2501, 7}, true},
        {2, {1, 2, 3, 4, 5, 6, 7}, true},
        {1, {12345.5, -2.994, -0.0, 1e6, 150.5, 0.2501, 7}, false},
        {SummaryTextMemo::kPlaces, {9, 9, 9, 9, 9, 9, 9}, false},
    };
    runtime::LocaleSettings other;
    other.decimal = ",";
    other.thousands = ".";
    for (const Step& step : steps) {
        SCOPED_TRACE(step.place);
        std::optional<runtime::ScopedLocale> locale;
        if (step.otherSeparators) locale.emplace(other);
        const Figures& f = step.figures;
        EXPECT_EQ(memo.Texts(values, step.place, f),
                  SummaryTexts(values, f[0], f[1], f[2], f[3], f[4], f[5], f[6]));
    }
}

}  // namespace
