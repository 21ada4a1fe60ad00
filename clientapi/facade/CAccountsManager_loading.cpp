// The loading road of a login and the selection of an account.
#include <algorithm>

#include "clientapi/dataclient/CClientServer.h"
#include "clientapi/dataclient/CDataClient.h"
#include "clientapi/facade/CAccountsManager.h"
#include "clientapi/facade/CSymbolsManager.h"
#include "general/model/CAccount.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CClient.h"
#include "general/model/CClientParams.h"
#include "general/model/CClients.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbol.h"
#include "general/model/MModelItems.h"
#include "runtime/Clock.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexClientAPI10 {

namespace og = OrbanelGeneral10;
using og::modelitems::Follow;
using og::modelitems::KeyText;
using runtime::Variant;

namespace {

// "Taken by value, rounded": the leading number, halves to even.
int32_t WholeVal(const std::string& cell) {
    return runtime::CLng(runtime::Val(cell));
}

// A cell compared with 1 as a number (text that is no number raises 13).
bool IsOne(const std::string& cell) {
    return runtime::CDbl(Variant(cell)) == 1;
}

int32_t Rows(const KVClientDLL10::ResultTable& data) {
    return static_cast<int32_t>(std::min<size_t>(data.Rows(), INT32_MAX));
}

}  // namespace

template <class F>
void CAccountsManager::LoadRow(const char* answer, int32_t row, F&& load) {
    try {
        load();
    } catch (const runtime::Error& e) {
        Log(std::string(answer) + " row " + std::to_string(row) + ": error " +
            std::to_string(e.Number()) + " " + e.Description());
    }
}

// ---- Symbols, clients, accounts ----

bool CAccountsManager::SymbolsRecieved(bool NoRows, const Table& DataArray, int32_t Results,
                                       int16_t Parameters) {
    return Follow(symbolsManager_).SymbolsRecieved(NoRows, DataArray, Results, Parameters);
}

void CAccountsManager::ClientsRecieved(bool /*NoRows*/, const Table& DataArray, int32_t Results,
                                       int16_t /*Parameters*/) {
    for (int32_t row = 1; row <= Results; ++row) {
        LoadRow("ClientsRecieved", row, [&] {
            auto cell = [&](size_t c) -> const std::string& { return DataArray(row, c); };
            og::CAccountsTransactions::NewClientArgs a;
            a.cl_no = Variant(cell(1));
            a.theSpread = Variant(cell(2));
            a.ParentID = Variant(cell(6));
            a.vClientType = static_cast<og::ClientTypeEnum>(WholeVal(cell(11)));
            a.vEnableInterest = false;
            a.LiqType = og::EQUITY_LIQUIDATION;
            a.LiqPoint = 0;
            a.FirstName = cell(7);
            a.SecondName = cell(8);
            a.ThirdName = cell(9);
            a.LastName = cell(10);
            a.Username = cell(12);
            a.ClientOrServer = 1;
            if (engine_->AddNewClient(a)) return;
            const auto& clients = engine_->Clients();
            if (!clients || !clients->Item(KeyText(runtime::CLng(a.cl_no))))
                throw runtime::Error(runtime::errc::ObjectVariableNotSet, "client refused");
        });
    }
}

int32_t CAccountsManager::AccountsRecieved(bool /*NoRows*/, const Table& DataArray, int32_t Results,
                                           int16_t /*Parameters*/) {
    AccountPtr first;
    int32_t loaded = 0;
    for (int32_t row = 1; row <= Results; ++row) {
        LoadRow("AccountsRecieved", row, [&] {
            auto cell = [&](size_t c) -> const std::string& { return DataArray(row, c); };
            og::CAccountsTransactions::NewAccountArgs a;
            a.cl_no = Variant(cell(1));
            a.acc_no = Variant(cell(2));
            a.accType = Variant(cell(3));
            a.demoAcc = Variant(cell(4));
            const Variant zero(int32_t{0});
            a.TotComm = a.MarginReq = a.NetProfit = a.TotDep = a.TotCr = a.PrvMargin = zero;
            a.DontLiquidate = a.TotInt = zero;
            a.AutoLiq = a.autoLimit = a.autoSlTp = false;
            a.Locked = IsOne(cell(6));
            a.Loading = true;
            AccountPtr account = engine_->AddNewAccount(a);
            // A row the model holds already (the same login selected twice) passes.
            if (!account) account = engine_->AccountByAccountID(runtime::CLng(a.acc_no));
            if (!account)
                throw runtime::Error(runtime::errc::ObjectVariableNotSet, "account refused");
            ++loaded;
            if (row == 1) first = account;
        });
    }
    Follow(engine_->Clients()).InitializeParams(Follow(symbolsManager_).Symbols(), 1);
    Follow(dataClient_).ClientServer()->StartMarket();
    if (first) SelectAccount(first->AccountID());
    return loaded;
}

