// Command results and order status: return codes, order IDs, the events and
// the symbol view they carry.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "clientapi/facade/COSymbol.h"
#include "tests/clientapi/facade/TradingSession.h"

namespace {

using namespace OrbanexClientAPI10;
using testsupport::TradingSession;

constexpr auto kBuy = OrbanelGeneral10::BuyType;
constexpr auto kSell = OrbanelGeneral10::SellType;

// The events of the result members, one line each.
class ResultLog {
public:
    explicit ResultLog(CAccountsManager& m) {
        auto idLine = [this](const char* name) {
            return [this, name](NewOrderResultEnum r, int32_t id, const std::string& time,
                                const std::string& tag) {
                Add(name, {r, id}, time + "," + tag);
            };
        };
        auto listLine = [this](const char* name) {
            return [this, name](NewOrderResultEnum r, const std::string& ids,
                                const std::string& tag) { Add(name, {r}, ids + "," + tag); };
        };
        c_.emplace_back(
            m.NewOrderResult.Connect([this](NewOrderResultEnum r, double price, int16_t pos,
                                            int32_t id, OrbanelGeneral10::OperationTypeEnum side,
                                            double lots, const std::shared_ptr<COSymbol>& sym,
                                            const std::string& time, const std::string& tag) {
                Add("NewOrderResult", {r, id, pos, side},
                    Num(price) + "," + Num(lots) + ",S" + std::to_string(sym->ID()) + "," + time +
                        "," + tag);
            }));
        c_.emplace_back(m.CloseOrderResult.Connect([this](NewOrderResultEnum r, double, int16_t,
                                                          int32_t id,
                                                          OrbanelGeneral10::OperationTypeEnum,
                                                          double,
                                                          const std::shared_ptr<COSymbol>& sym,
                                                          const std::string&, int32_t ticket,
                                                          const std::string& tag) {
            Add("CloseOrderResult", {r, id, ticket}, "S" + std::to_string(sym->ID()) + "," + tag);
        }));
        c_.emplace_back(m.NewLimitOrderResult.Connect(idLine("NewLimitOrderResult")));
        c_.emplace_back(m.UpdateLimitOrderResult.Connect(idLine("UpdateLimitOrderResult")));
        c_.emplace_back(m.NewSLTPOrderResult.Connect(idLine("NewSLTPOrderResult")));
        c_.emplace_back(m.UpdateSLTPOrderResult.Connect(idLine("UpdateSLTPOrderResult")));
        c_.emplace_back(m.DeleteLimitOrderResult.Connect(listLine("DeleteLimitOrderResult")));
        c_.emplace_back(m.DeleteSLTPOrderResult.Connect(listLine("DeleteSLTPOrderResult")));
        c_.emplace_back(
            m.NewPosResult.Connect([this](NewOrderResultEnum r) { Add("NewPosResult", {r}); }));
        c_.emplace_back(m.ClosePosResult.Connect([this](NewOrderResultEnum r, int32_t t) {
            Add("ClosePosResult", {r, t});
        }));
        c_.emplace_back(m.MarketOrderAccepted.Connect(
            [this](int32_t acc, int32_t id, int32_t ticket,
                   OrbanelGeneral10::OperationTypeEnum side, double lots,
                   const std::shared_ptr<COSymbol>& sym, double price,
                   OrbanelGeneral10::NewOrLiquidateEnum kind, double requested) {
                Add("MarketOrderAccepted", {acc, id, ticket, side, kind},
                    Num(lots) + ",S" + std::to_string(sym->ID()) + "," + Num(price) + "," +
                        Num(requested));
            }));
        c_.emplace_back(m.MarketOrderRejected.Connect(
            [this](int32_t id, OrbanelGeneral10::OperationTypeEnum side, double lots,
                   const std::shared_ptr<COSymbol>& sym, double price,
                   OrbanelGeneral10::NewOrLiquidateEnum kind) {
                Add("MarketOrderRejected", {id, side, kind},
                    Num(lots) + ",S" + std::to_string(sym->ID()) + "," + Num(price));
            }));
        auto limitLine = [this](const char* name) {
            return [this, name](int32_t acc, int32_t id, int32_t ticket,
                                OrbanelGeneral10::OperationTypeEnum side, double lots,
                                const std::shared_ptr<COSymbol>& sym) {
                Add(name, {acc, id, ticket, side}, Num(lots) + ",S" + std::to_string(sym->ID()));
            };
        };
        c_.emplace_back(m.LimitOrderAccepted.Connect(limitLine("LimitOrderAccepted")));
        c_.emplace_back(
            m.LimitOrderCanceledNoMoney.Connect(limitLine("LimitOrderCanceledNoMoney")));
        c_.emplace_back(
            m.LimitOrderCanceledCannotHdg.Connect(limitLine("LimitOrderCanceledCannotHdg")));
        auto slTpLine = [this](const char* name) {
            return [this, name](int32_t acc, int32_t id, int32_t ticket) {
                Add(name, {acc, id, ticket});
            };
        };
        c_.emplace_back(m.SlTpOrderAccepted.Connect(slTpLine("SlTpOrderAccepted")));
        c_.emplace_back(m.SlTpOrderCanceledNoMoney.Connect(slTpLine("SlTpOrderCanceledNoMoney")));
    }

    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(lines_);
        return out;
    }

private:
    static std::string Num(double v) { return runtime::NumberToText(v); }
    void Add(const char* name, std::initializer_list<int64_t> ints, const std::string& rest = "") {
        std::string line = name;
        for (int64_t i : ints) line += " " + std::to_string(i);
        if (!rest.empty()) line += " " + rest;
        lines_.push_back(line);
    }
    std::vector<std::string> lines_;
    std::vector<runtime::ScopedConnection> c_;
};

