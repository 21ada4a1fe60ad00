#include "general/model/CAccount.h"

#include "general/common/MGenerals.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"

namespace OrbanelGeneral10 {

CAccount::CAccount()
    : openPositions_(std::make_shared<COpenPositions>()), orders_(std::make_shared<COrders>()) {}

CAccount::~CAccount() {
    Deallocate();
}

void CAccount::Deallocate() {
    SafeRelease(summeryInfo_);
    SafeRelease(openPositions_);
    SafeRelease(orders_);
    client_.reset();
}

}  // namespace OrbanelGeneral10
