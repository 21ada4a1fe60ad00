// The market-order pane without its window: the Distribute / Buy-Sell alternation,
// the key filter, check-all captions, the amount editor and what is refused
// before anything is sent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/common/OrderPaneProcedures.h"
#include "desk/orders/MarketOrderPane.h"

namespace {

using namespace OrbanexDesk;
using Texts = std::vector<std::string>;

// The accounts window as the pane sees it: the real helpers, Distribute recorded
// and completed as the distribution completes (Buy and Sell shown).
struct Main : IfrmMain {
    Ifrmorder* pane = nullptr;
    platform::ListView clients;
    Texts calls;
    ManagersPtr CClientAPIManagers() override {
        calls.push_back("managers");
        return nullptr;
    }
    platform::ListView& lvwClients() override { return clients; }
    void addToListView(const std::string&, int32_t, bool, const std::string&, const std::string&,
                       int16_t) override {}
    void refreshsummery_Click(const std::string&) override {}
    void MnuDisconnecte_Click() override {}
    bool SoundAllowed() const override { return false; }
    void setSoundAllowed(bool) override {}
    std::string LoadedFileName() const override { return {}; }
    void ValidateData() override { OrbanexDesk::ValidateData(*pane); }
    void Distribute(double total, int16_t rule, const SymbolPtr&) override {
        calls.push_back("Distribute|" + std::to_string(total).substr(0, 3) + "|" +
                        std::to_string(rule));
        pane->setCmddisVisible(false);
        pane->setCmdbuyVisible(true);
        pane->setCmdsellVisible(true);
        pane->setCmdbuyEnabled(true);
        pane->setCmdsellEnabled(true);
    }
    int16_t askycodekeypress(int16_t& KeyAscii, const std::string& Text) override {
        return OrbanexDesk::askycodekeypress(KeyAscii, Text);
    }
    void clearammountfromlistview() override {}
};

struct Limit : Ifrmlimitorder {
    platform::ListView clients;
    platform::ComboBox symbols;
    Texts removed;
    platform::ListView& lvwConClients() override { return clients; }
    void Add(int32_t, int16_t, const std::string&, double) override {}
    void addNote(const std::string&, int32_t) override {}
    void limitorderpricechange() override {}
    platform::ComboBox& cblimitordersymbols() override { return symbols; }
    void setCmdsubmitlimiorderEnabled(bool) override {}
    void setCmdlimiorderdisEnabled(bool) override {}
    void Remove(int32_t AccountID) override { removed.push_back(std::to_string(AccountID)); }
};

struct Pane {
    Main main;
    Limit limit;
    Texts messages;
    SymbolPtr symbol = std::make_shared<OrbanexClientAPI10::COSymbol>();
    MarketOrderPane pane{MarketOrderPane::Hooks{
        .frmMain = [this] { return &main; },
        .frmlimitorder = [this] { return &limit; },
        .GetCollectionItem =
            [this](const std::string& name) { return name == "EURUSD" ? symbol : nullptr; },
        .ShowMessage = [this](const std::string& text) { messages.push_back(text); },
        .CheckAllClients =
            [](platform::ListView& rows, bool checked) {
                for (size_t i = 1; i <= rows.Count(); ++i) {
                    rows.Item(i).setChecked(checked && rows.Item(i).Text() != "1003");
                    if (checked && rows.Item(i).Text() == "1003")
                        rows.Item(i).setSubItems(2, "No Balance");
                }
            }}};
    Pane() {
        main.pane = &pane;
        pane.Form_Load();
        main.clients.Add("C1", "01").setSubItems(2, "Connected");
        for (int32_t account : {1001, 1002, 1003}) pane.Add(account, "", 0);
        pane.cbsymbols().AddItem("EURUSD");
        pane.cbsymbols().AddItem("GBPUSD");
    }
    platform::ListItem& Row(int32_t account) {
        return pane.lvwConClients().Item("C" + std::to_string(account));
    }
    std::string Type(const std::string& keys) {
        for (char key : keys) {
            const int16_t kept = pane.txtammount_KeyPress(key);
            if (kept != 0 && kept != 13) pane.setTxtammount(pane.txtammount() + char(kept));
        }
        return pane.txtammount();
    }
};

TEST(MarketOrderPane, DistributeAndBuySellAlternateAndBadTextsNeverLeave) {
    Pane p;
    auto& pane = p.pane;
    EXPECT_TRUE(pane.cmddis().visible);
    EXPECT_FALSE(pane.cmdbuy().visible || pane.cmdbuy().enabled);

    // The key filter: letters and a second point are dropped.
    EXPECT_EQ(p.Type("1a.5."), "1.5");
    EXPECT_FALSE(pane.cmddis().enabled) << "no symbol chosen yet";

    // A symbol empties every amount, result and the total; with a total Distribute
    // is enabled.
    p.Row(1001).setSubItems(1, "7");
    p.Row(1001).setSubItems(2, "old");
    pane.cbsymbols().setListIndex(0);
    EXPECT_EQ(pane.PaneSymbol(), p.symbol);
    EXPECT_EQ(p.Row(1001).SubItems(1) + p.Row(1001).SubItems(2) + pane.txtammount(), "");
    EXPECT_FALSE(pane.cmddis().enabled);
    pane.setTxtammount("1");
    EXPECT_TRUE(pane.cmddis().enabled);

    // Empty total: the message, rows untouched; a grouped or pasted total: refused.
    for (const char* total : {"", "1,5", "1.5*,%$"}) {
        pane.setTxtammount(total);
        pane.cmddis_Click();
    }
    EXPECT_EQ(p.messages,
              (Texts{"Please fill the required fields", "Invalid Lots", "Invalid Lots"}));
    EXPECT_TRUE(p.main.calls.empty());

    // Enter distributes and leaves Buy and Sell shown and usable, the total empty.
    pane.CBdis().setListIndex(2);
    pane.setTxtammount("");
    EXPECT_EQ(p.Type("2\r"), "");
    EXPECT_EQ(p.main.calls, (Texts{"Distribute|2.0|2"}));
    EXPECT_TRUE(pane.cmdbuy().visible && pane.cmdbuy().enabled && pane.cmdsell().enabled);
    EXPECT_FALSE(pane.cmddis().visible);

    // Check-all by label and box, captions as each writes them; "No Balance" kept
    // until the operator ticks a row.
    pane.LblCheck_Click();
    EXPECT_EQ(pane.LblCheckCaption(), "Uncheck All");
    EXPECT_TRUE(p.Row(1001).Checked() && p.Row(1002).Checked() && !p.Row(1003).Checked());
    EXPECT_EQ(p.Row(1003).SubItems(2), "No Balance");
    pane.lvwConClients_ItemCheck();
    EXPECT_EQ(p.Row(1003).SubItems(2), "");
    pane.setChkAllClients(false);
    EXPECT_EQ(pane.LblCheckCaption(), "Check all");
    EXPECT_FALSE(p.Row(1001).Checked());
    pane.setChkAllClients(true);
    EXPECT_EQ(pane.LblCheckCaption(), "Uncheck all");

    // The editor opens only over "Amount"; blanks trimmed; a non-number keeps the
    // amount and marks the row; a row gone meanwhile takes nothing.
    std::string text;
    EXPECT_FALSE(pane.BeginEdit(1, 1, text));
    EXPECT_FALSE(pane.BeginEdit(1, 3, text));
    struct Edit {
        const char* typed;
        const char* amount;
        const char* result;
    };
    for (const Edit& e : {Edit{" 0.5 ", "0.5", ""}, Edit{"1,5", "0.5", "Invalid Lots"},
                          Edit{"", "0.5", "Invalid Lots"}, Edit{"2", "2", "Invalid Lots"}}) {
        ASSERT_TRUE(pane.BeginEdit(1, 2, text));
        pane.CommitEdit(e.typed);
        EXPECT_EQ(p.Row(1001).SubItems(1), e.amount) << e.typed;
        EXPECT_EQ(p.Row(1001).SubItems(2), e.result) << e.typed;
        EXPECT_FALSE(pane.Editing());
    }
    ASSERT_TRUE(pane.BeginEdit(2, 2, text));
    pane.Remove(1002);
    pane.CommitEdit("9");
    EXPECT_EQ(p.limit.removed, Texts{"1002"});
    EXPECT_EQ(p.Row(1003).SubItems(1), "");

    // Buy with a checked row whose amount is no lot count: refused there, nothing
    // sent, the pane stays usable.
    p.Row(1003).setChecked(true);
    p.Row(1003).setSubItems(1, "1,5");
    pane.cmdbuy_Click();
    EXPECT_EQ(p.Row(1003).SubItems(2), "Invalid Lots");
    EXPECT_TRUE(pane.Enabled());
    EXPECT_EQ(p.main.calls.size(), 1u) << "no session asked";

    // Sell empties the accounts window's remarks, disables the pane and shows
    // Distribute; with no sessions the pane comes back at once.
    p.Row(1003).setSubItems(1, "1");
    p.main.clients.Item(1).setSubItems(4, "remark");
    pane.cmdsell_Click();
    EXPECT_EQ(p.main.clients.Item(1).SubItems(4), "");
    EXPECT_EQ(p.main.calls.back(), "managers");
    EXPECT_TRUE(pane.Enabled());
    EXPECT_TRUE(pane.cmddis().visible && !pane.cmdbuy().visible);

    // Rows: a new account takes the amount and the value; one added again (a
    // re-login) moves to the end still ticked with its amount, its result emptied,
    // the other rows' notes kept; notes in red; Enableds.
    pane.Add(1004, "3", 0.25);
    EXPECT_EQ(p.Row(1004).SubItems(1) + "|" + p.Row(1004).SubItems(2), "3|0.25");
    p.Row(1001).setSubItems(2, "Rejected");
    pane.Add(1003, "", 0);
    EXPECT_EQ(pane.lvwConClients().Item(3).Text(), "1003");
    EXPECT_TRUE(p.Row(1003).Checked());
    EXPECT_EQ(p.Row(1003).SubItems(1) + "|" + p.Row(1003).SubItems(2), "1|");
    EXPECT_EQ(p.Row(1001).SubItems(2), "Rejected");
    pane.addNote("Rejected", 1001);
    EXPECT_EQ(p.Row(1001).SubItemForeColor(2), 255);
    pane.Remove(4242);
    EXPECT_EQ(p.limit.removed.size(), 1u);
    pane.setEnabled(false);
    pane.Enableds(false);
    EXPECT_TRUE(pane.Enabled());
    EXPECT_FALSE(pane.ControlsEnabled() || pane.cmddis().enabled || pane.cbsymbols().Enabled());
}

}  // namespace
