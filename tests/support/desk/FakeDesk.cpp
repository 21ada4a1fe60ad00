#include "tests/support/desk/FakeDesk.h"

#include <algorithm>
#include <cstdio>

#include "desk/accounts/CLoginOptions.h"
#include "desk/common/MGeneral.h"
#include "desk/common/OrderPaneProcedures.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"

namespace testsupport {

using namespace OrbanexDesk;

namespace {
std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}
// A profit text with "," grouping, read as a number; no number reads 0.
double NumberOf(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ','), text.end());
    return runtime::ParseNumber(text).value_or(0);
}
double ProfitOf(const platform::ListItem& row) {
    return NumberOf(row.SubItems(9));
}
std::string BaseName(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}
}  // namespace

// The profit texts of one "<symbol>|<side>"'s per-account rows, summed in row order.
double SumProfit(FakeDesk& d, const std::string& symbolSide) {
    double sum = 0;
    auto it = d.stores().netAccountRows.find(symbolSide);
    if (it == d.stores().netAccountRows.end()) return 0;
    for (const auto& key : it->second)
        if (auto* row = d.stores().lvwNetPos.Find(key)) sum += ProfitOf(*row);
    return sum;
}

// A message box that logs its calls ("msgbox|Caption|Text|Button1|Button2").
class RecordingMsgBox : public IfrmMsgBox {
public:
    explicit RecordingMsgBox(FakeDesk& desk) : d(desk) {}
    void GeneralStopMsg(const std::string& Text) override {
        MessageBox(Text, "Warning", 4, runtime::Variant("Ok"), runtime::Variant(runtime::Null),
                   false);
        ButtonPessed(1);
    }
    void GeneralNoteMsg(const std::string& Text) override {
        MessageBox(Text, "Note", 1, runtime::Variant("Ok"), runtime::Variant(runtime::Null), false);
        ButtonPessed(1);
    }
    void GeneralQuestionMsg(const std::string& Text) override {
        MessageBox(Text, "Alert", 3, runtime::Variant("Yes"), runtime::Variant("No"), false);
    }
    void MessageBox(const std::string& Text, const std::string& Caption, int32_t,
                    const runtime::Variant& Button1, const runtime::Variant& Button2,
                    bool) override {
        d.Record("msgbox|" + Caption + "|" + Text + "|" + runtime::CStr(Button1) + "|" +
                 (Button2.IsNull() ? std::string() : runtime::CStr(Button2)));
    }
    void CentralizeForm() override {}

private:
    FakeDesk& d;
};

// One double per port: several ports share member names (Add, Remove).
struct FakeDesk::Doubles {
    struct Main : IfrmMain {
        FakeDesk& d;
        explicit Main(FakeDesk& desk) : d(desk) {}
        ManagersPtr CClientAPIManagers() override { return d.Services().Managers(); }
        platform::ListView& lvwClients() override { return d.stores().lvwClients; }
        void addToListView(const std::string& Username, int32_t AccountID, bool Connected,
                           const std::string& Fifth, const std::string& Fourth,
                           int16_t n) override {
            d.Record("main.addToListView|" + Username + "|" + std::to_string(AccountID) + "|" +
                     (Connected ? "True" : "False") + "|" + std::to_string(n));
            auto& lv = d.stores().lvwClients;
            const std::string key = "C" + std::to_string(n);
            char index[8];
            std::snprintf(index, sizeof index, "%02d", n);
            platform::ListItem* row = lv.Find(key);
            if (!row) row = &lv.Add(key, index);
            row->setText(index);
            row->setSubItems(1, runtime::UCase(Username));  // as the accounts window shows it
            row->setSubItems(2, Connected ? "Connected" : "Disconnected");
            row->setSubItems(3, std::to_string(AccountID));
            row->setSubItems(4, Fourth);
            row->setSubItems(5, Fifth);
        }
        void refreshsummery_Click(const std::string& Key) override {
            d.Record("main.refreshsummery_Click|" + Key);
            if (d.RefreshSummary) d.RefreshSummary(Key);
        }
        void MnuDisconnecte_Click() override {
            platform::ListItem* row = d.stores().lvwClients.SelectedItem();
            d.Record("main.MnuDisconnecte_Click|" + (row ? row->Key() : std::string()));
            if (row && d.DisconnectSelected) d.DisconnectSelected(row->Key());
        }
        bool SoundAllowed() const override { return d.soundAllowed; }
        void setSoundAllowed(bool allowed) override { d.soundAllowed = allowed; }
        std::string LoadedFileName() const override { return d.loadedFileName; }
        void ValidateData() override { OrbanexDesk::ValidateData(*d.Ports().frmorder); }
        void Distribute(double total, int16_t rule, const SymbolPtr& Symbol) override {
            d.Record("main.Distribute|" + Num(total) + "|" + std::to_string(rule) + "|" +
                     (Symbol ? Symbol->Name() : std::string()));
        }
        int16_t askycodekeypress(int16_t& KeyAscii, const std::string& Text) override {
            return OrbanexDesk::askycodekeypress(KeyAscii, Text);
        }
        void clearammountfromlistview() override { OrbanexDesk::clearammountfromlistview(); }
        void Result(int32_t code, const std::string& key, int32_t account, bool deletion) override {
            const auto* row = d.stores().limitClients.Find(key);
            d.Record("main.Result|" + std::to_string(code) + "|" + key + "|" +
                     std::to_string(account) + "|" + (deletion ? "deletion" : "order") + "|" +
                     (row && row->Checked() ? "ticked" : "unticked"));
        }
    } main;

