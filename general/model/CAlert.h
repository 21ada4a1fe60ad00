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

    int32_t ID() const { return id_; }
    void setID(int32_t value) { id_ = value; }
    int32_t ClientID() const { return clientID_; }
    void setClientID(int32_t value) { clientID_ = value; }
    // The id of the symbol last set; kept after a release.
    int32_t SymbolID() const { return symbolID_; }
    const std::shared_ptr<CSymbol>& Symbol() const { return symbol_; }
    // Stores the reference, then copies its id; nothing raises error 91
    // (the reference is then empty and SymbolID keeps its value).
    void setSymbol(std::shared_ptr<CSymbol> value);
    AlertConditionsEnum AlertCondition() const { return alertCondition_; }
    void setAlertCondition(AlertConditionsEnum value) { alertCondition_ = value; }
    double AlertValue() const { return alertValue_; }
    void setAlertValue(double value) { alertValue_ = value; }
    runtime::Date hitTime() const { return hitTime_; }
    void setHitTime(runtime::Date value) { hitTime_ = value; }
    double hitPrice() const { return hitPrice_; }
    void setHitPrice(double value) { hitPrice_ = value; }

    void Deallocate() override { symbol_.reset(); }

private:
    int32_t id_ = 0;
    int32_t clientID_ = 0;
    int32_t symbolID_ = 0;
    std::shared_ptr<CSymbol> symbol_;
    AlertConditionsEnum alertCondition_ = static_cast<AlertConditionsEnum>(0);
    double alertValue_ = 0;
    runtime::Date hitTime_;
    double hitPrice_ = 0;
};

}  // namespace OrbanelGeneral10
