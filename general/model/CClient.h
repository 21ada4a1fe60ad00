#pragma once
// One node of the client tree (a customer, an office or another group): its
// identity and liquidation settings, its accounts, price alerts and trading
// parameters for every symbol, and references to its child clients.
#include <cstdint>
#include <memory>
#include <string>

#include "general/common/Enums.h"
#include "general/common/ISafeObject.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {

class CAccounts;
class CAlerts;
class CClientParam;
class CClientParams;
class CClientRefs;
class CGenerals;
class CSymbol;
class CSymbols;

class CClient : public runtime::Object, public ISafeObject {
public:
    CClient();
    ~CClient() override;
    CClient(const CClient&) = delete;
    CClient& operator=(const CClient&) = delete;

    // The client's parameter object of a symbol; nothing when it has none.
    std::shared_ptr<CClientParam> SymbolParam(int32_t SymbolID) const;
    // Applies a parameter list (eight values a symbol) to the symbols that
    // Symbols holds, then links every parameter object to its reference
    // symbol's. Errors of the list or of a parameter reach the caller.
    void RefreshClientParams(const std::string& Params, const std::shared_ptr<CSymbols>& Symbols,
                             const std::shared_ptr<CGenerals>& Generals, bool ForSureAdd,
                             int16_t ClientOrServer);
    // Re-points alerts and parameters at a replaced symbol list; an alert
    // whose symbol the list lacks stops it with an error.
    void RefreshSymbols(const std::shared_ptr<CSymbols>& Symbols);
    // One parameter object per symbol with the defaults; those present stay.
    void InitializeParams(const std::shared_ptr<CSymbols>& Symbols, int16_t ClientOrServer);

    int32_t ClientID() const { return clientID_; }
    void setClientID(int32_t value) { clientID_ = value; }
    const runtime::Variant& ParentID() const { return parentID_; }
    void setParentID(runtime::Variant value) { parentID_ = std::move(value); }
    // Nothing after a release.
    const std::shared_ptr<CAccounts>& Accounts() const { return accounts_; }
    const std::shared_ptr<CAlerts>& Alerts() const { return alerts_; }
    ClientTypeEnum ClientType() const { return clientType_; }
    void setClientType(ClientTypeEnum value) { clientType_ = value; }
    const std::shared_ptr<CClientRefs>& ChildrenClients() const { return childrenClients_; }
    // Nothing when the client has no parent, the parent is gone, or after a release.
    std::shared_ptr<CClient> Parent() const { return parent_.lock(); }
    void setParent(const std::shared_ptr<CClient>& value) { parent_ = value; }
    bool EnableInterest() const { return enableInterest_; }
    void setEnableInterest(bool value) { enableInterest_ = value; }
    double LiquidationPoint() const { return liquidationPoint_; }
    void setLiquidationPoint(double value) { liquidationPoint_ = value; }
    LiquidationTypeEnum LiquidationType() const { return liquidationType_; }
    void setLiquidationType(LiquidationTypeEnum value) { liquidationType_ = value; }
    const std::string& FirstName() const { return firstName_; }
    void setFirstName(std::string value) { firstName_ = std::move(value); }
    const std::string& SecondName() const { return secondName_; }
    void setSecondName(std::string value) { secondName_ = std::move(value); }
    const std::string& ThirdName() const { return thirdName_; }
    void setThirdName(std::string value) { thirdName_ = std::move(value); }
    const std::string& LastName() const { return lastName_; }
    void setLastName(std::string value) { lastName_ = std::move(value); }
    // The name parts joined, each after the first preceded by a blank when not empty.
    std::string FullName() const;
    const std::shared_ptr<CClientParams>& Params() const { return params_; }
    const std::string& Username() const { return username_; }
    void setUsername(std::string value) { username_ = std::move(value); }

    // Releases accounts, alerts, child references and parameters, then drops the parent link.
    void Deallocate() override;

private:
    std::shared_ptr<CClientParam> SetSymbolParam(const runtime::Variant& Spread, int16_t SourcePlus,
                                                 double Commission, double MaxLots, double MinLots,
                                                 double LimitOffset, double StopOffset,
                                                 const std::shared_ptr<CSymbol>& Symbol,
                                                 bool KeepExisting, bool ForSureAdd,
                                                 int16_t ClientOrServer);

    int32_t clientID_ = 0;
    runtime::Variant parentID_;
    std::shared_ptr<CAccounts> accounts_;
    std::shared_ptr<CAlerts> alerts_;
    ClientTypeEnum clientType_ = static_cast<ClientTypeEnum>(0);
    std::shared_ptr<CClientRefs> childrenClients_;
    std::weak_ptr<CClient> parent_;
    bool enableInterest_ = false;
    double liquidationPoint_ = 0;
    LiquidationTypeEnum liquidationType_ = static_cast<LiquidationTypeEnum>(0);
    std::string firstName_;
    std::string secondName_;
    std::string thirdName_;
    std::string lastName_;
    std::shared_ptr<CClientParams> params_;
    std::string username_;
};

}  // namespace OrbanelGeneral10
