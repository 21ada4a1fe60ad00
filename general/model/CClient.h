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

    int32_t ClientID() const { return ClientID_; }
    void setClientID(int32_t value) { ClientID_ = value; }
    const runtime::Variant& ParentID() const { return ParentID_; }
    void setParentID(runtime::Variant value) { ParentID_ = std::move(value); }
    // Nothing after a release.
    const std::shared_ptr<CAccounts>& Accounts() const { return Accounts_; }
    const std::shared_ptr<CAlerts>& Alerts() const { return Alerts_; }
    ClientTypeEnum ClientType() const { return ClientType_; }
    void setClientType(ClientTypeEnum value) { ClientType_ = value; }
    const std::shared_ptr<CClientRefs>& ChildrenClients() const { return ChildrenClients_; }
    // Nothing when the client has no parent, the parent is gone, or after a release.
    std::shared_ptr<CClient> Parent() const { return Parent_.lock(); }
    void setParent(const std::shared_ptr<CClient>& value) { Parent_ = value; }
    bool EnableInterest() const { return EnableInterest_; }
    void setEnableInterest(bool value) { EnableInterest_ = value; }
    double LiquidationPoint() const { return LiquidationPoint_; }
    void setLiquidationPoint(double value) { LiquidationPoint_ = value; }
    LiquidationTypeEnum LiquidationType() const { return LiquidationType_; }
    void setLiquidationType(LiquidationTypeEnum value) { LiquidationType_ = value; }
    const std::string& FirstName() const { return FirstName_; }
    void setFirstName(std::string value) { FirstName_ = std::move(value); }
    const std::string& SecondName() const { return SecondName_; }
    void setSecondName(std::string value) { SecondName_ = std::move(value); }
    const std::string& ThirdName() const { return ThirdName_; }
    void setThirdName(std::string value) { ThirdName_ = std::move(value); }
    const std::string& LastName() const { return LastName_; }
    void setLastName(std::string value) { LastName_ = std::move(value); }
    // The name parts joined, each after the first preceded by a blank when not empty.
    std::string FullName() const;
    const std::shared_ptr<CClientParams>& Params() const { return Params_; }
    const std::string& Username() const { return Username_; }
    void setUsername(std::string value) { Username_ = std::move(value); }

    // Releases accounts, alerts, child references and parameters, then drops the parent link.
    void Deallocate() override;

private:
    std::shared_ptr<CClientParam> SetSymbolParam(const runtime::Variant& Spread, int16_t SourcePlus,
                                                 double Commission, double MaxLots, double MinLots,
                                                 double LimitOffset, double StopOffset,
                                                 const std::shared_ptr<CSymbol>& Symbol,
                                                 bool KeepExisting, bool ForSureAdd,
                                                 int16_t ClientOrServer);

    int32_t ClientID_ = 0;
    runtime::Variant ParentID_;
    std::shared_ptr<CAccounts> Accounts_;
    std::shared_ptr<CAlerts> Alerts_;
    ClientTypeEnum ClientType_ = static_cast<ClientTypeEnum>(0);
    std::shared_ptr<CClientRefs> ChildrenClients_;
    std::weak_ptr<CClient> Parent_;
    bool EnableInterest_ = false;
    double LiquidationPoint_ = 0;
    LiquidationTypeEnum LiquidationType_ = static_cast<LiquidationTypeEnum>(0);
    std::string FirstName_;
    std::string SecondName_;
    std::string ThirdName_;
    std::string LastName_;
    std::shared_ptr<CClientParams> Params_;
    std::string Username_;
};

}  // namespace OrbanelGeneral10
