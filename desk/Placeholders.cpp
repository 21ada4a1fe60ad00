#include "desk/Placeholders.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <map>
#include <vector>

#include "desk/accounts/CLoginOptions.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/OrderPaneProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/common/ResetTradeViews.h"
#include "desk/orders/frmlimitorder.h"
#include "desk/positions/OrderDistribution.h"
#include "desk/positions/PositionForms.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SessionLookups.h"
#include "desk/sessions/TradeViewProcedures.h"
#include "desk/shell/frmJournal.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
void RemoveKey(platform::ListView& list, const std::string& key) {
    if (list.Find(key)) list.Remove(key);
}
std::string AmountText(double amount) {
    return amount ? runtime::CStr(runtime::Variant(amount)) : std::string();
}

// A form the composition root makes before any pane exists; it dies with the pane
// that hosts it, or here when no pane ever took it.
template <class Form>
struct RealForm {
    int32_t pane;
    QPointer<Form> form;
    template <class... Args>
    explicit RealForm(int32_t paneId, Args&&... args)
        : pane(paneId), form(new Form(std::forward<Args>(args)...)) {}
    ~RealForm() {
        if (form && !form->parent()) delete form.data();
    }
    Form* get() const { return form.data(); }
    Form* operator->() const { return form.data(); }
    Form& operator*() const { return *form; }
};
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
            f.limit->Remove(AccountID);
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

    struct Desk : IMGeneral {
        Forms& f;
        explicit Desk(Forms& forms) : f(forms) {}
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

    // The real forms: made unparented, handed to their panes (which then own them).
    RealForm<frmNetTrade> net{kPaneNetTrade, [this]() -> platform::ListView& {
                                  return services()->Ports().frmMain->lvwClients();
                              }};
    RealForm<frmPending> pending{kPanePendingOrder, [this](platform::ListView& rows) {
                                     return std::make_unique<CPendingOrds>(
                                         rows, trade->lvwOpenPos(), services()->State());
                                 }};
    RealForm<frmTrade> trade{kPaneTrade, [this](platform::ListView& rows) {
                                 DeskServices* desk = services();
                                 return std::make_unique<COpenPos>(
                                     rows, pending->lvwPending(), *net, desk->State(),
                                     [desk](int32_t id) { return SessionSymbolByID(*desk, id); },
                                     [desk](int32_t ticket, double lots, int32_t account) {
                                         ClosePositionForAccount(*desk, ticket, lots, account);
                                     });
                             }};
    RealForm<frmJournal> journal{kPaneJournal};
    RealForm<frmlimitorder> limit{kPaneNewEntryOrder, [this] { return services(); },
                                  frmlimitorder::Hooks{.Displayed = [this](bool shown) {
                                      for (auto& view : views)
                                          if (view->PaneID() == kPaneNewEntryOrder)
                                              view->setDisplayed(shown);
                                  }}};
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
    ports.frmlimitorder = f.limit.get();
    ports.frmNetTrade = f.net.get();
    ports.CNetPos = f.net.get();
    ports.frmTrade = f.trade.get();
    ports.frmPending = f.pending.get();
    ports.frmJournal = f.journal.get();
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

std::vector<std::pair<int32_t, QWidget*>> Placeholders::RealForms() {
    Forms& f = *forms_;
    return {{f.trade.pane, f.trade.get()},
            {f.net.pane, f.net.get()},
            {f.pending.pane, f.pending.get()},
            {f.journal.pane, f.journal.get()},
            {f.limit.pane, f.limit.get()}};
}

}  // namespace OrbanexDesk