    struct Account : Ifrmaccount {
        FakeDesk& d;
        explicit Account(FakeDesk& desk) : d(desk) {}
        void setEnabled(bool enabled) override { d.accountEnabled = enabled; }
    } account;

    struct Order : Ifrmorder {
        FakeDesk& d;
        explicit Order(FakeDesk& desk) : d(desk) {}
        platform::ListView& lvwConClients() override { return d.stores().orderClients; }
        void Add(int32_t AccountID, const std::string& Text, double Amount) override {
            d.Record("order.Add|" + std::to_string(AccountID) + "|" + Text + "|" + Num(Amount));
            const std::string key = "C" + std::to_string(AccountID);
            auto& lv = d.stores().orderClients;
            // As the real pane: a listed account's row moves to the end, keeping its
            // tick and amount.
            const platform::ListItem* old = lv.Find(key);
            const bool ticked = old && old->Checked();
            const std::string amount = old ? old->SubItems(1) : (Amount ? Num(Amount) : "");
            if (old) lv.Remove(key);
            platform::ListItem& row = lv.Add(key, std::to_string(AccountID));
            row.setSubItems(1, amount);
            row.setChecked(ticked);
        }
        void Remove(int32_t AccountID) override {
            d.Record("order.Remove|" + std::to_string(AccountID));
            const std::string key = "C" + std::to_string(AccountID);
            for (auto* lv : {&d.stores().orderClients, &d.stores().limitClients})
                if (lv->Find(key)) lv->Remove(key);
        }
        void addNote(const std::string& Text, int32_t Account) override {
            d.Record("order.addNote|" + Text + "|" + std::to_string(Account));
            if (auto* row = d.stores().orderClients.Find("C" + std::to_string(Account)))
                row->setSubItems(2, Text);
        }
        void Enableds(bool Enable) override {
            d.Record(std::string("order.Enableds|") + (Enable ? "True" : "False"));
            d.orderControlsEnabled = Enable;
        }
        bool Enabled() const override { return d.orderEnabled; }
        void setEnabled(bool enabled) override { d.orderEnabled = enabled; }
        platform::ComboBox& cbsymbols() override { return d.stores().cbsymbols; }
        void setTxtammount(const std::string& text) override { d.orderAmount = text; }
        std::string txtammount() const override { return d.orderAmount; }
        platform::ComboBox& CBdis() override { return d.stores().CBdis; }
        void setCmddisEnabled(bool enabled) override { d.cmddis.enabled = enabled; }
        void setCmddisVisible(bool visible) override { d.cmddis.visible = visible; }
        void setCmdbuyEnabled(bool enabled) override { d.cmdbuy.enabled = enabled; }
        void setCmdbuyVisible(bool visible) override { d.cmdbuy.visible = visible; }
        void setCmdsellEnabled(bool enabled) override { d.cmdsell.enabled = enabled; }
        void setCmdsellVisible(bool visible) override { d.cmdsell.visible = visible; }
        void setChkAllClients(bool checked) override {
            const bool was = d.chkAllClients;
            d.chkAllClients = checked;
            if (!was || checked) return;
            auto& lv = d.stores().orderClients;
            for (size_t i = 1; i <= lv.Count(); ++i) {
                lv.Item(i).setChecked(false);
                lv.Item(i).setSubItems(2, "");
            }
        }
        void updateAmount(int32_t, double Amount, const std::string& Key) override {
            if (auto* row = d.stores().orderClients.Find(Key))
                row->setSubItems(1, runtime::NumberToText(Amount));
        }
    } order;

