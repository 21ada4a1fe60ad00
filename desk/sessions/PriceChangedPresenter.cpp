#include "desk/sessions/PriceChangedPresenter.h"

#include "desk/common/DeskProcedures.h"
#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManager.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
// A text read as a number the way the views' order numbers are; no number is never equal.
bool TextIsNumber(const std::string& text, int32_t number) {
    const auto value = runtime::ParseNumber(text);
    return value && *value == number;
}
}  // namespace

PriceChangedPresenter::PriceChangedPresenter(DeskServices& desk) : desk_(desk) {}

PriceChangedPresenter::~PriceChangedPresenter() = default;

// ---- The window ----

IfrmPriceChanged* PriceChangedPresenter::Load() {
    if (!loaded_) {
        loaded_ = true;
        if (desk_.priceChangedFactory()) view_ = desk_.priceChangedFactory()(*this);
        Form_Load();
    }
    return view_.get();
}

void PriceChangedPresenter::Form_Load() {
    if (view_) view_->CenterForm();
}

void PriceChangedPresenter::HideView() {
    if (view_) view_->Hide();
}

// ---- Ticks ----

void PriceChangedPresenter::SetData(const std::shared_ptr<CClientAPIManager>& Session,
                                    int32_t OrderID, int32_t AccountID,
                                    OrbanelGeneral10::OperationTypeEnum BuySell, double Lots,
                                    const SymbolPtr& Symbol, double OldPrice, double NewPrice,
                                    int32_t /*OpenTicket*/, int16_t CurrentTimer,
                                    int16_t AllTimer) {
    IfrmPriceChanged* view = Load();
    const DeskPorts& ports = desk_.Ports();
    if (OrderID != orderID_) {
        orderID_ = OrderID;
        if (view) {
            view->setLblOrder(std::string(BuySell == OrbanelGeneral10::BuyType ? "Buy" : "Sell") +
                              " " + runtime::NumberToText(Lots) + " " +
                              (Symbol ? Symbol->Name() : std::string()) + " at " +
                              runtime::NumberToText(OldPrice));
            view->setLblNewPrice(runtime::NumberToText(NewPrice));
            view->SetTopMost(true);
        }
        session_ = Session;
        accountID_ = AccountID;
    }
    if (view) view->setCaption(std::to_string(CurrentTimer) + " / " + std::to_string(AllTimer));
    if (CurrentTimer == AllTimer) {
        ports.frmMain->setSoundAllowed(true);
        ports.Sound->PlayWave(SoundFile("PriceChanged.wav"));
    }
    if (CurrentTimer > 0) return;
    const std::string text =
        "Timer Expired - Order number " + std::to_string(orderID_) + " rejected";
    Send(false);
    HideView();
    ports.frmClosePos->CloseSymbols().setEnabled(true);
    ports.Messages->ShowMessage(text, "##DEF##", false);
    ports.frmJournal->Add(text, AccountID, true);
    CloseRequestRow(text, AccountID);
}

// ---- Answers ----

void PriceChangedPresenter::cmdAccept_Click() {
    Send(true);
    HideView();
    CloseRequestRow("Order number " + std::to_string(orderID_) + " Accepted", accountID_);
}

void PriceChangedPresenter::cmdReject_Click() {
    HideView();
    desk_.Ports().frmClosePos->CloseSymbols().setEnabled(true);
    Send(false);
    CloseRequestRow("Order number " + std::to_string(orderID_) + " rejected", accountID_);
}

void PriceChangedPresenter::Form_Unload() {
    Send(false);
    HideView();
    desk_.Ports().frmClosePos->CloseSymbols().setEnabled(true);
    CloseRequestRow("Order number " + std::to_string(orderID_) + " rejected", accountID_);
}

void PriceChangedPresenter::Dismiss() {
    HideView();
    orderID_ = 0;
    session_.reset();
    accountID_ = 0;
}

void PriceChangedPresenter::Send(bool accept) {
    // The answers' results are not looked at, and a failure must not reach the window.
    try {
        auto session = session_.lock();
        if (session && session->ClientAPIF()) session->SendRequoteAnswer(orderID_, accept);
    } catch (const std::exception&) {
    }
}

// The request row is the account's: another account may hold the same order number.
void PriceChangedPresenter::CloseRequestRow(const std::string& note, int32_t account) {
    const DeskPorts& ports = desk_.Ports();
    platform::ListView& pending = ports.frmPending->lvwPending();
    const std::string key = PendingRowKey(account, orderID_);
    const platform::ListItem* row = pending.Find(key);
    if (!row) return;
    const std::string side = row->SubItems(2);
    if (side == "Buy" || side == "Sell") {
        platform::ListView& clients = ports.frmorder->lvwConClients();
        for (size_t j = 1; j <= clients.Count(); ++j) {
            platform::ListItem& client = clients.Item(j);
            if (client.Checked() && TextIsNumber(client.Text(), account))
                client.setSubItems(2, note);
        }
    }
    pending.Remove(key);
}

}  // namespace OrbanexDesk
