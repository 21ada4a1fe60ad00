#pragma once
// One accounts manager over a data client that never connects, its requests
// recorded, with a small model: office 5 ("office") holding client 10
// ("alice", accounts 100 and 101, 101 locked) and client 11 ("bob", account
// 102); symbols 2 (EURUSD, PipLocation -4, bid 1.2000, ask 1.2003) and 3
// (not in use); for alice in symbol 2 lots 0.1 to 10 and offsets limit 20,
// stop 10 pips; account 100 holds buy position 500 (1 lot), sell position
// 501 (0.5), buy-limit order 700 at 1.1950 and SL/TP order 701 on 500.
// Account 100 is selected; the log lands in the folder's logs/log.txt.
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/dataclient/CSecurity.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClients.h"
#include "general/model/CCurAccount.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "general/model/MModelItems.h"
#include "platform/Timer.h"
#include "runtime/Variant.h"
#include "tests/support/DataClientProbe.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/TempProgramFolder.h"

namespace testsupport {

class TradingSession {
public:
    static constexpr int32_t kEurUsd = 2, kUnused = 3;

    TradingSession() {
        std::filesystem::create_directories(folder.Path() / "logs");
        client->setSecurityRef(security);
        DivertRequests(*client, recorder);
        manager->SetRefs(symbolsManager, client, security);
        symbolsManager->setLastTickTime("12:00:00");
        AddSymbol(1, "USD", true);
        AddSymbol(kEurUsd, "EURUSD", true);
        AddSymbol(kUnused, "OFFLINE", false);
        AddClient(5, runtime::Null, OrbanelGeneral10::OFFICE_TYPE, "office");
        AddClient(10, 5, OrbanelGeneral10::CLIENT_TYPE, "alice");
        AddClient(11, 5, OrbanelGeneral10::CLIENT_TYPE, "bob");
        AddAccount(10, 100, false);
        AddAccount(10, 101, true);
        AddAccount(11, 102, false);
        engine().Clients()->InitializeParams(symbolsManager->Symbols(), 1);
        engine().SetParamsRefParams();
        for (int32_t clientId : {10, 11}) {
            auto& p = Param(clientId, kEurUsd);
            p.setMinLots(0.1);
            p.setMaxLots(10);
            p.setLimitOffset(20);
            p.setStopOffset(10);
        }
        engine().AddNewOpenPosition(10, 100, 500, kEurUsd, 1.0, 1.19, 1, 0.0, "10:00:00", true);
        engine().AddNewOpenPosition(10, 100, 501, kEurUsd, 0.5, 1.21, -1, 0.0, "10:00:00", true);
        AddOrder(700, OrbanelGeneral10::LimitOrdersType, OrbanelGeneral10::BuyType, 0, 1.195, 1.19,
                 1.21);
        AddOrder(701, OrbanelGeneral10::SlTpType, OrbanelGeneral10::SellType, 500, 0, 1.18, 1.22);
        manager->SelectAccount(100);
        recorder.Take();
    }

    ~TradingSession() { manager.reset(); }

    OrbanelGeneral10::CAccountsTransactions& engine() { return *manager->AccountsTransactions(); }
    OrbanelGeneral10::CClientParam& Param(int32_t clientId, int32_t symbolId) {
        auto c = engine().Clients()->Item(std::to_string(clientId));
        return OrbanelGeneral10::modelitems::Follow(
            OrbanelGeneral10::modelitems::Follow(c).SymbolParam(symbolId));
    }
    OrbanelGeneral10::CSymbol& Symbol(int32_t id) {
        return OrbanelGeneral10::modelitems::Follow(
            symbolsManager->Symbols()->Item(std::to_string(id)));
    }
    std::shared_ptr<OrbanelGeneral10::CAccount> Account(int32_t id) {
        return engine().AccountByAccountID(id);
    }
    // The requests sent since the last call.
    std::vector<std::string> Sent() { return recorder.Take(); }
    // The lines of logs/log.txt, without their time stamps.
    std::vector<std::string> LogLines() const {
        std::ifstream in(folder.Path() / "logs" / "log.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t cut = line.find(" : ");
            lines.push_back(cut == std::string::npos ? line : line.substr(cut + 3));
        }
        return lines;
    }

