#pragma once
// One market order that the dealer has re-quoted, with its countdown: Start
// runs one tick at once and the timer one a second after it, each reported to
// the accounts manager (RaiseOrderTimer), which answers the server when the
// count reaches zero.
//
// Every property but BuySell is write-once: a write is ignored while the
// property holds a non-zero value (or an object). The order does not own its
// manager: the manager's CMOrders owns the order, and leaving that collection
// stops the count and forgets the manager, so an order a host keeps is inert.
// A tick keeps the order alive while it reports, so a handler may remove it.
#include <cstdint>
#include <memory>

#include "general/common/Enums.h"
#include "platform/Timer.h"
#include "runtime/Event.h"

namespace OrbanexClientAPI10 {

class CAccountsManager;
class COSymbol;

class CMOrder : public std::enable_shared_from_this<CMOrder> {
public:
    static constexpr int32_t kTickMs = 1000;

    CMOrder();  // timer at kTickMs, disabled
    ~CMOrder();
    CMOrder(const CMOrder&) = delete;
    CMOrder& operator=(const CMOrder&) = delete;

    // CurrentTimer becomes AllTimerSeconds + 1, the timer starts and the
    // first tick runs at once (so the first report shows AllTimerSeconds).
    void Start();

    int32_t ID() const { return id_; }
    void setID(int32_t value);
    const std::shared_ptr<COSymbol>& Symbol() const { return symbol_; }
    void setSymbol(std::shared_ptr<COSymbol> value);
    OrbanelGeneral10::OperationTypeEnum BuySell() const { return buySell_; }
    void setBuySell(OrbanelGeneral10::OperationTypeEnum value) { buySell_ = value; }
    double Lots() const { return lots_; }
    void setLots(double value);
    int32_t OpenTicket() const { return openTicket_; }
    void setOpenTicket(int32_t value);
    int32_t AccountID() const { return accountID_; }
    void setAccountID(int32_t value);
    double OldPrice() const { return oldPrice_; }
    void setOldPrice(double value);
    double NewPrice() const { return newPrice_; }
    void setNewPrice(double value);
    // Write-only; the manager to report to (not owned).
    void setAccountsManagerRef(CAccountsManager* value);
    int16_t AllTimerSeconds() const { return allTimerSeconds_; }
    void setAllTimerSeconds(int16_t value);
    // Seconds left; always within 16 bits once started.
    int16_t CurrentTimer() const;

private:
    friend class CMOrders;
    // Disables the timer and forgets the manager: no further report.
    void Stop();
    // Stops as Stop, with no seconds left: the count ended without an expiry.
    void End();
    void Tick();

    platform::Timer timer_;
    runtime::ScopedConnection tickConnection_;
    CAccountsManager* manager_ = nullptr;
    int32_t id_ = 0;
    std::shared_ptr<COSymbol> symbol_;
    OrbanelGeneral10::OperationTypeEnum buySell_ =
        static_cast<OrbanelGeneral10::OperationTypeEnum>(0);
    double lots_ = 0;
    int32_t openTicket_ = 0;
    int32_t accountID_ = 0;
    double oldPrice_ = 0;
    double newPrice_ = 0;
    int16_t allTimerSeconds_ = 0;
    // 32 bits: AllTimerSeconds + 1 passes 16 bits for 32767 until the first tick.
    int32_t currentTimer_ = 0;
};

}  // namespace OrbanexClientAPI10
