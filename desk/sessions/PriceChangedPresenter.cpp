#include "desk/sessions/PriceChangedPresenter.h"

#include "desk/sessions/CClientAPIManager.h"

namespace OrbanexDesk {

PriceChangedPresenter::PriceChangedPresenter(DeskServices& desk) : desk_(desk) {}

PriceChangedPresenter::~PriceChangedPresenter() = default;

void PriceChangedPresenter::SetData(const std::shared_ptr<CClientAPIManager>& Session,
                                    int32_t OrderID, int32_t AccountID,
                                    OrbanelGeneral10::OperationTypeEnum /*BuySell*/,
                                    double /*Lots*/, const SymbolPtr& /*Symbol*/,
                                    double /*OldPrice*/, double /*NewPrice*/,
                                    int32_t /*OpenTicket*/, int16_t /*CurrentTimer*/,
                                    int16_t /*AllTimer*/) {
    orderID_ = OrderID;
    session_ = Session;
    accountID_ = AccountID;
}

void PriceChangedPresenter::cmdAccept_Click() {}

void PriceChangedPresenter::cmdReject_Click() {}

void PriceChangedPresenter::Form_Load() {}

void PriceChangedPresenter::Form_Unload() {}

void PriceChangedPresenter::Dismiss() {}

}  // namespace OrbanexDesk