    struct LimitOrder : Ifrmlimitorder {
        FakeDesk& d;
        explicit LimitOrder(FakeDesk& desk) : d(desk) {}
        platform::ListView& lvwConClients() override { return d.stores().limitClients; }
        void Add(int32_t AccountID, int16_t key, const std::string& Text, double Amount) override {
            d.Record("limit.Add|" + std::to_string(AccountID) + "|" + std::to_string(key) + "|" +
                     Text + "|" + Num(Amount));
            // Keyed by account as the real pane: a listed account keeps its row.
            const std::string rowKey = "C" + std::to_string(AccountID);
            auto& lv = d.stores().limitClients;
            if (!lv.Find(rowKey)) lv.Add(rowKey, std::to_string(AccountID));
        }
        void addNote(const std::string& Text, int32_t Account) override {
            d.Record("limit.addNote|" + Text + "|" + std::to_string(Account));
        }
        void limitorderpricechange() override { d.Record("limit.limitorderpricechange"); }
        platform::ComboBox& cblimitordersymbols() override {
            return d.stores().cblimitordersymbols;
        }
        void setCmdsubmitlimiorderEnabled(bool enabled) override { d.submitEnabled = enabled; }
        void setCmdlimiorderdisEnabled(bool enabled) override { d.limitDisEnabled = enabled; }
        void setDisplayed(bool shown) override {
            d.Record(std::string("limit.setDisplayed|") + (shown ? "True" : "False"));
        }
        void cmdcancel_Click() override { d.Record("limit.cmdcancel_Click"); }
        void EdirMode() override { d.Record("limit.EdirMode"); }
        std::string PaneMode() const override { return d.entry.paneMode; }
        std::string PositionSide() const override { return d.entry.positionSide; }
        std::string EditAmount() const override { return d.entry.editAmount; }
        bool IsEditing() const override { return d.entry.editing; }
        int32_t EditID() const override { return d.entry.editID; }
        std::string PositionRow() const override { return d.entry.positionRow; }
        void setPaneMode(const std::string& mode) override { d.entry.paneMode = mode; }
        void setIsEditing(bool editing) override { d.entry.editing = editing; }
        void setEditID(int32_t id) override { d.entry.editID = id; }
        void setPositionSide(const std::string& side) override { d.entry.positionSide = side; }
        void setEditAmount(const std::string& amount) override { d.entry.editAmount = amount; }
        void setPositionRow(const std::string& key) override { d.entry.positionRow = key; }
    } limit;

    struct MW : IfrmMW {
        FakeDesk& d;
        explicit MW(FakeDesk& desk) : d(desk) {}
        platform::ListView& lvmw() override { return d.stores().lvmw; }
    } mw;

    struct NetTrade : IfrmNetTrade, ICNetPos {
        FakeDesk& d;
        explicit NetTrade(FakeDesk& desk) : d(desk) {}
        platform::ListView& lvwNetPos() override { return d.stores().lvwNetPos; }
        // The sum of the symbol's and side's per-account profit texts, over the index.
        double caluclate_profit(const std::string& SymbolName, const std::string& Side) override {
            d.Record("net.caluclate_profit|" + SymbolName + "|" + Side);
            return SumProfit(d, SymbolName + "|" + Side);
        }
        void PositionAdded(const SymbolPtr& Symbol, int32_t Side, double Lots, double Price,
                           double Commission, double Interest, const runtime::Variant& ProfitLoss,
                           int32_t AccountID) override {
            d.Record("net.PositionAdded|" + (Symbol ? Symbol->Name() : std::string("?")) + "|" +
                     std::to_string(Side) + "|" + Num(Lots) + "|" + Num(Price) + "|" +
                     Num(Commission) + "|" + Num(Interest) + "|" + ProfitLoss.ToString() + "|" +
                     std::to_string(AccountID));
        }
    } net;

