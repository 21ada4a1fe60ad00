#pragma once
// The re-quote dialog of one account session, without its window: it shows the
// ticks of a re-quoted market order and answers the order on Accept, Reject,
// expiry or close. The window is made through the desk's factory on the first
// tick, so an idle session owns none; without a factory it runs windowless.
#include <cstdint>
#include <memory>
#include <string>

#include "desk/common/DeskServices.h"
#include "general/common/Enums.h"

namespace OrbanexDesk {

class CClientAPIManager;

class PriceChangedPresenter {
public:
    explicit PriceChangedPresenter(DeskServices& desk);
    ~PriceChangedPresenter();
    PriceChangedPresenter(const PriceChangedPresenter&) = delete;
    PriceChangedPresenter& operator=(const PriceChangedPresenter&) = delete;

    // One tick of the order's countdown; the arguments after Session are the
    // OrderTimer event's. A CurrentTimer of 0 or below is the expiry.
    void SetData(const std::shared_ptr<CClientAPIManager>& Session, int32_t OrderID,
                 int32_t AccountID, OrbanelGeneral10::OperationTypeEnum BuySell, double Lots,
                 const SymbolPtr& Symbol, double OldPrice, double NewPrice, int32_t OpenTicket,
                 int16_t CurrentTimer, int16_t AllTimer);
    void cmdAccept_Click();
    void cmdReject_Click();
    void Form_Load();
    // Closing is never refused.
    void Form_QueryUnload() {}
    // The window was closed: rejects the held order.
    void Form_Unload();

    // The session can no longer answer its order: hides the window and forgets
    // the held order without sending anything.
    void Dismiss();

    int32_t OrderID() const { return orderID_; }
    int32_t AccountID() const { return accountID_; }
    // Null until the first tick (or with no factory registered).
    IfrmPriceChanged* View() const { return view_.get(); }

private:
    // Makes the window on first use (the factory may make none).
    IfrmPriceChanged* Load();
    void HideView();
    // AcceptOrder or RejectOrder for the held order; never throws.
    void Send(bool accept);
    // Notes the account's checked market-order row (for a market request) and
    // removes the held order's request row.
    void CloseRequestRow(const std::string& note, int32_t account);

    DeskServices& desk_;
    std::unique_ptr<IfrmPriceChanged> view_;
    bool loaded_ = false;
    int32_t orderID_ = 0;
    std::weak_ptr<CClientAPIManager> session_;
    int32_t accountID_ = 0;
};

}  // namespace OrbanexDesk
