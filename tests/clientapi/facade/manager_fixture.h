#pragma once
// One client API session's trading state without a server: a symbols
// manager, a data client that never connects (its requests recorded), the
// privileges and an accounts manager wired as the public object wires them,
// with builders for the server's rows and a log of the manager's events.
#include <memory>
#include <string>
#include <vector>

#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/dataclient/CSecurity.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/common/CGenerals.h"
#include "general/common/MGenerals.h"
#include "runtime/Convert.h"
#include "tests/support/DataClientProbe.h"
#include "tests/support/TempProgramFolder.h"

namespace managerfixture {

namespace api = OrbanexClientAPI10;
namespace og = OrbanelGeneral10;
using Rows = std::vector<std::vector<std::string>>;
using Names = std::vector<std::string>;

// A symbols-answer row: 34 cells, pip location -4, contract 100000,
// reference symbol 1 (the account currency).
inline std::vector<std::string> SymbolRow(const std::string& id, const std::string& name,
                                          const std::string& bid = "1.2000",
                                          const std::string& ask = "1.2002",
                                          const std::string& used = "1") {
    std::vector<std::string> r(34, "0");
    r[0] = id;
    r[1] = name;
    r[2] = "1";
    r[3] = "-4";
    r[4] = "1";
    r[5] = used;
    r[6] = ask;
    r[7] = bid;
    r[8] = "10:00:00";
    r[9] = ask;
    r[10] = bid;
    r[11] = "100000";
    r[12] = "1";
    r[13] = "1";
    r[30] = "";
    return r;
}

inline std::vector<std::string> ClientRow(int32_t id, const std::string& user,
                                          const std::string& first = "Ann") {
    return {std::to_string(id), "", "", "", "", "", first, "B", "C", "D", "1", user};
}

inline std::vector<std::string> AccountRow(int32_t client, int32_t account) {
    return {std::to_string(client), std::to_string(account), "1", "0", "", "0"};
}

// An open-positions-answer row (14 cells).
inline std::vector<std::string> PositionRow(int32_t client, int32_t account, int32_t ticket,
                                            int32_t symbol, double lots, double price,
                                            const std::string& side = "Buy") {
    std::vector<std::string> r(14, "0");
    r[0] = std::to_string(client);
    r[1] = std::to_string(account);
    r[2] = std::to_string(ticket);
    r[3] = "09/12/2026 10:00:00";
    r[4] = side;
    r[5] = runtime::NumberToText(lots);
    r[6] = std::to_string(symbol);
    r[7] = runtime::NumberToText(price);
    return r;
}

// A pending-orders-answer row (10 cells).
inline std::vector<std::string> OrderRow(int32_t id, const std::string& kind, int32_t symbol,
                                         double price) {
    return {std::to_string(id),           "09/12/2026", "1", "1", std::to_string(symbol),
            runtime::NumberToText(price), kind,         "0", "0", "0"};
}

// A pushed position row.
inline std::string PushPosRow(int32_t client, int32_t account, int32_t ticket, int32_t symbol,
                              double lots, double price) {
    og::CGenerals g;
    return g.PosRowString(client, account, ticket, "09/12/2026 10:00:00", int32_t{og::BuyType},
                          lots, symbol, price, "", "", 0, lots, "S", 0.0, "", "");
}

inline std::string PushOrderRow(int32_t id, int32_t symbol, double price) {
    og::CGenerals g;
    return g.OrderRowString(id, "09/12/2026 10:00:00", 1, 1.0, symbol, price, "LO", 0, 0.0, 0.0, 0,
                            "");
}

struct Session {
    testsupport::TempProgramFolder folder{"clientapi"};
    std::shared_ptr<api::CSymbolsManager> symbols = std::make_shared<api::CSymbolsManager>();
    std::shared_ptr<api::CDataClient> client = std::make_shared<api::CDataClient>();
    std::shared_ptr<api::CSecurity> security = std::make_shared<api::CSecurity>();
    std::shared_ptr<api::CAccountsManager> manager = std::make_shared<api::CAccountsManager>();
    testsupport::RequestRecorder requests;
    // "Event detail" lines in the order raised.
    Names events;
    Names messages;
    // Run inside PosFloatingPLChanged, after recording.
    std::function<void(const api::COOpenPosition&)> onFloating;
    std::vector<runtime::ScopedConnection> links;

