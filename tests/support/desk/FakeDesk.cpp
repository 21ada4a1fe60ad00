#include "tests/support/desk/FakeDesk.h"

#include <cstdio>

namespace testsupport {

using namespace OrbanexDesk;

namespace {
std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}
std::string BaseName(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}
}  // namespace

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
            row->setSubItems(1, Username);
            row->setSubItems(2, Connected ? "Connected" : "Disconnected");
            row->setSubItems(3, std::to_string(AccountID));
            row->setSubItems(4, Fourth);
            row->setSubItems(5, Fifth);
        }
        void refreshsummery_Click(const std::string& Key) override {
            d.Record("main.refreshsummery_Click|" + Key);
        }
        void MnuDisconnecte_Click() override {
            platform::ListItem* row = d.stores().lvwClients.SelectedItem();
            d.Record("main.MnuDisconnecte_Click|" + (row ? row->Key() : std::string()));
            if (row && d.DisconnectSelected) d.DisconnectSelected(row->Key());
        }
        bool SoundAllowed() const override { return d.soundAllowed; }
        void setSoundAllowed(bool allowed) override { d.soundAllowed = allowed; }
        std::string LoadedFileName() const override { return d.loadedFileName; }
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
            if (lv.Find(key)) lv.Remove(key);
            lv.Add(key, std::to_string(AccountID)).setSubItems(1, Amount ? Num(Amount) : "");
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
    } order;

    struct LimitOrder : Ifrmlimitorder {
        FakeDesk& d;
        explicit LimitOrder(FakeDesk& desk) : d(desk) {}
        platform::ListView& lvwConClients() override { return d.stores().limitClients; }
        void Add(int32_t AccountID, int16_t key, const std::string& Text, double Amount) override {
            d.Record("limit.Add|" + std::to_string(AccountID) + "|" + std::to_string(key) + "|" +
                     Text + "|" + Num(Amount));
            const std::string rowKey = "C" + std::to_string(AccountID);
            auto& lv = d.stores().limitClients;
            if (lv.Find(rowKey)) lv.Remove(rowKey);
            lv.Add(rowKey, std::to_string(AccountID));
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
        double caluclate_profit(const std::string& SymbolName, const std::string& Side) override {
            d.Record("net.caluclate_profit|" + SymbolName + "|" + Side);
            return 0;
        }
    } net;

    struct Trade : IfrmTrade {
        FakeDesk& d;
        explicit Trade(FakeDesk& desk) : d(desk) {}
        void AddPosition(const PositionPtr& Position, int32_t AccountID) override {
            const std::string ticket = Position ? std::to_string(Position->Ticket()) : "?";
            d.Record("trade.AddPosition|" + ticket + "|" + std::to_string(AccountID));
            auto& lv = d.stores().lvwOpenPos;
            if (lv.Find("T" + ticket)) lv.Remove("T" + ticket);
            lv.Add("T" + ticket, ticket).setSubItems(1, std::to_string(AccountID));
        }
        void RemovePosition(int32_t Ticket, int32_t AccountID) override {
            d.Record("trade.RemovePosition|" + std::to_string(Ticket) + "|" +
                     std::to_string(AccountID));
            auto& lv = d.stores().lvwOpenPos;
            if (lv.Find("T" + std::to_string(Ticket))) lv.Remove("T" + std::to_string(Ticket));
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
        void searchpos(int32_t ticket, const std::string& text) override {
            d.Record("close.searchpos|" + std::to_string(ticket) + "|" + text);
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
            Put("P" + id, id, AccountID);
        }
        void AddOrder(const OrderPtr& Order, int32_t AccountID) override {
            const std::string id = Order ? std::to_string(Order->OrderID()) : "?";
            d.Record("pending.AddOrder|" + id + "|" + std::to_string(AccountID));
            Put("P" + id, id, AccountID);
        }
        void Put(const std::string& key, const std::string& text, int32_t account) {
            auto& lv = d.stores().lvwPending;
            if (lv.Find(key)) lv.Remove(key);
            lv.Add(key, text).setSubItems(1, std::to_string(account));
        }
        void Removeorder(int32_t OrderID) override {
            d.Record("pending.Removeorder|" + std::to_string(OrderID));
            auto& lv = d.stores().lvwPending;
            if (lv.Find("P" + std::to_string(OrderID))) lv.Remove("P" + std::to_string(OrderID));
        }
        void Remove(int32_t OrderID) override {
            d.Record("pending.Remove|" + std::to_string(OrderID));
            auto& lv = d.stores().lvwPending;
            if (auto* row = lv.FindItem(std::to_string(OrderID))) lv.Remove(row->Index());
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
        void setStatusPaneText(int32_t ID, const std::string& Text) override {
            if (ID >= 100024 && ID <= 100026) d.statusPanes[ID - 100024] = Text;
        }
        void setCommandBarControlEnabled(int32_t BarID, int32_t ControlID, bool Enabled) override {
            d.Record("shell.control|" + std::to_string(BarID) + "|" + std::to_string(ControlID) +
                     "|" + (Enabled ? "True" : "False"));
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
        }
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
