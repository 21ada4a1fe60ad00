#pragma once
// One price alert of a client: a level that the client's bid or ask of one
// symbol is to pass.
#include <cstdint>
#include <memory>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CSymbol;

class CAlert : public runtime::Object, public ISafeObject {
public:
    CAlert() = default;
    ~CAlert() override { Deallocate(); }
    CAlert(const CAlert&) = delete;
    CAlert& operator=(const CAlert&) = delete;

    int32_t ID() const { return ID_; }
    void setID(int32_t value) { ID_ = value; }
    int32_t ClientID() const { return ClientID_; }
    void setClientID(int32_t value) { ClientID_ = value; }
    // The id of the symbol last set; kept after a release.
    int32_t SymbolID() const { return SymbolID_; }
    const std::shared_ptr<CSymbol>& Symbol() const { return Symbol_; }
    // Stores the reference, then copies its id; nothing raises error 91
    // (the reference is then empty and SymbolID keeps its value).
    void setSymbol(std::shared_ptr<CSymbol> value);
    AlertConditionsEnum AlertCondition() const { return AlertCondition_; }
    void setAlertCondition(AlertConditionsEnum value) { AlertCondition_ = value; }
    double AlertValue() const { return AlertValue_; }
    void setAlertValue(double value) { AlertValue_ = value; }
    runtime::Date hitTime() const { return hitTime_; }
    void setHitTime(runtime::Date value) { hitTime_ = value; }
    double hitPrice() const { return hitPrice_; }
    void setHitPrice(double value) { hitPrice_ = value; }

    void Deallocate() override { Symbol_.reset(); }

private:
    int32_t ID_ = 0;
    int32_t ClientID_ = 0;
    int32_t SymbolID_ = 0;
    std::shared_ptr<CSymbol> Symbol_;
    AlertConditionsEnum AlertCondition_ = static_cast<AlertConditionsEnum>(0);
    double AlertValue_ = 0;
    runtime::Date hitTime_;
    double hitPrice_ = 0;
};

}  // namespace OrbanelGeneral10
