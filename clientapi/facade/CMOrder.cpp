#include "clientapi/facade/CMOrder.h"

#include <algorithm>

#include "clientapi/facade/CAccountsManager.h"

namespace OrbanexClientAPI10 {

namespace {

template <class T>
void WriteOnce(T& field, T value) {
    if (field == T{}) field = std::move(value);
}

}  // namespace

CMOrder::CMOrder() {
    timer_.SetInterval(kTickMs);
    timer_.SetEnabled(false);
    tickConnection_ = timer_.Tick.Connect([this] { Tick(); });
}

CMOrder::~CMOrder() = default;

void CMOrder::Start() {
    currentTimer_ = static_cast<int32_t>(allTimerSeconds_) + 1;
    timer_.SetEnabled(true);
    Tick();
}

void CMOrder::Stop() {
    timer_.SetEnabled(false);
    manager_ = nullptr;
}

void CMOrder::End() {
    Stop();
    currentTimer_ = 0;
}

void CMOrder::Tick() {
    // A handler of the report may remove this order from its collection.
    const std::shared_ptr<CMOrder> self = weak_from_this().lock();
    --currentTimer_;
    if (currentTimer_ <= 0) timer_.SetEnabled(false);
    if (manager_ && self) manager_->RaiseOrderTimer(self);
}

int16_t CMOrder::CurrentTimer() const {
    return static_cast<int16_t>(std::clamp<int32_t>(currentTimer_, INT16_MIN, INT16_MAX));
}

// ---- Write-once properties ----

void CMOrder::setID(int32_t value) {
    WriteOnce(id_, value);
}
void CMOrder::setSymbol(std::shared_ptr<COSymbol> value) {
    if (!symbol_) symbol_ = std::move(value);
}
void CMOrder::setLots(double value) {
    WriteOnce(lots_, value);
}
void CMOrder::setOpenTicket(int32_t value) {
    WriteOnce(openTicket_, value);
}
void CMOrder::setAccountID(int32_t value) {
    WriteOnce(accountID_, value);
}
void CMOrder::setOldPrice(double value) {
    WriteOnce(oldPrice_, value);
}
void CMOrder::setNewPrice(double value) {
    WriteOnce(newPrice_, value);
}
void CMOrder::setAccountsManagerRef(CAccountsManager* value) {
    if (!manager_) manager_ = value;
}
void CMOrder::setAllTimerSeconds(int16_t value) {
    WriteOnce(allTimerSeconds_, value);
}

}  // namespace OrbanexClientAPI10
