#pragma once
// One accounts manager over a data client that never connects, its requests
// recorded, with a small model: office 5 holding client 10 ("alice":
// accounts 100 and locked 101) and client 11 ("bob": account 102); symbols
// 1, 2 (EURUSD, PipLocation -4, bid 1.2000, ask 1.2003) and 3 (not in use),
// for both clients in symbol 2 lots 0.1 to 10, offsets limit 20 and stop 10
// pips; account 100 holds buy 500 (1 lot), sell 501 (0.5), buy-limit order
// 700 at 1.1950 (SL 1.19, TP 1.21) and SL/TP order 701 (SL 1.18, TP 1.22)
// on 500. Account 100 is selected; the log is the folder's logs/log.txt.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/dataclient/CSecurity.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/COSymbol.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/model/CAccount.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClients.h"
#include "general/model/CCurAccount.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "platform/Timer.h"
#include "runtime/Convert.h"
#include "tests/support/DataClientProbe.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/TempProgramFolder.h"

namespace testsupport {

namespace G = OrbanelGeneral10;
namespace API = OrbanexClientAPI10;

inline std::string Text(double v) {
    return runtime::NumberToText(v);
}
inline std::string Text(const std::string& v) {
    return v;
}
inline std::string Text(const std::shared_ptr<API::COSymbol>& v) {
    return "S" + Text(v->ID());
}
inline std::string Text(const std::shared_ptr<API::CMOrder>& v) {
    return std::to_string(v->ID()) + ":" + std::to_string(v->CurrentTimer());
}
template <class T>
requires std::is_integral_v<T> || std::is_enum_v<T> std::string Text(T v) {
    return std::to_string(static_cast<int64_t>(v));
}

// Events as lines: the name, then each argument.
class EventLog {
public:
    template <class... A>
    void Watch(runtime::Event<A...>& event, std::string name) {
        connections_.emplace_back(event.Connect([this, name](A... args) {
            std::string line = name;
            ((line += " " + Text(args)), ...);
            lines_.push_back(line);
        }));
    }
    std::vector<std::string> Take() { return std::exchange(lines_, {}); }

private:
    std::vector<std::string> lines_;
    std::vector<runtime::ScopedConnection> connections_;
};

class TradingSession {
public:
    TradingSession() {
        std::filesystem::create_directories(folder.Path() / "logs");
        client->setSecurityRef(security);
        DivertRequests(*client, recorder);
        manager->SetRefs(symbolsManager, client, security);
        symbolsManager->setLastTickTime("12:00:00");
        for (int32_t id : {1, 2, 3}) AddSymbol(id, id != 3);
        AddClient(5, runtime::Null, G::OFFICE_TYPE, "office");
        AddClient(10, 5, G::CLIENT_TYPE, "alice");
        AddClient(11, 5, G::CLIENT_TYPE, "bob");
        AddAccount(10, 100, false);
        AddAccount(10, 101, true);
        AddAccount(11, 102, false);
        engine().Clients()->InitializeParams(symbolsManager->Symbols(), 1);
        engine().SetParamsRefParams();
        for (const auto& c : {"10", "11"}) {
            G::CClientParam& p = *engine().Clients()->Item(c)->SymbolParam(2);
            p.setMinLots(0.1);
            p.setMaxLots(10);
            p.setLimitOffset(20);
            p.setStopOffset(10);
        }
        engine().AddNewOpenPosition(10, 100, 500, 2, 1.0, 1.19, 1, 0.0, "10:00:00", true);
        engine().AddNewOpenPosition(10, 100, 501, 2, 0.5, 1.21, -1, 0.0, "10:00:00", true);
        AddOrder(700, G::LimitOrdersType, G::BuyType, 0, 1.195, 1.19, 1.21);
        AddOrder(701, G::SlTpType, G::SellType, 500, 0, 1.18, 1.22);
        manager->SelectAccount(100);
        recorder.Take();
    }