// ---- Selection ----

CallingResultsEnum CAccountsManager::SelectAccount(int32_t AccountID) {
    AccountPtr account = engine_->AccountByAccountID(AccountID);
    if (!account) return InvalidAccountResult;
    setSelectedAccount(account);
    SendSelectionRequest(og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN, *account);
    SendSelectionRequest(og::GET_SUMMARIES_TOKEN, *account);
    SendSelectionRequest(og::GETOPENPOS_TOKEN, *account);
    SendSelectionRequest(og::GET_PENDING_ORDERS_TOKEN, *account);
    return SuccessResult;
}

void CAccountsManager::SendSelectionRequest(int16_t token, const og::CAccount& account) {
    CClientServer& server = Follow(Follow(dataClient_).ClientServer());
    const int32_t client = account.ClientID(), id = account.AccountID();
    switch (token) {
        case og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN:
            server.GetAccComplementData(client, id);
            break;
        case og::GET_SUMMARIES_TOKEN:
            server.GetAccSummaries(client, id);
            break;
        case og::GETOPENPOS_TOKEN:
            server.GetOpenPositions(client, id);
            break;
        default:
            server.GetPendingOrders(client, id);
            break;
    }
    // Stamped once handed over: a request that could not leave gets no answer.
    stamps_.push_back(Stamp{token, client, id});
}

void CAccountsManager::setSelectedAccount(AccountPtr value) {
    selected_ = std::move(value);
    BindClientParamsToSymbols();
}

void CAccountsManager::BindClientParamsToSymbols() {
    if (!selected_) return;
    const auto client = Follow(std::weak_ptr(selected_->Client()));
    for (const ParamPtr& param : Follow(client->Params()).NewEnum()) {
        if (SymbolPtr symbol = param->Symbol()) symbol->setRef3(param);
    }
}

std::optional<CAccountsManager::Stamp> CAccountsManager::TakeStamp(int16_t token) {
    auto it = std::find_if(stamps_.begin(), stamps_.end(),
                           [token](const Stamp& s) { return s.token == token; });
    if (it == stamps_.end()) return std::nullopt;
    Stamp stamp = *it;
    // The requests ahead of it were answered by an error or not at all.
    stamps_.erase(stamps_.begin(), it + 1);
    return stamp;
}

CAccountsManager::AccountPtr CAccountsManager::AnsweredAccount(int16_t token) {
    std::optional<Stamp> stamp = TakeStamp(token);
    if (!stamp) return selected_;
    return engine_->Account(stamp->client, stamp->account);
}

// ---- The selection's answers ----

void CAccountsManager::CompDataResultReceived(int32_t /*Ret*/, int32_t /*ClientID*/,
                                              int32_t AccountID, double /*AccInitMargin*/,
                                              const std::string& /*OpenDate*/, bool /*AccChecked*/,
                                              bool /*AccLiquidated*/, const std::string& Params) {
    TakeStamp(og::GET_ACCOUNT_COMPLEMENT_DATA_TOKEN);
    if (!selected_ || selected_->AccountID() != AccountID) return;
    const auto client = Follow(std::weak_ptr(selected_->Client()));
    client->RefreshClientParams(Params, Follow(symbolsManager_).Symbols(), generals_, false, 1);
}

void CAccountsManager::SummariesResultReceived(int16_t Result, double TotComm, double TotInt,
                                               double marginReq, double NetProfit, double TotDep,
                                               double TotCr, double PrvMargin) {
    const AccountPtr account = AnsweredAccount(og::GET_SUMMARIES_TOKEN);
    if (Result == -1) {
        Follow(dataClient_).LoginAgain();
        return;
    }
    if (!account) return;
    Follow(account->SummeryInfo())
        .SetValues(Variant(PrvMargin), Variant(TotDep), Variant(TotComm), Variant(marginReq),
                   Variant(NetProfit), Variant(TotCr), Variant(TotInt));
    if (account == selected_) RaiseSummaries();
}

void CAccountsManager::RaiseSummaries() {
    const og::CSummaries& s = Follow(selected_->SummeryInfo());
    SummariesChanged(s.balance(), s.FloatingProfitLoss(), s.credit(), s.equity(),
                     s.MarginRequirement(), s.marginLevel(), s.EffectiveMargin());
}