TEST(CommandResults, ReturnCodesMapOntoResultsWithTheirOrderIds) {
    using M = CAccountsManager;
    auto order = [](int32_t ret) {
        return [ret](M& m) { m.NewOrderResultRecieved(ret, 1, "T", 0.3, kBuy, 1.2, 2, "g"); };
    };
    auto close = [](int32_t ret) {
        return [ret](M& m) {
            m.CloseOrderResultRecieved(ret, 2, "T", 10, 100, 501, 0.5, kSell, 1.2, 2, "g");
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
    auto newPos = [](const char* ret) { return [ret](M& m) { m.NewPosResultRecieved(ret, "T"); }; };
    auto closePos = [](int32_t ret) {
        return [ret](M& m) { m.ClosePosResultRecieved(ret, "T", 77); };
    };
    const struct {
        std::function<void(M&)> call;
        std::string event;
    } rows[] = {
        {order(7), "NewOrderResult 1 7 1 1 1.2,0.3,S2,T,g"},
        {order(0), "NewOrderResult 100 0 1 1 1.2,0.3,S2,T,g"},
        {order(-3), "NewOrderResult 100 -3 1 1 1.2,0.3,S2,T,g"},
        {order(-51), "NewOrderResult 5 -51 1 1 1.2,0.3,S2,T,g"},
        {order(-50), "NewOrderResult 4 -50 1 1 1.2,0.3,S2,T,g"},
        {order(-5), "NewOrderResult 3 -5 1 1 1.2,0.3,S2,T,g"},
        {order(-4), "NewOrderResult 13 -4 1 1 1.2,0.3,S2,T,g"},
        {order(-2), "NewOrderResult 2 -2 1 1 1.2,0.3,S2,T,g"},
        {close(-12), "CloseOrderResult 8 -12 501 S2,g"},
        {close(-11), "CloseOrderResult 7 -11 501 S2,g"},
        {close(-10), "CloseOrderResult 6 -10 501 S2,g"},
        {close(-1), "CloseOrderResult 100 -1 501 S2,g"},
        {close(3), "CloseOrderResult 1 3 501 S2,g"},
        {id(&M::NewLimitOrderResultRecieved, -2), "NewLimitOrderResult 1 -2 T,g"},
        {id(&M::NewLimitOrderResultRecieved, -5), "NewLimitOrderResult 3 0 T,g"},
        {id(&M::NewLimitOrderResultRecieved, -51), "NewLimitOrderResult 5 0 T,g"},
        {id(&M::NewLimitOrderResultRecieved, 9), "NewLimitOrderResult 1 9 T,g"},
        {id(&M::UpdateLimitOrderResultRecieved, -1), "UpdateLimitOrderResult 10 0 T,g"},
        {id(&M::UpdateLimitOrderResultRecieved, -2), "UpdateLimitOrderResult 10 0 T,g"},
        {id(&M::UpdateLimitOrderResultRecieved, -3), "UpdateLimitOrderResult 1 -3 T,g"},
        {id(&M::NewSLTPOrderResultRecieved, -5), "NewSLTPOrderResult 3 0 T,g"},
        {id(&M::NewSLTPOrderResultRecieved, -3), "NewSLTPOrderResult 6 0 T,g"},
        {id(&M::NewSLTPOrderResultRecieved, -2), "NewSLTPOrderResult 9 0 T,g"},
        {id(&M::NewSLTPOrderResultRecieved, -1), "NewSLTPOrderResult 11 0 T,g"},
        {id(&M::NewSLTPOrderResultRecieved, -4), "NewSLTPOrderResult 1 -4 T,g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -4), "UpdateSLTPOrderResult 10 0 T,g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -3), "UpdateSLTPOrderResult 12 0 T,g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -2), "UpdateSLTPOrderResult 9 0 T,g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -1), "UpdateSLTPOrderResult 10 0 T,g"},
        {id(&M::UpdateSLTPOrderResultRecieved, -6), "UpdateSLTPOrderResult 1 -6 T,g"},
        {text(&M::DeleteLimitOrderResultRecieved, "1"), "DeleteLimitOrderResult 1 7,8,g"},
        {text(&M::DeleteLimitOrderResultRecieved, "0"), "DeleteLimitOrderResult 10 7,8,g"},
        {text(&M::DeleteLimitOrderResultRecieved, "-5"), "DeleteLimitOrderResult 3 7,8,g"},
        {text(&M::DeleteLimitOrderResultRecieved, "-5,-5"), "DeleteLimitOrderResult 1 7,8,g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "0"), "DeleteSLTPOrderResult 1 7,8,g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "-4"), "DeleteSLTPOrderResult 10 7,8,g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "-3"), "DeleteSLTPOrderResult 10 7,8,g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "-2"), "DeleteSLTPOrderResult 12 7,8,g"},
        {text(&M::DeleteSLTPOrderResultRecieved, "-5"), "DeleteSLTPOrderResult 3 7,8,g"},
        {newPos("12,13"), "NewPosResult 1"},
        {newPos("-2"), "NewPosResult 2"},
        {newPos("-5"), "NewPosResult 3"},
        {newPos("-9"), "NewPosResult 1"},
        {closePos(0), "ClosePosResult 9 77"},
        {closePos(-12), "ClosePosResult 7 77"},
        {closePos(-10), "ClosePosResult 6 77"},
        {closePos(-5), "ClosePosResult 3 77"},
        {closePos(-2), "ClosePosResult 2 77"},
        {closePos(-11), "ClosePosResult 1 77"},
    };
    TradingSession s;
    ResultLog log(*s.manager);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.event);
        row.call(*s.manager);
        EXPECT_EQ(log.Take(), std::vector<std::string>{row.event});
    }
    // Without a selection the market answers raise nothing and fail nothing.
    s.manager->Reset();
    order(7)(*s.manager);
    close(7)(*s.manager);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_TRUE(s.Sent().empty());
}

