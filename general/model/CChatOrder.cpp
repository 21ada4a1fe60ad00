#include "general/model/CChatOrder.h"

#include <cmath>
#include <cstdlib>

#include "general/common/MGenerals.h"
#include "runtime/Clock.h"

namespace OrbanelGeneral10 {

namespace {

// Whole seconds since the epoch of the date scale, counted on the
// millisecond so that 12:00:05 is never read as 12:00:04.999.
int64_t SecondOf(runtime::Date d) {
    const auto ms = static_cast<int64_t>(std::llround(d.value * 86400000.0));
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

}  // namespace

CChatOrder::CChatOrder() : createdDate_(runtime::Now()) {}

void CChatOrder::OrderSentNow() {
    sendTime_ = runtime::Now();
}

void CChatOrder::OrderNotSent() {
    setDealer(-1);
    sendTime_.reset();
    SafeRelease(sentToDealer_);
}

int32_t CChatOrder::TimeAfterSend() const {
    if (!sendTime_) return -1;
    const int64_t seconds = SecondOf(runtime::Now()) - SecondOf(*sendTime_);
    return static_cast<int32_t>(std::llabs(seconds));
}

void CChatOrder::setDealer(int32_t value) {
    dealer_ = value;
    receivedTime_ = runtime::Now();
}

void CChatOrder::Deallocate() {
    SafeRelease(sentToDealer_);
}

}  // namespace OrbanelGeneral10