void CAccountsManager::OnUpdateListView(int32_t acc_no) {
    if (selected_ && selected_->AccountID() == acc_no) RaiseSummaries();
}

void CAccountsManager::OpenPositionsReceived(bool NoRows, const Table& DataArr) {
    TakeStamp(og::GETOPENPOS_TOKEN);
    if (!NoRows) {
        for (int32_t row = 1; row <= Rows(DataArr); ++row) {
            LoadRow("OpenPositionsReceived", row, [&] {
                auto cell = [&](size_t c) -> const std::string& { return DataArr(row, c); };
                const Variant client(cell(1)), account(cell(2)), ticket(cell(3));
                const og::OperationTypeEnum side = generals_->BuySellCode(cell(5));
                if (engine_->AddNewOpenPosition(client, account, ticket, Variant(cell(7)),
                                                Variant(cell(6)), Variant(cell(8)),
                                                Variant(int32_t{side}), Variant(cell(14)), cell(4),
                                                false))
                    return;
                const AccountPtr holder =
                    engine_->Account(runtime::CLng(client), runtime::CLng(account));
                if (!holder ||
                    !Follow(holder->OpenPositions()).Item(KeyText(runtime::CLng(ticket))))
                    throw runtime::Error(runtime::errc::ObjectVariableNotSet, "position refused");
            });
        }
    }
    BuildPositionRefs();
}

void CAccountsManager::PendingOrdersReceived(bool NoRows, const Table& DataArr) {
    const AccountPtr account = AnsweredAccount(og::GET_PENDING_ORDERS_TOKEN);
    if (NoRows || !account) return;
    for (int32_t row = 1; row <= Rows(DataArr); ++row) {
        LoadRow("PendingOrdersReceived", row, [&] {
            auto cell = [&](size_t c) -> const std::string& { return DataArr(row, c); };
            const std::string& kind = cell(7);
            og::CAccountsTransactions::NewOrderArgs a;
            if (kind == "LO")
                a.OrderType = og::LimitOrdersType;
            else if (kind == "ST")
                a.OrderType = og::SlTpType;
            else
                return;
            a.cl_no = account->ClientID();
            a.acc_no = account->AccountID();
            a.OrderId = WholeVal(cell(1));
            a.OrderTime = cell(2);
            a.operationType = static_cast<og::OperationTypeEnum>(WholeVal(cell(3)));
            a.lots = runtime::Val(cell(4));
            a.cur_no = WholeVal(cell(5));
            a.LimitPrice = runtime::Val(cell(6));
            a.IoID = WholeVal(cell(8));
            a.slPrice = runtime::Val(cell(9));
            a.tpPrice = runtime::Val(cell(10));
            a.Status = 1;
            a.hitPrice = 0;
            a.hitDate = runtime::Now();
            if (engine_->AddNewOrder(a)) return;
            if (!Follow(account->Orders()).Item(KeyText(a.OrderId)))
                throw runtime::Error(runtime::errc::ObjectVariableNotSet, "order refused");
        });
    }
}

std::shared_ptr<CAccountsManager::HistoryRows> CAccountsManager::AccountHistoryReceived(
    bool NoRows, const Table& DataArr) {
    auto rows = std::make_shared<HistoryRows>();
    if (NoRows) return rows;
    for (int32_t row = 1; row <= Rows(DataArr); ++row) {
        LoadRow("AccountHistoryReceived", row, [&] {
            auto cell = [&](size_t c) { return Variant(runtime::Trim(DataArr(row, c))); };
            if (cell(3).StringRef() == "N") return;
            auto h = std::make_shared<CAccountHistory>();
            h->setTicket(cell(1));
            h->setHisTime(cell(2));
            h->setHisType(cell(3));
            h->setSymbolID(cell(4));
            h->setLots(cell(5));
            h->setBuySell(cell(6));
            h->setOpenTime(cell(7));
            h->setOpenPrice(cell(8));
            h->setClosePrice(cell(9));
            h->setAccTransAmount(cell(10));
            h->setComm(cell(11));
            h->setInterest(cell(12));
            h->setChecked(cell(13));
            h->setRefPrice(cell(14));
            h->setProfit(cell(15));
            h->setSymbolName(cell(16));
            h->setMethod(cell(17));
            h->setComment(cell(18));
            rows->Add(h);
        });
    }
    return rows;
}

}  // namespace OrbanexClientAPI10
