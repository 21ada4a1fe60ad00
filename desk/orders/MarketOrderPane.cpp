#include "desk/orders/MarketOrderPane.h"

#include "desk/common/MGeneral.h"
#include "desk/common/OrderPaneProcedures.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr const char* kRequired = "Please fill the required fields";
constexpr int16_t kKeyEnter = 13;
constexpr size_t kClientsStatus = 2;
constexpr size_t kClientsRemark = 4;
}  // namespace

MarketOrderPane::MarketOrderPane(Hooks hooks) : hooks_(std::move(hooks)) {
    for (const char* rule : kDistributionRules) rules_.AddItem(rule);
    // Form initialised: Buy and Sell wait for a distribution.
    cmdbuy_.enabled = cmdsell_.enabled = false;
    symbolClick_ = symbols_.Click.Connect([this] { SymbolChanged(); });
    symbolChange_ = symbols_.Change.Connect([this] { SymbolChanged(); });
    ruleClick_ = rules_.Click.Connect([this] { RuleChanged(); });
    ruleChange_ = rules_.Change.Connect([this] { RuleChanged(); });
}

MarketOrderPane::~MarketOrderPane() = default;

IfrmMain* MarketOrderPane::Main() const {
    return hooks_.frmMain ? hooks_.frmMain() : nullptr;
}

void MarketOrderPane::Set(bool& field, bool value) {
    if (field == value) return;
    field = value;
    Changed();
}

void MarketOrderPane::Changed() {
    if (StateChanged) StateChanged();
}

void MarketOrderPane::Form_Load() {
    cmddis_.visible = true;
    cmdbuy_.visible = cmdsell_.visible = false;
    Changed();
}

// ---- Ifrmorder ----

void MarketOrderPane::Add(int32_t AccountID, const std::string& Text, double Amount) {
    const std::string key = OrderPaneRowKey(AccountID);
    // Only the desk's own re-login replaces a row: the account stays in the order
    // the dealer made ready, ticked with its amount, as the pane still says.
    if (const platform::ListItem* old = rows_.Find(key)) {
        const bool ticked = old->Checked();
        const std::string amount = old->SubItems(kAmount);
        rows_.Remove(key);
        platform::ListItem& row = rows_.Add(key, std::to_string(AccountID));
        row.setSubItems(kAmount, amount);
        // Set on the store, not as the operator's tick: other rows keep their notes.
        row.setChecked(ticked);
        return;
    }
    platform::ListItem& row = rows_.Add(key, std::to_string(AccountID));
    row.setSubItems(kAmount, Text);
    row.setSubItems(kResult, Amount != 0 ? runtime::CStr(runtime::Variant(Amount)) : "");
}

void MarketOrderPane::Remove(int32_t AccountID) {
    const std::string key = OrderPaneRowKey(AccountID);
    if (!rows_.Find(key)) return;
    rows_.Remove(key);
    // Left ticked over an emptied list, the box would read "Uncheck All" over
    // the unchecked rows of the next logins.
    if (rows_.Count() == 0 && (checkAll_ || checkCaption_ != "Check All")) {
        checkAll_ = false;
        checkCaption_ = "Check All";
        Changed();
    }
    if (Ifrmlimitorder* limit = hooks_.frmlimitorder ? hooks_.frmlimitorder() : nullptr)
        limit->Remove(AccountID);
}

void MarketOrderPane::addNote(const std::string& Text, int32_t Account) {
    for (size_t i = 1; i <= rows_.Count(); ++i) {
        platform::ListItem& row = rows_.Item(i);
        if (runtime::Val(row.Text()) != Account) continue;
        row.setSubItems(kResult, Text);
        row.setSubItemForeColor(kResult, kNoteColor);
    }
}

void MarketOrderPane::UpdateResult(const std::string& Text, int32_t Account) {
    if (platform::ListItem* row = rows_.Find(OrderPaneRowKey(Account)))
        row->setSubItems(kResult, Text);
}

void MarketOrderPane::Enableds(bool Enable) {
    cmdbuy_.enabled = cmdsell_.enabled = cmddis_.enabled = Enable;
    controlsEnabled_ = Enable;
    symbols_.setEnabled(Enable);
    rules_.setEnabled(Enable);
    enabled_ = true;
    Changed();
}

void MarketOrderPane::setEnabled(bool enabled) {
    Set(enabled_, enabled);
}

void MarketOrderPane::setTxtammount(const std::string& text) {
    if (text == total_) return;
    total_ = text;
    Changed();
    txtammount_Change();
}

void MarketOrderPane::setChkAllClients(bool checked) {
    if (checked == checkAll_) return;
    checkAll_ = checked;
    chkAllClients_Click();
}

void MarketOrderPane::updateAmount(int32_t, double Amount, const std::string& Key) {
    if (platform::ListItem* row = rows_.Find(Key))
        row->setSubItems(kAmount, runtime::CStr(runtime::Variant(Amount)));
}

// ---- Handlers ----

void MarketOrderPane::ShowDistribute() {
    cmddis_.visible = true;
    cmdbuy_.visible = cmdsell_.visible = false;
    Changed();
}

void MarketOrderPane::EmptyResults() {
    for (size_t i = 1; i <= rows_.Count(); ++i) rows_.Item(i).setSubItems(kResult, "");
}