    TempProgramFolder folder{"trading"};
    platform::ScopedVirtualTime time;
    RequestRecorder recorder;
    std::shared_ptr<OrbanexClientAPI10::CSymbolsManager> symbolsManager =
        std::make_shared<OrbanexClientAPI10::CSymbolsManager>();
    std::shared_ptr<OrbanexClientAPI10::CDataClient> client =
        std::make_shared<OrbanexClientAPI10::CDataClient>();
    std::shared_ptr<OrbanexClientAPI10::CSecurity> security =
        std::make_shared<OrbanexClientAPI10::CSecurity>();
    std::shared_ptr<OrbanexClientAPI10::CAccountsManager> manager =
        std::make_shared<OrbanexClientAPI10::CAccountsManager>();

private:
    void AddSymbol(int32_t id, const std::string& name, bool used) {
        OrbanelGeneral10::CSymbols::AddArgs a;
        a.Spread = runtime::Variant("");
        a.TickPips = runtime::Variant(1.0);
        a.RefPriceCase = runtime::Variant(int16_t{1});
        a.PriceCase = runtime::Variant(int16_t{1});
        a.Factor = runtime::Variant(100000.0);
        a.LastQuteTime = runtime::Variant("11:59:58");
        a.Bid = runtime::Variant(1.2);
        a.Ask = runtime::Variant(1.2003);
        a.Low = a.Bid;
        a.High = a.Ask;
        a.isDisplay = true;
        a.isUsed = used;
        a.RefID = runtime::Variant(int32_t{1});
        a.PipLocation = runtime::Variant(int16_t{-4});
        a.name = runtime::Variant(name);
        a.ID = runtime::Variant(id);
        a.OpenDay = "SUNDAY";
        a.OpenTime = "00:00";
        a.CloseDay = "SUNDAY";
        a.CloseTime = "00:00";
        a.Ref1 = std::make_shared<OrbanelGeneral10::CCurAccount>();
        symbolsManager->Symbols()->Add(a);
        symbolsManager->Symbols()->SetSymbolsRefSymbols();
    }
    void AddClient(int32_t id, runtime::Variant parent, OrbanelGeneral10::ClientTypeEnum type,
                   const std::string& username) {
        OrbanelGeneral10::CAccountsTransactions::NewClientArgs c;
        c.cl_no = id;
        c.theSpread = runtime::Variant("");
        c.ParentID = parent;
        c.vClientType = type;
        c.LiqType = OrbanelGeneral10::EQUITY_LIQUIDATION;
        c.FirstName = username;
        c.Username = username;
        engine().AddNewClient(c);
    }
    void AddAccount(int32_t clientId, int32_t id, bool locked) {
        OrbanelGeneral10::CAccountsTransactions::NewAccountArgs a;
        a.cl_no = clientId;
        a.acc_no = id;
        a.accType = int32_t{OrbanelGeneral10::NormalAccountType};
        a.demoAcc = int32_t{0};
        a.TotDep = 10000.0;
        a.Locked = locked;
        a.Loading = true;
        engine().AddNewAccount(a);
    }
    void AddOrder(int32_t id, OrbanelGeneral10::OrdersTypeEnum type,
                  OrbanelGeneral10::OperationTypeEnum side, int32_t ticket, double price, double sl,
                  double tp) {
        OrbanelGeneral10::CAccountsTransactions::NewOrderArgs a;
        a.cl_no = 10;
        a.acc_no = 100;
        a.OrderId = id;
        a.OrderType = type;
        a.operationType = side;
        a.IoID = ticket;
        a.lots = 1;
        a.cur_no = kEurUsd;
        a.LimitPrice = price;
        a.slPrice = sl;
        a.tpPrice = tp;
        a.Status = 0;
        a.OrderTime = "10:00:00";
        engine().AddNewOrder(a);
    }
};

}  // namespace testsupport
