#include "tests/support/clientapi/ViewFactory.h"

#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CCurAccount.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "general/model/MModelItems.h"
#include "runtime/Error.h"

namespace testsupport {

using namespace OrbanelGeneral10;
using OrbanexClientAPI10::COOpenPosition;
using OrbanexClientAPI10::COOrder;
using OrbanexClientAPI10::COSymbol;
using runtime::Variant;

ViewFactory::ViewFactory()
    : symbols_(std::make_shared<CSymbols>()), engine_(std::make_shared<CAccountsTransactions>()) {
    engine_->InitializeNeededData(symbols_, CLIENT_SIDE_EXECUTION, ON_OPEN_TYPE, 1);
    AddSymbol({1, "USD", -4, 1, 1, runtime::Null, 1});
    CAccountsTransactions::NewClientArgs c;
    c.cl_no = Variant(kClientID);
    c.theSpread = Variant("");
    c.ParentID = runtime::Null;
    c.vClientType = CLIENT_TYPE;
    c.LiqType = EQUITY_LIQUIDATION;
    c.FirstName = "View";
    c.LastName = "Factory";
    c.Username = "viewfactory";
    client_ = engine_->AddNewClient(c);
    CAccountsTransactions::NewAccountArgs a;
    a.cl_no = Variant(kClientID);
    a.acc_no = Variant(kAccountID);
    a.accType = Variant(int32_t{NormalAccountType});
    a.demoAcc = Variant(int32_t{0});
    a.TotDep = Variant(10000.0);
    a.Loading = true;
    account_ = engine_->AddNewAccount(a);
    if (!client_ || !account_) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    client_->InitializeParams(symbols_, 1);
}

ViewFactory::~ViewFactory() {
    engine_->Unload();
    for (const auto& symbol : symbols_->NewEnum()) {
        symbol->setRef2(nullptr);
        symbol->setRef3(nullptr);
    }
    symbols_->ClearSymbols();
}

void ViewFactory::AddSymbol(const SymbolValues& v) {
    CSymbols::AddArgs a;
    a.Spread = Variant("");
    a.TickPips = Variant(0.0);
    a.RefPriceCase = Variant(int16_t{1});
    a.PriceCase = Variant(int16_t{1});
    a.Factor = Variant(v.contractSize);
    a.LastQuteTime = Variant(v.quoteTime);
    a.Low = Variant(v.bid);
    a.High = Variant(v.ask);
    a.Bid = Variant(v.bid);
    a.Ask = Variant(v.ask);
    a.isDisplay = true;
    a.isUsed = true;
    a.RefID = Variant(int32_t{1});
    a.PipLocation = Variant(v.pipLocation);
    a.name = Variant(v.name);
    a.ID = Variant(v.id);
    a.OpenDay = "SUNDAY";
    a.OpenTime = "00:00";
    a.CloseDay = "SUNDAY";
    a.CloseTime = "00:00";
    a.GiveQuoteHL = true;
    a.Ref1 = std::make_shared<CCurAccount>();
    if (!symbols_->Item(std::to_string(v.id)) && symbols_->Add(a)) {
        symbols_->SetSymbolsRefSymbols();
        return;
    }
    throw runtime::Error(runtime::errc::DuplicateKey, "symbol not added");
}

std::shared_ptr<COSymbol> ViewFactory::Symbol(const SymbolValues& v) {
    AddSymbol(v);
    client_->InitializeParams(symbols_, 1);
    engine_->SetParamsRefParams();
    modelitems::Follow(client_->SymbolParam(v.id)).setSpread(v.spread);
    auto view = std::make_shared<COSymbol>();
    view->setSymbolParam(client_->SymbolParam(v.id));
    view->setCommCalcType(engine_->CommCalcType());
    return view;
}

std::shared_ptr<COOpenPosition> ViewFactory::Position(const PositionValues& v) {
    auto pos =
        engine_->AddNewOpenPosition(Variant(kClientID), Variant(kAccountID), Variant(v.ticket),
                                    Variant(v.symbol), Variant(v.lots), Variant(v.price),
                                    Variant(int32_t{v.side}), Variant(v.interest), v.time, false);
    auto view = std::make_shared<COOpenPosition>();
    modelitems::Follow(pos);
    view->setOpenPos(pos);
    view->setCommCalcType(engine_->CommCalcType());
    return view;
}

std::shared_ptr<COOrder> ViewFactory::Order(const OrderValues& v) {
    CAccountsTransactions::NewOrderArgs a;
    a.cl_no = kClientID;
    a.acc_no = kAccountID;
    a.OrderId = v.id;
    a.OrderType = v.type;
    a.operationType = v.side;
    a.IoID = v.ticket;
    a.lots = v.lots;
    a.cur_no = v.symbol;
    a.LimitPrice = v.price;
    a.slPrice = v.sl;
    a.tpPrice = v.tp;
    a.Status = 0;
    a.OrderTime = v.time;
    auto order = engine_->AddNewOrder(a);
    auto view = std::make_shared<COOrder>();
    modelitems::Follow(order);
    view->setOrder(order);
    return view;
}

void ViewFactory::Quote(int32_t symbolId, double bid, double ask) {
    auto symbol = symbols_->Item(std::to_string(symbolId));
    modelitems::Follow(symbol);
    symbol->setBid(bid);
    symbol->setAsk(ask);
    engine_->DealWithChangedSymbolPrices(symbol);
}

}  // namespace testsupport
