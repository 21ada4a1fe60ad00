#pragma once
// Fresh client API views over a small model of their own, for tests of code
// that reads views (the desk's): one engine, its symbols (symbol 1 is the
// account currency at the fixed price 1 and every other symbol's reference),
// one client and one account. No server and no data client. Views stay
// valid while the factory lives.
#include <cstdint>
#include <memory>
#include <string>

#include "clientapi/facade/COOpenPosition.h"
#include "clientapi/facade/COOrder.h"
#include "clientapi/facade/COSymbol.h"
#include "general/common/Enums.h"
#include "runtime/Variant.h"

namespace OrbanelGeneral10 {
class CAccount;
class CAccountsTransactions;
class CClient;
class CSymbols;
}  // namespace OrbanelGeneral10

namespace testsupport {

class ViewFactory {
public:
    struct SymbolValues {
        int32_t id = 0;
        std::string name;
        int16_t pipLocation = -4;
        double bid = 0, ask = 0;
        // The client's own spread in pips; Null: the symbol's prices as they are.
        runtime::Variant spread = runtime::Null;
        double contractSize = 100000;
        // The last quote's server time, "dd/mm/yyyy hh:nn:ss" as the server sends it.
        std::string quoteTime = "00:00:00";
    };
    struct PositionValues {
        int32_t ticket = 0;
        int32_t symbol = 0;
        OrbanelGeneral10::OperationTypeEnum side = OrbanelGeneral10::BuyType;
        double lots = 0, price = 0, interest = 0;
        std::string time;
    };
    struct OrderValues {
        int32_t id = 0;
        // 2: an entry order, 3: a stop-loss/take-profit order.
        OrbanelGeneral10::OrdersTypeEnum type = OrbanelGeneral10::LimitOrdersType;
        OrbanelGeneral10::OperationTypeEnum side = OrbanelGeneral10::BuyType;
        int32_t symbol = 0;
        double lots = 0, price = 0, sl = 0, tp = 0;
        int32_t ticket = 0;
        std::string time;
    };

    static constexpr int32_t kClientID = 1;
    static constexpr int32_t kAccountID = 100;

    ViewFactory();
    ~ViewFactory();
    ViewFactory(const ViewFactory&) = delete;
    ViewFactory& operator=(const ViewFactory&) = delete;

    // Adds the symbol (a second call for an id raises runtime::Error(457))
    // and answers a view of it with the client's parameters.
    std::shared_ptr<OrbanexClientAPI10::COSymbol> Symbol(const SymbolValues& v);
    // Opens the position in the account; its symbol must have been added.
    std::shared_ptr<OrbanexClientAPI10::COOpenPosition> Position(const PositionValues& v);
    // Places the order unarmed, so no quote hits it.
    std::shared_ptr<OrbanexClientAPI10::COOrder> Order(const OrderValues& v);
    // Stores the prices and revalues what depends on the symbol.
    void Quote(int32_t symbolId, double bid, double ask);

    const std::shared_ptr<OrbanelGeneral10::CAccountsTransactions>& Engine() const {
        return engine_;
    }
    const std::shared_ptr<OrbanelGeneral10::CAccount>& Account() const { return account_; }

private:
    void AddSymbol(const SymbolValues& v);

    std::shared_ptr<OrbanelGeneral10::CSymbols> symbols_;
    std::shared_ptr<OrbanelGeneral10::CAccountsTransactions> engine_;
    std::shared_ptr<OrbanelGeneral10::CClient> client_;
    std::shared_ptr<OrbanelGeneral10::CAccount> account_;
};

}  // namespace testsupport