    struct Trade : IfrmTrade {
        FakeDesk& d;
        explicit Trade(FakeDesk& desk) : d(desk) {}
        void AddPosition(const PositionPtr& Position, int32_t AccountID) override {
            const std::string ticket = Position ? std::to_string(Position->Ticket()) : "?";
            d.Record("trade.AddPosition|" + ticket + "|" + std::to_string(AccountID));
            auto& lv = d.stores().lvwOpenPos;
            const std::string key = PositionRowKey(std::to_string(AccountID), ticket);
            if (auto* old = lv.Find(key)) {
                RemoveFromNet(*old);
                lv.Remove(key);
            }
            platform::ListItem& row = lv.Add(key, ticket);
            row.setSubItems(1, std::to_string(AccountID));
            if (Position) AddToNet(*Position, AccountID, row);
        }
        // The position's cells and its account and total net rows, as the panes keep them.
        void AddToNet(const OrbanexClientAPI10::COOpenPosition& pos, int32_t account,
                      platform::ListItem& row) {
            const std::string price = pos.FormatPrice(runtime::Variant(pos.ClosePrice()));
            const double profit = pos.FloatingProfitLoss();
            row.setSubItems(7, price);
            row.setSubItems(12, Money(profit));
            const std::string side = pos.BuySell() == OrbanelGeneral10::BuyType ? "Buy" : "Sell";
            auto& net = d.stores().lvwNetPos;
            const std::string ownKey = NetRowKey(pos.SymbolID(), pos.BuySell(), account);
            platform::ListItem* own = net.Find(ownKey);
            if (!own) {
                own = &net.Add(ownKey, pos.SymbolName());
                own->setSubItems(4, side);
                d.stores().netAccountRows[pos.SymbolName() + "|" + side].push_back(ownKey);
            }
            own->setSubItems(6, price);
            own->setSubItems(9, runtime::NumberToText(ProfitOf(*own) + profit));
            const std::string totalKey = NetRowKey(pos.SymbolID(), pos.BuySell());
            platform::ListItem* total = net.Find(totalKey);
            if (!total) total = &net.Add(totalKey, pos.SymbolName());
            total->setSubItems(4, side);
            total->setSubItems(6, price);
            total->setSubItems(9, Money(SumProfit(d, pos.SymbolName() + "|" + side)));
            row.setTag(ownKey);
        }
        // Takes the position's profit out of its net rows again.
        void RemoveFromNet(const platform::ListItem& row) {
            auto& net = d.stores().lvwNetPos;
            platform::ListItem* own = net.Find(row.Tag());
            if (!own) return;
            own->setSubItems(9, runtime::NumberToText(ProfitOf(*own) - NumberOf(row.SubItems(12))));
            const std::string ownKey = row.Tag();
            if (auto* total = net.Find(ownKey.substr(0, ownKey.rfind('|'))))
                total->setSubItems(9, Money(SumProfit(d, own->Text() + "|" + own->SubItems(4))));
        }
        std::string Money(double v) {
            return d.State().StringValues->ToCurrencyVal(runtime::Variant(v), true);
        }
        void RemovePosition(int32_t Ticket, int32_t AccountID) override {
            d.Record("trade.RemovePosition|" + std::to_string(Ticket) + "|" +
                     std::to_string(AccountID));
            auto& lv = d.stores().lvwOpenPos;
            if (auto* row = lv.Find(PositionRowKey(AccountID, Ticket))) {
                RemoveFromNet(*row);
                lv.Remove(PositionRowKey(AccountID, Ticket));
            }
        }
        platform::ListView& lvwOpenPos() override { return d.stores().lvwOpenPos; }
        void setChkAll(bool checked) override { d.chkAll = checked; }
        void setLbmSummaries(const std::string& text) override { d.summaries = text; }
        void closeAllse() override { d.Record("trade.closeAllse"); }
    } trade;