TEST(CommandResults, OrderStatusRaisesByKindAndStatusForTheSelectedAccountOnly) {
    using OrbanelGeneral10::MarketOrLimitOrderEnum;
    const auto market = OrbanelGeneral10::MarketOrderType;
    const auto limit = OrbanelGeneral10::LimitOrderType;
    const auto slTp = OrbanelGeneral10::SLOrderType;
    const struct {
        MarketOrLimitOrderEnum kind;
        int16_t status;
        OrbanelGeneral10::OperationTypeEnum side;
        int32_t account, symbol;
        std::string event;  // "" for none
    } rows[] = {
        {market, 20, kBuy, 100, 2, "MarketOrderAccepted 100 9 55 1 1 0.3,S2,1.25,1.23"},
        {market, 120, kSell, 100, 2, "MarketOrderAccepted 100 9 55 -1 1 0.3,S2,1.24,1.22"},
        {market, 19, kBuy, 100, 2, "MarketOrderAccepted 100 9 55 1 2 0.3,S2,1.25,1.23"},
        {market, 119, kBuy, 100, 2, "MarketOrderAccepted 100 9 55 1 2 0.3,S2,1.25,1.23"},
        {market, 21, kBuy, 100, 2, "MarketOrderRejected 9 1 1 0.3,S2,1.25"},
        {market, -4, kSell, 100, 2, "MarketOrderRejected 9 -1 1 0.3,S2,1.24"},
        {market, 130, kBuy, 100, 2, "MarketOrderRejected 9 1 1 0.3,S2,1.25"},
        {limit, 5, kBuy, 100, 2, "LimitOrderAccepted 100 9 55 1 0.3,S2"},
        {limit, -2, kBuy, 100, 2, "LimitOrderCanceledNoMoney 100 9 55 1 0.3,S2"},
        {limit, -4, kSell, 100, 2, "LimitOrderCanceledCannotHdg 100 9 55 -1 0.3,S2"},
        {limit, 3, kBuy, 100, 2, ""},
        {slTp, 1, kBuy, 100, 2, "SlTpOrderAccepted 100 9 55"},
        {slTp, 0, kBuy, 100, 2, "SlTpOrderCanceledNoMoney 100 9 55"},
        {OrbanelGeneral10::TPOrderType, 1, kBuy, 100, 2, ""},
        {market, 20, kBuy, 102, 2, ""},   // another account
        {market, 20, kBuy, 100, 99, ""},  // no client parameter for the symbol
    };
    TradingSession s;
    ResultLog log(*s.manager);
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.kind << "/" << row.status << " acc " << row.account);
        s.manager->OrderStatusChanged(10, row.account, row.kind, 9, row.status, 55, 0, "t", 1.25,
                                      1.24, 0.3, row.symbol, 1.23, 1.22, row.side);
        const std::vector<std::string> expected =
            row.event.empty() ? std::vector<std::string>{} : std::vector{row.event};
        EXPECT_EQ(log.Take(), expected);
    }
    EXPECT_TRUE(s.Sent().empty());
    // A failure inside is logged with the order and ends the call quietly.
    runtime::ScopedConnection failing = s.manager->MarketOrderAccepted.Connect(
        [](auto&&...) { throw runtime::Error(5, "handler broke"); });
    s.manager->OrderStatusChanged(10, 100, market, 9, 20, 55, 0, "t", 1, 1, 1, 2, 1, 1, kBuy);
    EXPECT_EQ(s.LogLines(),
              std::vector<std::string>{"error in OrderStatusChanged: handler broke order 9"});
}

}  // namespace
