#include "desk/DeskForms.h"

#include <QPointer>
#include <map>
#include <vector>

#include "desk/accounts/CLoginOptions.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/MGeneral.h"
#include "desk/common/OrderPaneProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/common/ResetTradeViews.h"
#include "desk/orders/frmlimitorder.h"
#include "desk/orders/frmorder.h"
#include "desk/positions/OrderDistribution.h"
#include "desk/positions/PositionForms.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/SessionLookups.h"
#include "desk/sessions/TradeViewProcedures.h"
#include "desk/shell/frmJournal.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/DeskMessages.h"
#include "platform/widgets/ListView.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kEditOrder = 100060;

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

struct DeskForms::Forms {
    std::function<DeskServices*()> services;
    std::function<IShell*()> shell;

    // The desk procedures behind the module port, over the services of the moment.
    struct Procedures : IMGeneral {
        Forms& f;
        explicit Procedures(Forms& forms) : f(forms) {}
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
    } procedures{*this};

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
    RealForm<frmorder> order{
        kPaneNewPosition, MarketOrderPane::Hooks{
                              .frmMain = [this] { return services()->Ports().frmMain; },
                              .frmlimitorder = [this] { return services()->Ports().frmlimitorder; },
                              .GetCollectionItem =
                                  [this](const std::string& name) {
                                      return GetCollectionItem(services()->State(), name);
                                  },
                              .ShowMessage =
                                  [this](const std::string& text) {
                                      if (IDeskMessages* messages = services()->Ports().Messages)
                                          messages->ShowMessage(text, kDefaultCaption, false);
                                  },
                              .CheckAllClients =
                                  [this](platform::ListView& rows, bool checked) {
                                      CheckAllClients(*services(), rows, checked);
                                  }}};
    RealForm<frmlimitorder> limit{kPaneNewEntryOrder, [this] { return services(); },
                                  frmlimitorder::Hooks{.Displayed = [this](bool shown) {
                                      for (auto& view : views)
                                          if (view->PaneID() == kPaneNewEntryOrder)
                                              view->setDisplayed(shown);
                                  }}};
};

// The trade forms' popups, messages and commands go through the shell and the
// desk's message box, both asked at call time.
void DeskForms::WireForms() {
    Forms& f = *forms_;
    auto popup = [&f](int32_t id) {
        if (IShell* shell = f.shell()) shell->ShowPopup(id);
    };
    auto message = [&f](const std::string& text) {
        if (IDeskMessages* messages = f.services()->Ports().Messages)
            messages->ShowMessage(text, kDefaultCaption, false);
    };
    for (ListForm* form :
         {static_cast<ListForm*>(f.trade.get()), static_cast<ListForm*>(f.pending.get())}) {
        form->ShowPopup = popup;
        form->ShowMessage = message;
    }
    f.pending->EntrySymbols = [&f]() -> platform::ComboBox* {
        Ifrmlimitorder* limit = f.services()->Ports().frmlimitorder;
        return limit ? &limit->cblimitordersymbols() : nullptr;
    };
    f.pending->EditOrder = [&f] {
        if (auto* mdi = dynamic_cast<frmMdiNew*>(f.shell()); mdi && mdi->Loaded())
            mdi->RunCommand(kEditOrder);
    };
    f.journal->ShowPopup = popup;
}

DeskForms::DeskForms(std::function<DeskServices*()> services, std::function<IShell*()> shell)
    : forms_(std::make_unique<Forms>()) {
    forms_->services = std::move(services);
    forms_->shell = shell;
    WireForms();
    for (const PaneRow& row : kPaneTable)
        forms_->views.push_back(std::make_unique<CPaneDisplay>(row.id, shell));
}

DeskForms::~DeskForms() = default;

DeskPorts DeskForms::Ports() {
    Forms& f = *forms_;
    DeskPorts ports;
    ports.frmorder = f.order.get();
    ports.frmlimitorder = f.limit.get();
    ports.frmNetTrade = f.net.get();
    ports.CNetPos = f.net.get();
    ports.frmTrade = f.trade.get();
    ports.frmPending = f.pending.get();
    ports.frmJournal = f.journal.get();
    ports.MGeneral = &f.procedures;
    return ports;
}

CPaneDisplay& DeskForms::View(int32_t PaneID) {
    for (auto& view : forms_->views)
        if (view->PaneID() == PaneID) return *view;
    throw std::out_of_range("no pane " + std::to_string(PaneID));
}

std::vector<std::pair<int32_t, QWidget*>> DeskForms::RealForms() {
    Forms& f = *forms_;
    return {{f.trade.pane, f.trade.get()},     {f.net.pane, f.net.get()},
            {f.pending.pane, f.pending.get()}, {f.journal.pane, f.journal.get()},
            {f.order.pane, f.order.get()},     {f.limit.pane, f.limit.get()}};
}

}  // namespace OrbanexDesk
