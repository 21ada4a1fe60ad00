#include "desk/Placeholders.h"

#include <QLabel>
#include <QVBoxLayout>
#include <map>
#include <vector>

#include "desk/accounts/CLoginOptions.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/OrderPaneProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/common/ResetTradeViews.h"
#include "desk/positions/OrderDistribution.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SessionLookups.h"
#include "desk/sessions/TradeViewProcedures.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
void RemoveKey(platform::ListView& list, const std::string& key) {
    if (list.Find(key)) list.Remove(key);
}
std::string AmountText(double amount) {
    return amount ? runtime::CStr(runtime::Variant(amount)) : std::string();
}
}  // namespace

// ---- Stand-in forms ----

struct Placeholders::Forms {
    std::function<DeskServices*()> services;

    struct Account : Ifrmaccount {
        void setEnabled(bool) override {}
    } account;

    struct Order : Ifrmorder {
        Forms& f;
        platform::ListView clients;
        platform::ComboBox symbols;
        bool enabled = true;
        explicit Order(Forms& forms) : f(forms) {}
        platform::ListView& lvwConClients() override { return clients; }
        void Add(int32_t AccountID, const std::string&, double Amount) override {
            const std::string key = "C" + std::to_string(AccountID);
            RemoveKey(clients, key);
            clients.Add(key, std::to_string(AccountID)).setSubItems(1, AmountText(Amount));
        }
        void Remove(int32_t AccountID) override {
            RemoveKey(clients, "C" + std::to_string(AccountID));
            RemoveKey(f.limit.clients, "C" + std::to_string(AccountID));
        }
        void addNote(const std::string& Text, int32_t Account) override {
            if (auto* row = clients.Find("C" + std::to_string(Account))) row->setSubItems(2, Text);
        }
        void Enableds(bool) override {}
        bool Enabled() const override { return enabled; }
        void setEnabled(bool on) override { enabled = on; }
        platform::ComboBox& cbsymbols() override { return symbols; }
        void setTxtammount(const std::string& text) override { amount = text; }
        std::string txtammount() const override { return amount; }
        platform::ComboBox& CBdis() override { return rules; }
        void setCmddisEnabled(bool) override {}
        void setCmddisVisible(bool) override {}
        void setCmdbuyEnabled(bool) override {}
        void setCmdbuyVisible(bool) override {}
        void setCmdsellEnabled(bool) override {}
        void setCmdsellVisible(bool) override {}
        void setChkAllClients(bool) override {}
        void updateAmount(int32_t, double Amount, const std::string& Key) override {
            if (auto* row = clients.Find(Key)) row->setSubItems(1, AmountText(Amount));
        }
        std::string amount;
        platform::ComboBox rules;
    } order{*this};

    struct LimitOrder : Ifrmlimitorder {
        platform::ListView clients;
        platform::ComboBox symbols;
        platform::ListView& lvwConClients() override { return clients; }
        void Add(int32_t AccountID, int16_t, const std::string&, double) override {
            const std::string key = "C" + std::to_string(AccountID);
            RemoveKey(clients, key);
            clients.Add(key, std::to_string(AccountID));
        }
        void addNote(const std::string&, int32_t) override {}
        void limitorderpricechange() override {}
        platform::ComboBox& cblimitordersymbols() override { return symbols; }
        void setCmdsubmitlimiorderEnabled(bool) override {}
        void setCmdlimiorderdisEnabled(bool) override {}
    } limit;

    struct NetTrade : IfrmNetTrade, ICNetPos {
        platform::ListView rows;
        platform::ListView& lvwNetPos() override { return rows; }
        double caluclate_profit(const std::string&, const std::string&) override { return 0; }
        void PositionAdded(const SymbolPtr&, int32_t, double, double, double, double,
                           const runtime::Variant&, int32_t) override {}
    } net;

