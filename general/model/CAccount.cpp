#include "general/model/CAccount.h"

#include "general/common/MGenerals.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"

namespace OrbanelGeneral10 {

CAccount::CAccount()
    : OpenPositions_(std::make_shared<COpenPositions>()), Orders_(std::make_shared<COrders>()) {}

CAccount::~CAccount() {
    Deallocate();
}

void CAccount::Deallocate() {
    SafeRelease(SummeryInfo_);
    SafeRelease(OpenPositions_);
    SafeRelease(Orders_);
    Client_.reset();
}

}  // namespace OrbanelGeneral10
