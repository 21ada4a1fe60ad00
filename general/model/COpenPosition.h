#pragma once
// One open position of one trading account. Its close prices, commission and
// floating profit are computed on every read from the client's parameters
// for the symbol, so nothing here goes stale between quotes.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "general/model/MModelStamps.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccount;
class CClientParam;

class COpenPosition : public runtime::Object, public ISafeObject {
public:
    COpenPosition() = default;
    ~COpenPosition() override;
    COpenPosition(const COpenPosition&) = delete;
    COpenPosition& operator=(const COpenPosition&) = delete;

    // Adds one charge of interest (vDayFactor days of the yearly rate of the
    // position's side) and returns the charge; YearDays 0 raises error 11.
    double AddInterest(int16_t vDayFactor, double YearlyBuyRate, double YearlySellRate,
                       int16_t YearDays);
    // Money result if closed now, two decimals, halves to even.
    double FloatingProfitLoss(CommCalcTypeEnum vCommCalcType) const;
    double RefClosePrice() const;
    double ClosePrice() const;

    int32_t Ticket() const { return ticket_; }
    void setTicket(int32_t value) { ticket_ = value; }
    OperationTypeEnum Type_no() const { return Type_no_; }
    void setType_no(OperationTypeEnum value) {
        Type_no_ = value;
        valuation::InputsChanged();
    }
    double lots() const { return lots_; }
    void setLots(double value) {
        lots_ = value;
        valuation::InputsChanged();
    }
    double Interest() const { return interest_; }
    void setInterest(double value) {
        interest_ = value;
        valuation::InputsChanged();
    }
    const std::shared_ptr<CClientParam>& SymbolParam() const { return symbolParam_; }
    void setSymbolParam(std::shared_ptr<CClientParam> value) {
        symbolParam_ = std::move(value);
        valuation::InputsChanged();
    }
    double Price() const { return price_; }
    // Stored with the symbol's number of decimals; needs SymbolParam first.
    void setPrice(double value);
    bool Liquidated() const { return liquidated_; }
    void setLiquidated(bool value) { liquidated_ = value; }
    // Nothing once the account is gone or the position was released.
    std::shared_ptr<CAccount> Account() const { return account_.lock(); }
    void setAccount(const std::shared_ptr<CAccount>& value) { account_ = value; }
    const std::string& PosTime() const { return posTime_; }
    void setPosTime(std::string value) { posTime_ = std::move(value); }
    // The commission as a negative amount.
    double Commission() const;

    // Drops the account link; the parameter object stays until the position dies.
    void Deallocate() override;

private:
    int32_t ticket_ = 0;
    OperationTypeEnum Type_no_ = static_cast<OperationTypeEnum>(0);
    double lots_ = 0;
    std::shared_ptr<CClientParam> symbolParam_;
    double price_ = 0;
    bool liquidated_ = false;
    std::weak_ptr<CAccount> account_;
    std::string posTime_;
    double interest_ = 0;
};

}  // namespace OrbanelGeneral10
