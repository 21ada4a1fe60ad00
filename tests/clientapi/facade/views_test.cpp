#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "clientapi/facade/COAccount.h"
#include "clientapi/facade/COClient.h"
#include "clientapi/facade/COOpenPosition.h"
#include "clientapi/facade/COOrder.h"
#include "clientapi/facade/COSymbol.h"
#include "clientapi/facade/COpenPosRefs.h"
#include "general/model/COpenPosition.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/clientapi/ViewFactory.h"

namespace {

using namespace OrbanexClientAPI10;
using namespace OrbanelGeneral10;
using testsupport::ErrorNumberOf;
using testsupport::ViewFactory;

// Views follow the model: a quote moves the position's close price and profit,
// the client's spread shows in Bid/Ask but not in the raw prices.
TEST(ViewFactory, ViewsShowTheModelAndFollowQuotes) {
    ViewFactory f;
    auto eur = f.Symbol({2, "EURUSD", -4, 1.1000, 1.1002, runtime::Null, 100000});
    auto gbp = f.Symbol({3, "GBPUSD", -4, 1.3000, 1.3003, 2.0, 100000});
    auto pos = f.Position({77, 2, BuyType, 1, 1.1002, 0, "09/12/2026 10:00:00"});
    auto order = f.Order({501, SlTpType, SellType, 2, 1, 0, 1.0900, 1.1100, 77, "09/12/2026"});

    EXPECT_EQ(eur->ID(), 2);
    EXPECT_EQ(eur->Name(), "EURUSD");
    EXPECT_EQ(eur->PipLoc(), -4);
    EXPECT_DOUBLE_EQ(eur->Bid(), 1.1000);
    EXPECT_DOUBLE_EQ(eur->Ask(), 1.1002);
    EXPECT_EQ(eur->RefSymbolID(), 1);
    EXPECT_DOUBLE_EQ(eur->RefSymbolBid(), 1);
    EXPECT_DOUBLE_EQ(eur->ContractSize(), 100000);
    EXPECT_EQ(eur->FormatPrice(runtime::Variant(1.2)), "1.2000");
    EXPECT_NE(gbp->Ask() - gbp->Bid(), gbp->Price(BuyType) - gbp->Price(SellType));
    EXPECT_DOUBLE_EQ(gbp->Price(BuyType), 1.3003);

    EXPECT_EQ(pos->Ticket(), 77);
    EXPECT_EQ(pos->SymbolName(), "EURUSD");
    EXPECT_DOUBLE_EQ(pos->ClosePrice(), 1.1000);
    f.Quote(2, 1.1012, 1.1014);
    EXPECT_DOUBLE_EQ(pos->ClosePrice(), 1.1012);
    EXPECT_DOUBLE_EQ(pos->FloatingProfitLoss(), 100);
    EXPECT_DOUBLE_EQ(eur->Bid(), 1.1012);

    EXPECT_EQ(order->OrderID(), 501);
    EXPECT_EQ(order->OrderType(), SlTpType);
    EXPECT_EQ(order->OrderTicket(), 77);
    EXPECT_DOUBLE_EQ(order->SL(), 1.09);
    EXPECT_DOUBLE_EQ(order->TP(), 1.11);
    EXPECT_EQ(order->SymbolID(), 2);
}

// A view read before the library points it at a model object raises 91.
TEST(Views, ReadingAViewNotYetPointedRaises91) {
    const std::vector<std::pair<std::string, std::function<void()>>> reads = {
        {"symbol id", [] { COSymbol().ID(); }},
        {"symbol bid", [] { COSymbol().Bid(); }},
        {"symbol ref bid", [] { COSymbol().RefSymbolBid(); }},
        {"position ticket", [] { COOpenPosition().Ticket(); }},
        {"position symbol", [] { COOpenPosition().SymbolID(); }},
        {"order id", [] { COOrder().OrderID(); }},
        {"account balance", [] { COAccount().Balance(); }},
        {"account names", [] { COAccount().FullName(); }},
        {"client id", [] { COClient().ClientID(); }},
    };
    for (const auto& [name, read] : reads) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ErrorNumberOf(read), 91);
    }
}

// Keyed by ticket; a duplicate raises 457 and adds nothing; misses are silent.
TEST(OpenPosRefs, KeyedByTicketWithSilentMisses) {
    auto a = std::make_shared<COpenPosition>();
    a->setTicket(5);
    auto b = std::make_shared<COpenPosition>();
    b->setTicket(-6);
    COpenPosRefs refs;
    refs.Add(a);
    refs.Add(b);
    EXPECT_EQ(ErrorNumberOf([&] { refs.Add(a); }), 457);
    EXPECT_EQ(ErrorNumberOf([&] { refs.Add(nullptr); }), 91);
    EXPECT_EQ(refs.Count(), 2);
    EXPECT_EQ(refs.Item("-6")->OpenPosRef(), b);
    EXPECT_EQ(refs.Item(1)->OpenPosRef(), a);
    EXPECT_EQ(refs.Item("7"), nullptr);
    refs.Remove("7");
    refs.Remove("5");
    EXPECT_EQ(refs.Count(), 1);
    EXPECT_EQ(refs.NewEnum().front()->OpenPosRef(), b);
}

}  // namespace