    struct ClosePos : IfrmClosePos {
        FakeDesk& d;
        explicit ClosePos(FakeDesk& desk) : d(desk) {}
        void Add(int32_t AccountID) override {
            d.Record("close.Add|" + std::to_string(AccountID));
            d.stores().closeAccounts.push_back(AccountID);
        }
        platform::ComboBox& CloseSymbols() override { return d.stores().CloseSymbols; }
        void CloseSymbols_Click() override { d.Record("close.CloseSymbols_Click"); }
        void Remove() override { d.Record("close.Remove"); }
        void RefreshPrice(double ask, double bid) override {
            d.Record("close.RefreshPrice|" + Num(ask) + "|" + Num(bid));
        }
        void searchpos(int32_t account, int32_t ticket, const std::string& text) override {
            d.Record("close.searchpos|" + std::to_string(account) + "|" + std::to_string(ticket) +
                     "|" + text);
        }
        void RefreshMSH() override { d.Record("close.RefreshMSH"); }
        runtime::Collection<int32_t>& PendingCloses() override { return d.stores().pendingCloses; }
        void ResetMSH() override { d.Record("close.ResetMSH"); }
        void closepos() override { d.Record("close.closepos"); }
        void close_single() override { d.Record("close.close_single"); }
    } close;

    struct Pending : IfrmPending {
        FakeDesk& d;
        explicit Pending(FakeDesk& desk) : d(desk) {}
        void Add(const runtime::Variant& ID, int32_t AccountID, const std::string& Code,
                 OrbanelGeneral10::OperationTypeEnum, double, const SymbolPtr&,
                 const runtime::Variant&, const runtime::Variant&, const runtime::Variant&,
                 const std::string&, const runtime::Variant&) override {
            const std::string id = ID.ToString();
            d.Record("pending.Add|" + id + "|" + std::to_string(AccountID) + "|" + Code);
            Put(PendingRowKey(AccountID, id), id, AccountID);
        }
        void AddOrder(const OrderPtr& Order, int32_t AccountID) override {
            const std::string id = Order ? std::to_string(Order->OrderID()) : "?";
            d.Record("pending.AddOrder|" + id + "|" + std::to_string(AccountID));
            Put(PendingRowKey(AccountID, id), id, AccountID);
        }
        void Put(const std::string& key, const std::string& text, int32_t account) {
            auto& lv = d.stores().lvwPending;
            if (lv.Find(key)) lv.Remove(key);
            lv.Add(key, text).setSubItems(1, std::to_string(account));
        }
        void Removeorder(int32_t OrderID, int32_t AccountID) override {
            d.Record("pending.Removeorder|" + std::to_string(OrderID) + "|" +
                     std::to_string(AccountID));
            Drop(PendingRowKey(AccountID, OrderID));
        }
        void Remove(int32_t OrderID, int32_t AccountID) override {
            d.Record("pending.Remove|" + std::to_string(OrderID) + "|" + std::to_string(AccountID));
            Drop(PendingRowKey(AccountID, OrderID));
        }
        void Drop(const std::string& key) {
            auto& lv = d.stores().lvwPending;
            if (lv.Find(key)) lv.Remove(key);
        }
        void removeClientinfo(int32_t AccountID) override {
            d.Record("pending.removeClientinfo|" + std::to_string(AccountID));
            auto& lv = d.stores().lvwPending;
            for (size_t i = lv.Count(); i >= 1; --i)
                if (lv.Item(i).SubItems(1) == std::to_string(AccountID)) lv.Remove(i);
        }
        void Updateaccount() override { d.Record("pending.Updateaccount"); }
        platform::ListView& lvwPending() override { return d.stores().lvwPending; }
    } pending;