void MarketOrderPane::SymbolChanged() {
    IfrmMain* main = Main();
    if (main && hooks_.GetCollectionItem) {
        platform::ListView& clients = main->lvwClients();
        for (size_t i = 1; i <= clients.Count(); ++i) {
            const platform::ListItem& row = clients.Item(i);
            if (row.SubItems(kClientsStatus) == "Connected" &&
                row.SubItems(kClientsRemark).empty()) {
                paneSymbol_ = hooks_.GetCollectionItem(symbols_.Text());
                break;
            }
        }
    }
    for (size_t i = 1; i <= rows_.Count(); ++i) {
        rows_.Item(i).setSubItems(kAmount, "");
        rows_.Item(i).setSubItems(kResult, "");
    }
    setTxtammount("");
    totalVisible_ = true;
    ShowDistribute();
    if (main) {
        main->ValidateData();
        main->clearammountfromlistview();
    }
}

void MarketOrderPane::RuleChanged() {
    if (IfrmMain* main = Main()) main->clearammountfromlistview();
    ShowDistribute();
}

void MarketOrderPane::txtammount_Change() {
    if (IfrmMain* main = Main()) {
        main->ValidateData();
        main->clearammountfromlistview();
    }
    ShowDistribute();
}

int16_t MarketOrderPane::txtammount_KeyPress(int16_t KeyAscii) {
    if (KeyAscii == kKeyEnter) {
        cmddis_Click();
        // Emptying the total shows Distribute again; a completed distribution
        // still ends with Buy and Sell shown, as the desk expects.
        const bool distributed = cmdbuy_.visible;
        setTxtammount("");
        if (distributed) {
            cmddis_.visible = false;
            cmdbuy_.visible = cmdsell_.visible = true;
        }
        cmdbuy_.enabled = cmdsell_.enabled = true;
        Changed();
    }
    IfrmMain* main = Main();
    return main ? main->askycodekeypress(KeyAscii, total_) : 0;
}

int16_t MarketOrderPane::txtLvw_KeyPress(int16_t KeyAscii, const std::string& EditorText) {
    IfrmMain* main = Main();
    return main ? main->askycodekeypress(KeyAscii, EditorText) : 0;
}

void MarketOrderPane::cmddis_Click() {
    auto message = [this](const char* text) {
        if (hooks_.ShowMessage) hooks_.ShowMessage(text);
    };
    if (total_.empty() || symbols_.Text().empty()) return message(kRequired);
    // A pasted or grouped total is refused before anything is spread.
    if (!IsLotsText(total_)) return message(kInvalidLots);
    if (!paneSymbol_) return;
    paneSymbol_ = hooks_.GetCollectionItem ? hooks_.GetCollectionItem(symbols_.Text()) : nullptr;
    if (!paneSymbol_) return;
    EmptyResults();
    if (IfrmMain* main = Main())
        main->Distribute(runtime::Val(total_), static_cast<int16_t>(rules_.ListIndex()),
                         paneSymbol_);
}

void MarketOrderPane::Send(bool buy) {
    IfrmMain* main = Main();
    if (!buy && main) {
        platform::ListView& clients = main->lvwClients();
        for (size_t i = 1; i <= clients.Count(); ++i)
            clients.Item(i).setSubItems(kClientsRemark, "");
    }
    if (symbols_.Text().empty()) {
        if (hooks_.ShowMessage) hooks_.ShowMessage(kRequired);
        return;
    }
    // Only a plain lot count may reach the wire: a typed "1,5" would go out as 1.
    bool refused = false;
    for (size_t i = 1; i <= rows_.Count(); ++i) {
        platform::ListItem& row = rows_.Item(i);
        if (!row.Checked() || IsLotsText(row.SubItems(kAmount))) continue;
        row.setSubItems(kResult, kInvalidLots);
        refused = true;
    }
    if (refused) return;
    enabled_ = false;
    ShowDistribute();
    const ManagersPtr managers = main ? main->CClientAPIManagers() : nullptr;
    if (!managers) return setEnabled(true);
    if (buy)
        managers->BuyFunction();
    else
        managers->SellFunction();
}

void MarketOrderPane::chkAllClients_Click() {
    checkCaption_ = checkAll_ ? "Uncheck all" : "Check all";
    Changed();
    if (hooks_.CheckAllClients) hooks_.CheckAllClients(rows_, checkAll_);
}

void MarketOrderPane::LblCheck_Click() {
    const bool check = !checkAll_;
    setChkAllClients(check);
    checkCaption_ = check ? "Uncheck All" : "Check All";
    Changed();
}

void MarketOrderPane::lvwConClients_ItemCheck() {
    EmptyResults();
}

// ---- The in-place amount editor ----

bool MarketOrderPane::BeginEdit(size_t index, size_t column, std::string& text) {
    if (column != 2 || index < 1 || index > rows_.Count()) return false;
    const platform::ListItem& row = rows_.Item(index);
    editKey_ = row.Key();
    text = row.SubItems(column - 1);
    return true;
}

size_t MarketOrderPane::EditingRow() const {
    const platform::ListItem* row = editKey_.empty() ? nullptr : rows_.Find(editKey_);
    return row ? row->Index() : 0;
}

void MarketOrderPane::CommitEdit(const std::string& text) {
    if (editKey_.empty()) return;
    platform::ListItem* row = rows_.Find(editKey_);
    editKey_.clear();
    if (!row) return;
    const std::string trimmed = runtime::Trim(text);
    if (IsLotsText(trimmed))
        row->setSubItems(kAmount, trimmed);
    else
        row->setSubItems(kResult, kInvalidLots);
}

}  // namespace OrbanexDesk