    Session() {
        testsupport::DivertRequests(*client, requests);
        manager->SetRefs(symbols, client, security);
        og::SetMessageNotifier([this](const std::string& text) { messages.push_back(text); });
        Attach();
    }
    ~Session() { og::SetMessageNotifier(nullptr); }

    void Attach() {
        api::CAccountsManager& m = *manager;
        links.emplace_back(symbols->DealWithChangedSymbolPrices.Connect(
            [this](const auto& s) { manager->DealWithChangedSymbolPrices(s); }));
        links.emplace_back(m.SummariesChanged.Connect(
            [this](double b, double, double, double, double, double, double) {
                events.push_back("SummariesChanged " + runtime::NumberToText(b));
            }));
        auto pos = [this](const char* name) {
            return [this, name](const std::shared_ptr<api::COOpenPosition>& p) {
                events.push_back(std::string(name) + " " + std::to_string(p->Ticket()) + " " +
                                 runtime::NumberToText(p->Lots()));
                if (onFloating && std::string(name) == "PosFloatingPLChanged") onFloating(*p);
            };
        };
        links.emplace_back(m.PosFloatingPLChanged.Connect(pos("PosFloatingPLChanged")));
        links.emplace_back(m.DeleteOpenPosition.Connect(pos("DeleteOpenPosition")));
        links.emplace_back(m.UpdateOpenPosition.Connect(pos("UpdateOpenPosition")));
        links.emplace_back(m.NewOpenPosition.Connect(pos("NewOpenPosition")));
        auto order = [this](const char* name) {
            return [this, name](const std::shared_ptr<api::COOrder>& o) {
                events.push_back(std::string(name) + " " + std::to_string(o->OrderID()));
            };
        };
        links.emplace_back(m.NewPendingOrder.Connect(order("NewPendingOrder")));
        links.emplace_back(m.DeletePendingOrder.Connect(order("DeletePendingOrder")));
        links.emplace_back(m.SymbolPricesChanged.Connect([this](const auto& s) {
            events.push_back("SymbolPricesChanged " + std::to_string(s->ID()) + " " +
                             runtime::NumberToText(s->Bid()));
        }));
    }

    Names TakeEvents() {
        Names out;
        out.swap(events);
        return out;
    }

    template <class R>
    void Answer(R (api::CAccountsManager::*member)(bool, const KVClientDLL10::ResultTable&, int32_t,
                                                   int16_t),
                const Rows& rows) {
        const auto table = testsupport::Table(rows);
        (manager.get()->*member)(rows.empty(), table, static_cast<int32_t>(rows.size()),
                                 static_cast<int16_t>(table.Cells()));
    }

    // The login road up to the accounts answer: symbols 1 (the currency), 2
    // and 3; clients 7 and 8; accounts 70 and 71 of client 7, 80 of client 8.
    void Login(const std::string& privs = "5,8") {
        manager->PrivsRecieved(privs, 42, "CLIENT");
        manager->SymbolsRecieved(
            false,
            testsupport::Table({SymbolRow("1", "USD", "1", "1"), SymbolRow("2", "EURUSD"),
                                SymbolRow("3", "GBPUSD", "1.5", "1.5003")}),
            3, 34);
        Answer(&api::CAccountsManager::ClientsRecieved, {ClientRow(7, "ann"), ClientRow(8, "bob")});
        Answer(&api::CAccountsManager::AccountsRecieved,
               {AccountRow(7, 70), AccountRow(7, 71), AccountRow(8, 80)});
    }

    void Positions(const Rows& rows) {
        const auto table = testsupport::Table(rows);
        manager->OpenPositionsReceived(rows.empty(), table);
    }
    void Orders(const Rows& rows) {
        const auto table = testsupport::Table(rows);
        manager->PendingOrdersReceived(rows.empty(), table);
    }
    void Summaries(double deposit, int16_t result = 0) {
        manager->SummariesResultReceived(result, 0, 0, 0, 0, deposit, 0, 0);
    }

    std::shared_ptr<og::CSymbol> Symbol(int32_t id) const {
        return symbols->Symbols()->Item(std::to_string(id));
    }
};

}  // namespace managerfixture