    struct Services : IfrmJournal, ISound, IDeskMessages, IShell, IMGeneral {
        FakeDesk& d;
        explicit Services(FakeDesk& desk) : d(desk) {}
        void Add(const std::string& Text, int32_t AccountID, bool) override {
            d.Record("journal|" + std::to_string(AccountID) + "|" + Text);
        }
        void PlayWave(const std::string& FileName) override {
            d.Record("sound|" + BaseName(FileName) + (d.soundAllowed ? "|played" : "|muted"));
            d.soundAllowed = false;
        }
        void ShowMessage(const std::string& Text, const std::string& Caption, bool) override {
            d.Record("message|" + Caption + "|" + Text);
        }
        void GeneralNoteMsg(const std::string& Text) override { d.Record("note|" + Text); }
        void SystemMessage(const std::string& Text, const std::string& Caption) override {
            d.Record("system|" + Caption + "|" + Text);
        }
        std::shared_ptr<IfrmMsgBox> NewMsgBox() override {
            return std::make_shared<RecordingMsgBox>(d);
        }
        void setStatusPaneText(int32_t ID, const std::string& Text) override {
            if (ID >= 100024 && ID <= 100026) d.statusPanes[ID - 100024] = Text;
        }
        void setCommandBarControlEnabled(int32_t BarID, int32_t ControlID, bool Enabled) override {
            d.Record("shell.control|" + std::to_string(BarID) + "|" + std::to_string(ControlID) +
                     "|" + (Enabled ? "True" : "False"));
        }
        void SelectPane(int32_t PaneID) override {
            d.Record("shell.SelectPane|" + std::to_string(PaneID));
        }
        void ClosePane(int32_t PaneID) override {
            d.Record("shell.ClosePane|" + std::to_string(PaneID));
        }
        void setCommandChecked(int32_t CommandID, bool Checked) override {
            d.Record("shell.checked|" + std::to_string(CommandID) + "|" +
                     (Checked ? "True" : "False"));
        }
        void UpdateShowAllCheck() override { d.Record("shell.UpdateShowAllCheck"); }
        bool PaneClosed(int32_t) const override { return false; }
        bool CommandChecked(int32_t) const override { return false; }
        platform::widgets::CommandBarControl* GetCommandBarControl(int32_t, int32_t) override {
            return nullptr;
        }
        void AddCommandHandler(int32_t CommandID, std::function<void()>) override {
            d.Record("shell.handler|" + std::to_string(CommandID));
        }
        void RefreshNetPositions(bool Skip, int32_t Account) override {
            d.Record(std::string("mgeneral.RefreshNetPositions|") + (Skip ? "True" : "False") +
                     "|" + std::to_string(Account));
            if (Skip) return;
            auto& lv = d.stores().lvwOpenPos;
            for (size_t i = lv.Count(); i >= 1; --i)
                if (lv.Item(i).SubItems(1) == std::to_string(Account)) lv.Remove(i);
        }
        void ReplaceInServerFile(const std::string& OldText, const std::string& NewText) override {
            d.Record("mgeneral.ReplaceInServerFile|" + OldText + "|" + NewText);
            // The file procedure itself: a re-route must reach the next logins.
            OrbanexDesk::ReplaceInServerFile(OldText, NewText);
        }
        void ResetTradeViews() override { d.Record("mgeneral.ResetTradeViews"); }
        void ClearOrderForms() override { d.Record("mgeneral.ClearOrderForms"); }
        void RemoveInvisibleSymbols() override { d.Record("mgeneral.RemoveInvisibleSymbols"); }
    } services;

    explicit Doubles(FakeDesk& desk)
        : main(desk),
          account(desk),
          order(desk),
          limit(desk),
          mw(desk),
          net(desk),
          trade(desk),
          close(desk),
          pending(desk),
          services(desk) {}

    DeskPorts Ports() {
        return DeskPorts{&main,     &account,  &order,    &limit,    &mw,
                         &net,      &net,      &trade,    &close,    &pending,
                         &services, &services, &services, &services, &services};
    }
};

FakeDesk::FakeDesk(DeskServices::ManagersFactory factory)
    : stores_(std::make_unique<Stores>()), doubles_(std::make_unique<Doubles>(*this)) {
    services_ = std::make_unique<DeskServices>(doubles_->Ports(), std::move(factory));
    State().ClientGMTOffset = 123;  // as the shell's load sets it
}

FakeDesk::~FakeDesk() {
    // Sessions disconnect on release and may still call the ports.
    services_->ReleaseManagers();
}

std::vector<std::string> FakeDesk::Take() {
    std::vector<std::string> out;
    out.swap(log_);
    return out;
}

std::vector<std::string> FakeDesk::Lines(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& line : log_)
        if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
}

}  // namespace testsupport
