#pragma once
// The general variables a trading server sends once per login.
#include <cstdint>
#include <string>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CGlobalVar : public runtime::Object, public ISafeObject {
public:
    // Parses the comma list of nine values. Never raises: a missing item or
    // a number out of its property's range ends the parse, keeping what was
    // stored before it.
    void SetValues(const std::string& StrVals);

    bool MultiSessionsAllowed() const { return multiSessionsAllowed_; }
    void setMultiSessionsAllowed(bool value) { multiSessionsAllowed_ = value; }
    CommCalcTypeEnum CommCalcType() const { return commCalcType_; }
    void setCommCalcType(CommCalcTypeEnum value) { commCalcType_ = value; }
    int16_t PriceChangedTimer() const { return priceChangedTimer_; }
    void setPriceChangedTimer(int16_t value) { priceChangedTimer_ = value; }
    int16_t ValidLotsLocation() const { return validLotsLocation_; }
    void setValidLotsLocation(int16_t value) { validLotsLocation_ = value; }
    bool CustumizeTradeMsg() const { return custumizeTradeMsg_; }
    void setCustumizeTradeMsg(bool value) { custumizeTradeMsg_ = value; }
    const std::string& FirstWhiteLabeledOffice() const { return firstWhiteLabeledOffice_; }
    void setFirstWhiteLabeledOffice(std::string value) {
        firstWhiteLabeledOffice_ = std::move(value);
    }
    int32_t DealerTreePriv() const { return dealerTreePriv_; }
    void setDealerTreePriv(int32_t value) { dealerTreePriv_ = value; }
    int32_t ClientConnectTimer() const { return clientConnectTimer_; }
    void setClientConnectTimer(int32_t value) { clientConnectTimer_ = value; }
    int32_t ClientTimeoutTimer() const { return clientTimeoutTimer_; }
    void setClientTimeoutTimer(int32_t value) { clientTimeoutTimer_ = value; }
    // 1 / 10 ^ ValidLotsLocation: the smallest lot step. runtime::Error(6)
    // or (11) when the power leaves the double range.
    double DefaultLots() const;
    const std::string& WebSecurityID() const { return webSecurityID_; }
    void setWebSecurityID(std::string value) { webSecurityID_ = std::move(value); }
    // Set only by SetValues.
    double ServerGMT() const { return serverGMT_; }

    // Holds no references.
    void Deallocate() override {}

private:
    bool multiSessionsAllowed_ = false;
    CommCalcTypeEnum commCalcType_ = static_cast<CommCalcTypeEnum>(0);
    int16_t priceChangedTimer_ = 0;
    int16_t validLotsLocation_ = 0;
    bool custumizeTradeMsg_ = false;
    std::string firstWhiteLabeledOffice_;
    int32_t dealerTreePriv_ = 0;
    int32_t clientConnectTimer_ = 0;
    int32_t clientTimeoutTimer_ = 0;
    std::string webSecurityID_;
    double serverGMT_ = 0;
};

}  // namespace OrbanelGeneral10
