// Command results and order status: return codes, order IDs and events.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/clientapi/facade/TradingSession.h"

namespace {

using namespace OrbanexClientAPI10;
using testsupport::EventLog;
using testsupport::TradingSession;
using M = CAccountsManager;
namespace G = OrbanelGeneral10;

void WatchResults(EventLog& log, M& m) {
    log.Watch(m.NewOrderResult, "NewOrder");
    log.Watch(m.CloseOrderResult, "CloseOrder");
    log.Watch(m.NewLimitOrderResult, "NewLimit");
    log.Watch(m.UpdateLimitOrderResult, "UpdateLimit");
    log.Watch(m.NewSLTPOrderResult, "NewSLTP");
    log.Watch(m.UpdateSLTPOrderResult, "UpdateSLTP");
    log.Watch(m.DeleteLimitOrderResult, "DeleteLimit");
    log.Watch(m.DeleteSLTPOrderResult, "DeleteSLTP");
    log.Watch(m.NewPosResult, "NewPos");
    log.Watch(m.ClosePosResult, "ClosePos");
    log.Watch(m.MarketOrderAccepted, "MarketAccepted");
    log.Watch(m.MarketOrderRejected, "MarketRejected");
    log.Watch(m.LimitOrderAccepted, "LimitAccepted");
    log.Watch(m.LimitOrderCanceledNoMoney, "LimitNoMoney");
    log.Watch(m.LimitOrderCanceledCannotHdg, "LimitCannotHdg");
    log.Watch(m.SlTpOrderAccepted, "SlTpAccepted");
    log.Watch(m.SlTpOrderCanceledNoMoney, "SlTpNoMoney");
}

TEST(CommandResults, ReturnCodesMapOntoResultsWithTheirOrderIds) {
    auto order = [](int32_t ret) {
        return [ret](M& m) { m.NewOrderResultRecieved(ret, 1, "T", 0.3, G::BuyType, 1.2, 2, "g"); };
    };
    auto close = [](int32_t ret) {
        return [ret](M& m) {
            m.CloseOrderResultRecieved(ret, 2, "T", 10, 100, 501, 0.5, G::SellType, 1.2, 2, "g");
        };
    };
    using IdMember = void (M::*)(int32_t, const std::string&, const std::string&);
    auto id = [](IdMember member, int32_t ret) {
        return [member, ret](M& m) { (m.*member)(ret, "T", "g"); };
    };
    using TextMember = void (M::*)(const std::string&, const std::string&, const std::string&);
    auto text = [](TextMember member, const char* ret) {
        return [member, ret](M& m) { (m.*member)(ret, "7,8", "g"); };
    };
    auto pos = [](const char* ret) { return [ret](M& m) { m.NewPosResultRecieved(ret, "T"); }; };
    auto closePos = [](int32_t ret) {
        return [ret](M& m) { m.ClosePosResultRecieved(ret, "T", 77); };
    };
    const std::pair<std::function<void(M&)>, std::string> rows[] = {
        {order(7), "NewOrder 1 1.2 1 7 1 0.3 S2 T g"},
        {order(0), "NewOrder 100 1.2 1 0 1 0.3 S2 T g"},
        {order(-3), "NewOrder 100 1.2 1 -3 1 0.3 S2 T g"},
        {order(-51), "NewOrder 5 1.2 1 -51 1 0.3 S2 T g"},
        {order(-4), "NewOrder 13 1.2 1 -4 1 0.3 S2 T g"},
        {order(-2), "NewOrder 2 1.2 1 -2 1 0.3 S2 T g"},
        {close(-12), "CloseOrder 8 1.2 2 -12 -1 0.5 S2 T 501 g"},
        {close(-11), "CloseOrder 7 1.2 2 -11 -1 0.5 S2 T 501 g"},
        {close(-1), "CloseOrder 100 1.2 2 -1 -1 0.5 S2 T 501 g"},
        {id(&M::NewLimitOrderResultRecieved, -2), "NewLimit 1 -2 T g"},
        {id(&M::NewLimitOrderResultRecieved, -50), "NewLimit 4 0 T g"},
        {id(&M::UpdateLimitOrderResultRecieved, -1), "UpdateLimit 10 0 T g"},
        {id(&M::UpdateLimitOrderResultRecieved, -3), "UpdateLimit 1 -3 T g"},
        {id(&M::NewSLTPOrderResultRecieved, -5), "NewSLTP 3 0 T g"},
        {id(&M::NewSLTPOrderResultRecieved, -3), "NewSLTP 6 0 T g"},
        {id(&M::NewSLTPOrderResultRecieved, -1), "NewSLTP 11 0 T g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -4), "UpdateSLTP 10 0 T g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -3), "UpdateSLTP 12 0 T g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -6), "UpdateSLTP 1 -6 T g"},
        {text(&M::DeleteLimitOrderResultRecieved, "1"), "DeleteLimit 1 7,8 g"},
        {text(&M::DeleteLimitOrderResultRecieved, "0"), "DeleteLimit 10 7,8 g"},
        {text(&M::DeleteLimitOrderResultRecieved, "-5,-5"), "DeleteLimit 1 7,8 g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "0"), "DeleteSLTP 1 7,8 g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "-3"), "DeleteSLTP 10 7,8 g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "-2"), "DeleteSLTP 12 7,8 g"},
        {pos("12,13"), "NewPos 1"},
        {pos("-5"), "NewPos 3"},
        {pos("-9"), "NewPos 1"},
        {closePos(0), "ClosePos 9 77"},
        {closePos(-12), "ClosePos 7 77"},
        {closePos(-11), "ClosePos 1 77"},
    };
    TradingSession s;
    EventLog log;
    WatchResults(log, *s.manager);
    for (const auto& [call, line] : rows) {
        call(*s.manager);
        EXPECT_EQ(log.Take(), std::vector<std::string>{line});
    }
    s.manager->Reset();  // without a selection the market answers raise nothing
    order(7)(*s.manager);
    close(7)(*s.manager);
    EXPECT_TRUE(log.Take().empty());
}

TEST(CommandResults, OrderStatusRaisesByKindAndStatusForTheSelectedAccountOnly) {
    const auto market = G::MarketOrderType, limit = G::LimitOrderType, slTp = G::SLOrderType;
    const struct {
        G::MarketOrLimitOrderEnum kind;
        int16_t status;
        G::OperationTypeEnum side;
        int32_t account, symbol;
        std::string event;
    } rows[] = {
        {market, 20, G::BuyType, 100, 2, "MarketAccepted 100 9 55 1 0.3 S2 1.25 1 1.23"},
        {market, 120, G::SellType, 100, 2, "MarketAccepted 100 9 55 -1 0.3 S2 1.24 1 1.22"},
        {market, 119, G::BuyType, 100, 2, "MarketAccepted 100 9 55 1 0.3 S2 1.25 2 1.23"},
        {market, 21, G::BuyType, 100, 2, "MarketRejected 9 1 0.3 S2 1.25 1"},
        {market, 130, G::SellType, 100, 2, "MarketRejected 9 -1 0.3 S2 1.24 1"},
        {limit, 5, G::BuyType, 100, 2, "LimitAccepted 100 9 55 1 0.3 S2"},
        {limit, -2, G::BuyType, 100, 2, "LimitNoMoney 100 9 55 1 0.3 S2"},
        {limit, -4, G::SellType, 100, 2, "LimitCannotHdg 100 9 55 -1 0.3 S2"},
        {limit, 3, G::BuyType, 100, 2, ""},
        {slTp, 1, G::BuyType, 100, 2, "SlTpAccepted 100 9 55"},
        {slTp, 0, G::BuyType, 100, 2, "SlTpNoMoney 100 9 55"},
        {G::TPOrderType, 1, G::BuyType, 100, 2, ""},
        {market, 20, G::BuyType, 102, 2, ""},   // another account
        {market, 20, G::BuyType, 100, 99, ""},  // no client parameter
    };
    TradingSession s;
    EventLog log;
    WatchResults(log, *s.manager);
    for (const auto& r : rows) {
        s.manager->OrderStatusChanged(10, r.account, r.kind, 9, r.status, 55, 0, "t", 1.25, 1.24,
                                      0.3, r.symbol, 1.23, 1.22, r.side);
        EXPECT_EQ(log.Take(),
                  r.event.empty() ? std::vector<std::string>{} : std::vector<std::string>{r.event});
    }
    runtime::ScopedConnection failing = s.manager->MarketOrderAccepted.Connect(
        [](auto&&...) { throw runtime::Error(5, "handler broke"); });
    s.manager->OrderStatusChanged(10, 100, market, 9, 20, 55, 0, "t", 1, 1, 1, 2, 1, 1, G::BuyType);
    EXPECT_EQ(s.LogLines(),
              std::vector<std::string>{"error in OrderStatusChanged: handler broke order 9"});
}

}  // namespace