    G::CAccountsTransactions& engine() { return *manager->AccountsTransactions(); }
    G::CSymbol& Symbol(int32_t id) { return *symbolsManager->Symbols()->Item(std::to_string(id)); }
    std::shared_ptr<G::CAccount> Account(int32_t id) { return engine().AccountByAccountID(id); }
    // The requests sent since the last call, the logged-in user as "U".
    std::vector<std::string> Sent() {
        std::vector<std::string> sent = recorder.Take();
        const std::string user = "|" + std::to_string(client->LoginUser());
        for (std::string& line : sent)
            for (size_t at = line.find(user); at != std::string::npos; at = line.find(user, at))
                if (std::string("|]").find(line[at + user.size()]) != std::string::npos)
                    line.replace(at, user.size(), "|U");
                else
                    ++at;
        return sent;
    }
    // The log's lines without their time stamps.
    std::vector<std::string> LogLines() const {
        std::ifstream in(folder.Path() / "logs" / "log.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (line.ends_with('\r')) line.pop_back();
            lines.push_back(line.substr(line.find(" : ") + 3));
        }
        return lines;
    }

    TempProgramFolder folder{"trading"};
    platform::ScopedVirtualTime time;
    RequestRecorder recorder;
    std::shared_ptr<API::CSymbolsManager> symbolsManager = std::make_shared<API::CSymbolsManager>();
    std::shared_ptr<API::CDataClient> client = std::make_shared<API::CDataClient>();
    std::shared_ptr<API::CSecurity> security = std::make_shared<API::CSecurity>();
    std::shared_ptr<API::CAccountsManager> manager = std::make_shared<API::CAccountsManager>();

private:
    void AddSymbol(int32_t id, bool used) {
        G::CSymbols::AddArgs a;
        a.Spread = "";
        a.TickPips = 1.0;
        a.RefPriceCase = a.PriceCase = int16_t{1};
        a.Factor = 100000.0;
        a.LastQuteTime = "11:59:58";
        a.Bid = a.Low = 1.2;
        a.Ask = a.High = 1.2003;
        a.isDisplay = true;
        a.isUsed = used;
        a.RefID = int32_t{1};
        a.PipLocation = int16_t{-4};
        a.name = "S" + std::to_string(id);
        a.ID = id;
        a.OpenDay = a.CloseDay = "SUNDAY";
        a.OpenTime = a.CloseTime = "00:00";
        a.Ref1 = std::make_shared<G::CCurAccount>();
        symbolsManager->Symbols()->Add(a);
        symbolsManager->Symbols()->SetSymbolsRefSymbols();
    }
    void AddClient(int32_t id, runtime::Variant parent, G::ClientTypeEnum type,
                   const std::string& username) {
        G::CAccountsTransactions::NewClientArgs c;
        c.cl_no = id;
        c.theSpread = "";
        c.ParentID = parent;
        c.vClientType = type;
        c.LiqType = G::EQUITY_LIQUIDATION;
        c.Username = username;
        engine().AddNewClient(c);
    }
    void AddAccount(int32_t clientId, int32_t id, bool locked) {
        G::CAccountsTransactions::NewAccountArgs a;
        a.cl_no = clientId;
        a.acc_no = id;
        a.accType = int32_t{G::NormalAccountType};
        a.demoAcc = int32_t{0};
        a.TotDep = 10000.0;
        a.Locked = locked;
        a.Loading = true;
        engine().AddNewAccount(a);
    }
    void AddOrder(int32_t id, G::OrdersTypeEnum type, G::OperationTypeEnum side, int32_t ticket,
                  double price, double sl, double tp) {
        G::CAccountsTransactions::NewOrderArgs a;
        a.cl_no = 10;
        a.acc_no = 100;
        a.OrderId = id;
        a.OrderType = type;
        a.operationType = side;
        a.IoID = ticket;
        a.lots = 1;
        a.cur_no = 2;
        a.LimitPrice = price;
        a.slPrice = sl;
        a.tpPrice = tp;
        a.OrderTime = "10:00:00";
        engine().AddNewOrder(a);
    }
};

}  // namespace testsupport