    struct Trade : IfrmTrade {
        platform::ListView rows;
        void AddPosition(const PositionPtr& Position, int32_t AccountID) override {
            if (!Position) return;
            const std::string ticket = std::to_string(Position->Ticket());
            RemoveKey(rows, "T" + ticket);
            rows.Add("T" + ticket, ticket).setSubItems(1, std::to_string(AccountID));
        }
        void RemovePosition(int32_t Ticket, int32_t) override {
            RemoveKey(rows, "T" + std::to_string(Ticket));
        }
        platform::ListView& lvwOpenPos() override { return rows; }
        void setChkAll(bool) override {}
        void setLbmSummaries(const std::string&) override {}
        void closeAllse() override {}
    } trade;

    struct Pending : IfrmPending {
        platform::ListView rows;
        void Put(const std::string& id, int32_t account) {
            RemoveKey(rows, "P" + id);
            rows.Add("P" + id, id).setSubItems(1, std::to_string(account));
        }
        void Add(const runtime::Variant& ID, int32_t AccountID, const std::string&,
                 OrbanelGeneral10::OperationTypeEnum, double, const SymbolPtr&,
                 const runtime::Variant&, const runtime::Variant&, const runtime::Variant&,
                 const std::string&, const runtime::Variant&) override {
            Put(ID.ToString(), AccountID);
        }
        void AddOrder(const OrderPtr& Order, int32_t AccountID) override {
            if (Order) Put(std::to_string(Order->OrderID()), AccountID);
        }
        void Removeorder(int32_t OrderID) override {
            RemoveKey(rows, "P" + std::to_string(OrderID));
        }
        void Remove(int32_t OrderID) override {
            if (auto* row = rows.FindItem(std::to_string(OrderID))) rows.Remove(row->Index());
        }
        void removeClientinfo(int32_t AccountID) override {
            for (size_t i = rows.Count(); i >= 1; --i)
                if (rows.Item(i).SubItems(1) == std::to_string(AccountID)) rows.Remove(i);
        }
        void Updateaccount() override {}
        platform::ListView& lvwPending() override { return rows; }
    } pending;

    struct Desk : IfrmJournal, IMGeneral {
        Forms& f;
        explicit Desk(Forms& forms) : f(forms) {}
        void Add(const std::string&, int32_t, bool) override {}
        void RefreshNetPositions(bool Skip, int32_t Account) override {
            OrbanexDesk::RefreshNetPositions(*f.services(), Skip, Account);
        }
        void ReplaceInServerFile(const std::string& OldText, const std::string& NewText) override {
            OrbanexDesk::ReplaceInServerFile(OldText, NewText);
        }
        void ResetTradeViews() override { OrbanexDesk::ResetTradeViews(*f.services()); }
        void ClearOrderForms() override { OrbanexDesk::ClearOrderForms(f.services()->Ports()); }
        void RemoveInvisibleSymbols() override {
            OrbanexDesk::RemoveInvisibleSymbols(*f.services());
        }
    } desk{*this};

    std::vector<std::unique_ptr<CPaneDisplay>> views;
};

Placeholders::Placeholders(std::function<DeskServices*()> services, std::function<IShell*()> shell)
    : forms_(std::make_unique<Forms>()) {
    forms_->services = std::move(services);
    for (const PaneRow& row : kPaneTable)
        forms_->views.push_back(std::make_unique<CPaneDisplay>(row.id, shell));
}

Placeholders::~Placeholders() = default;

DeskPorts Placeholders::Ports() {
    Forms& f = *forms_;
    DeskPorts ports;
    ports.frmaccount = &f.account;
    ports.frmorder = &f.order;
    ports.frmlimitorder = &f.limit;
    ports.frmNetTrade = &f.net;
    ports.CNetPos = &f.net;
    ports.frmTrade = &f.trade;
    ports.frmPending = &f.pending;
    ports.frmJournal = &f.desk;
    ports.MGeneral = &f.desk;
    return ports;
}

CPaneDisplay& Placeholders::View(int32_t PaneID) {
    for (auto& view : forms_->views)
        if (view->PaneID() == PaneID) return *view;
    throw std::out_of_range("no pane " + std::to_string(PaneID));
}

QWidget* Placeholders::MakeForm(int32_t PaneID) {
    auto* form = new QWidget;
    form->setObjectName(QString("Placeholder%1").arg(PaneID));
    return form;
}

}  // namespace OrbanexDesk
