// Open positions, pending orders and alerts from the server's rows and
// pushes, with the symbols' account references kept in step.
#include <string>
#include <vector>

#include "general/model/CAccount.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CAccountsTransactions_internal.h"
#include "general/model/CAlert.h"
#include "general/model/CAlerts.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClientRefs.h"
#include "general/model/CClients.h"
#include "general/model/CCurAccount.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbols.h"
#include "runtime/Clock.h"

namespace OrbanelGeneral10 {

using engine::Follow;
using engine::KeyText;
using engine::NumberOf;
using engine::StillHeld;
using engine::Unknown;
using engine::WholeOf;

namespace {

// The account references of the symbol an item points at through its
// parameters; nothing when the item has lost them.
std::shared_ptr<CCurAccount> CurOfParam(const std::shared_ptr<CClientParam>& param) {
    if (!param) return nullptr;
    const auto symbol = param->Symbol();
    if (!symbol) return nullptr;
    return std::dynamic_pointer_cast<CCurAccount>(symbol->Ref1());
}

}  // namespace

CAccountsTransactions::SymbolTarget CAccountsTransactions::TargetFor(int32_t symbolId,
                                                                     const CClient* client) const {
    SymbolTarget t;
    t.symbol = symbols_ ? symbols_->Item(KeyText(symbolId)) : nullptr;
    if (!t.symbol) Unknown("Symbol", symbolId);
    t.cur = std::dynamic_pointer_cast<CCurAccount>(t.symbol->Ref1());
    if (!t.cur || !t.cur->AccountsHavePositions() || !t.cur->AccountsHaveOrders() ||
        !t.cur->ClientsHaveAlerts())
        Unknown("Account references of symbol", symbolId);
    if (client) {
        t.param = client->Params() ? client->SymbolParam(symbolId) : nullptr;
        if (!t.param) Unknown("Client parameters for symbol", symbolId);
    }
    return t;
}

CAccountsTransactions::ClientPtr CAccountsTransactions::ClientOfAccount(
    const CAccount& account) const {
    auto client = account.Client();
    if (!client) Unknown("Client", account.ClientID());
    return client;
}

// --- Positions ----------------------------------------------------------------

CAccountsTransactions::PositionPtr CAccountsTransactions::AddNewOpenPosition(
    const Variant& cl_no, const Variant& acc_no, const Variant& io_id, const Variant& io_cur_no,
    const Variant& theLots, const Variant& Price, const Variant& theType, const Variant& vInt,
    const std::string& PosTime, bool Loading) {
    const AccountPtr account = Account(WholeOf(cl_no), WholeOf(acc_no));
    if (!account) return nullptr;
    // Everything is read and checked before the first change.
    const int32_t symbolId = WholeOf(io_cur_no);
    const ClientPtr client = ClientOfAccount(*account);
    const SymbolTarget target = TargetFor(symbolId, client.get());
    const double price = NumberOf(Price);
    const double lots = NumberOf(theLots);
    const auto side = static_cast<OperationTypeEnum>(WholeOf(theType));
    const int32_t ticket = WholeOf(io_id);
    const double interest = vInt.IsNull() ? 0.0 : NumberOf(vInt);
    auto position = Follow(account->OpenPositions())
                        .Add(price, target.param, lots, side, ticket, account, interest, PosTime);
    // A ticket held already: nothing changed.
    if (!position) return nullptr;
    target.cur->AccountsHavePositions()->Add(account);
    if (!Loading) SummariesChanged(account);
    return position;
}

CAccountsTransactions::PositionPtr CAccountsTransactions::DefineOpenPosRow(
    int32_t vClient, int32_t vAccount, int32_t Ticket, const std::string& OpenPosRow) {
    if (justAccounts_) return nullptr;
    const AccountPtr account = Account(vClient, vAccount);
    if (!account) return nullptr;
    if (OpenPosRow.empty()) {
        account->setLockLiquidate(false);
        DeleteOpenPosition(vClient, vAccount, Variant(Ticket));
        return nullptr;
    }
    int32_t rowClient = 0, rowAccount = 0, rowTicket = 0, vCur = 0;
    std::string PosTime, SLDesc, TPDesc, SymName, OpenMethod, OpenNote;
    auto BuySell = static_cast<OperationTypeEnum>(0);
    double lots = 0, Price = 0, OriginalAllLots = 0, OpenInt = 0;
    int16_t Checked = 0;
    Follow(generals_).SplitPosRow(OpenPosRow, rowClient, rowAccount, rowTicket, PosTime, BuySell,
                                  lots, vCur, Price, SLDesc, TPDesc, Checked, OriginalAllLots,
                                  SymName, OpenInt, OpenMethod, OpenNote);
    // The row names its position; the parameters name the account.
    const auto& positions = Follow(account->OpenPositions());
    const PositionPtr held = positions.Item(KeyText(rowTicket));
    if (!held) {
        if (!(lots > 0)) {
            account->setLockLiquidate(false);
            return nullptr;
        }
        TargetFor(vCur, ClientOfAccount(*account).get());  // refused before anything changes
        account->setLockLiquidate(false);
        return AddNewOpenPosition(Variant(vClient), Variant(vAccount), Variant(rowTicket),
                                  Variant(vCur), Variant(lots), Variant(Price),
                                  Variant(static_cast<int32_t>(BuySell)), Variant(OpenInt), PosTime,
                                  false);
    }
    account->setLockLiquidate(false);
    UpdateOpenPosition(vClient, vAccount, Variant(rowTicket), lots, Price, BuySell, vCur, OpenInt,
                       PosTime);
    // A row of no lots closed the position: the caller must see it gone.
    const auto& now = account->OpenPositions();
    return now && StillHeld(now->Items(), KeyText(rowTicket), held) ? held : nullptr;
}

void CAccountsTransactions::UpdateOpenPosition(int32_t cl_no, int32_t acc_no, const Variant& io_id,
                                               double lots, double Price, OperationTypeEnum BuySell,
                                               int32_t /*vCur*/, double vInt,
                                               const std::string& /*PosTime*/) {
    const AccountPtr account = Account(cl_no, acc_no);
    if (!account) return;
    const auto self = weak_from_this().lock();
    const std::string key = io_id.ToString();
    if (lots != 0) {
        // A position keeps its symbol and its open time.
        const PositionPtr position = Follow(account->OpenPositions()).Item(key);
        if (!position)
            throw runtime::Error(runtime::errc::ObjectVariableNotSet,
                                 "Ticket " + key + " is not held");
        position->setLots(lots);
        position->setPrice(Price);
        position->setType_no(BuySell);
        position->setInterest(vInt);
    } else {
        DeleteOpenPosition(cl_no, acc_no, io_id);
    }
    if (!account->OpenPositions()) return;  // a handler took the account away
    SummariesChanged(account);
}

void CAccountsTransactions::DeleteOpenPosition(int32_t cl_no, int32_t acc_no,
                                               const Variant& io_id) {
    const AccountPtr account = Account(cl_no, acc_no);
    if (!account) return;
    const auto self = weak_from_this().lock();
    account->setLockLiquidate(false);
    const std::string key = io_id.ToString();
    const auto& positions = account->OpenPositions();
    const PositionPtr position = positions ? positions->Item(key) : nullptr;
    if (!position) return;
    ++generation_;
    if (const auto cur = CurOfParam(position->SymbolParam()); cur && cur->AccountsHavePositions())
        cur->PositionDeleted(account, position);
    positions->Remove(key);
    SummariesChanged(account);
    RemovePositionOrders(account, WholeOf(io_id));
}

void CAccountsTransactions::RemovePositionOrders(const AccountPtr& account, int32_t ticket) {
    for (;;) {
        const auto& orders = account->Orders();
        if (!orders || !orders->Items()) return;
        OrderPtr attached;
        for (const auto& entry : *orders->Items()) {
            if (entry.value->IoID() == ticket) {
                attached = entry.value;
                break;
            }
        }
        if (!attached) return;
        ++generation_;
        // The symbol forgets the account once its last order there goes.
        if (const auto cur = CurOfParam(attached->SymbolParam()); cur && cur->AccountsHaveOrders())
            cur->OrderDeleted(account, attached);
        orders->Remove(KeyText(attached->OrderId()));
    }
}

void CAccountsTransactions::ClosePosition(int32_t cl_no, int32_t acc_no, int32_t io_id,
                                          double closedLots) {
    const AccountPtr account = Account(cl_no, acc_no);
    if (!account || !account->OpenPositions()) return;
    const PositionPtr position = account->OpenPositions()->Item(KeyText(io_id));
    if (!position) return;
    const double remaining = position->lots() - closedLots;
    if (remaining <= 0)
        DeleteOpenPosition(cl_no, acc_no, Variant(io_id));
    else
        position->setLots(remaining);
}

void CAccountsTransactions::CloseAllPositions(int32_t cl_no, int32_t acc_no) {
    const ClientPtr client = ClientOf(cl_no);
    if (!client) Unknown("Client", cl_no);
    const AccountPtr account =
        client->Accounts() ? client->Accounts()->Item(KeyText(acc_no)) : nullptr;
    if (!account) Unknown("Account", acc_no);
    const auto self = weak_from_this().lock();
    for (const PositionPtr& position : Follow(account->OpenPositions()).NewEnum()) {
        const auto& held = account->OpenPositions();
        if (!held || !StillHeld(held->Items(), KeyText(position->Ticket()), position)) continue;
        ClosePosition(cl_no, acc_no, position->Ticket(), position->lots());
    }
}

// --- Orders ---------------------------------------------------------------------

CAccountsTransactions::OrderPtr CAccountsTransactions::AddNewOrder(const NewOrderArgs& a) {
    const AccountPtr account = Account(a.cl_no, a.acc_no);
    if (!account) return nullptr;
    const SymbolTarget target = TargetFor(a.cur_no, ClientOfAccount(*account).get());
    auto order =
        Follow(account->Orders())
            .Add(a.Status, a.tpPrice, a.slPrice, a.LimitPrice, target.param, a.lots, a.IoID,
                 a.operationType, a.OrderType, a.OrderId, a.hitPrice, a.hitDate, a.OrderTime);
    // An order number held already: nothing changed.
    if (!order) return nullptr;
    target.cur->AccountsHaveOrders()->Add(account);
    if (a.Status == 1 || a.Status == 11) {
        // An order that arrives hit is announced at once; the handlers'
        // answer is not read back.
        const auto self = weak_from_this().lock();
        bool done = false;
        if (order->OrderType() == LimitOrdersType) {
            RaiseHitOrder(LimitOrdersType, order, account, false, done);
        } else {
            if (order->slPrice() != -1) {
                done = false;
                RaiseHitOrder(SlTpType, order, account, false, done);
            }
            if (order->tpPrice() != -1) {
                done = false;
                // 4 names the take-profit part; it lies outside the enumeration.
                RaiseHitOrder(static_cast<OrdersTypeEnum>(4), order, account, false, done);
            }
        }
    }
    return order;
}

CAccountsTransactions::OrderPtr CAccountsTransactions::DefineOrder(int32_t vClient,
                                                                   int32_t vAccount,
                                                                   const std::string& OrderRow) {
    if (justAccounts_) return nullptr;
    if (OrderRow.empty()) {
        DeleteOrder(vClient, vAccount, 0);
        return nullptr;
    }
    std::string vOrder, vTime, vBuySell, vLots, vCur, vPrice, vOpCpLoST, vCpIoID, vSL, vTP, vStatus,
        vNote;
    Follow(generals_).SplitOrderRow(OrderRow, vOrder, vTime, vBuySell, vLots, vCur, vPrice,
                                    vOpCpLoST, vCpIoID, vSL, vTP, vStatus, vNote);
    NewOrderArgs a;
    a.cl_no = vClient;
    a.acc_no = vAccount;
    a.OrderId = WholeOf(Variant(vOrder));
    a.OrderType = vOpCpLoST == "LO" ? LimitOrdersType : SlTpType;
    a.operationType = static_cast<OperationTypeEnum>(WholeOf(Variant(vBuySell)));
    a.IoID = WholeOf(Variant(vCpIoID));
    a.lots = runtime::Val(vLots);
    a.cur_no = WholeOf(Variant(vCur));
    a.LimitPrice = runtime::Val(vPrice);
    a.slPrice = runtime::Val(vSL);
    a.tpPrice = runtime::Val(vTP);
    // A row's order is armed again, whatever its status cell says.
    a.Status = 0;
    a.hitPrice = 0;
    a.hitDate = runtime::Now();
    a.OrderTime = vTime;
    const AccountPtr account = Account(vClient, vAccount);
    if (!account) return nullptr;
    TargetFor(a.cur_no, ClientOfAccount(*account).get());  // refused before the old copy goes
    DeleteOrder(vClient, vAccount, a.OrderId);
    return AddNewOrder(a);
}

CAccountsTransactions::OrderPtr CAccountsTransactions::DeleteOrder(int32_t cl_no, int32_t acc_no,
                                                                   int32_t id_no) {
    const AccountPtr account = Account(cl_no, acc_no);
    if (!account || !account->Orders()) return nullptr;
    const std::string key = KeyText(id_no);
    OrderPtr order = account->Orders()->Item(key);
    if (!order) return nullptr;
    ++generation_;
    if (const auto cur = CurOfParam(order->SymbolParam()); cur && cur->AccountsHaveOrders())
        cur->OrderDeleted(account, order);
    account->Orders()->Remove(key);
    return order;
}

// --- Alerts -----------------------------------------------------------------------

void CAccountsTransactions::AddNewAlert(int32_t cl_no, int32_t ID, int32_t CurID,
                                        AlertConditionsEnum CondType, double vVal,
                                        AlertTypeEnum /*AlertType*/, bool /*Enabled*/) {
    const ClientPtr client = ClientOf(cl_no);
    if (!client) Unknown("Client", cl_no);
    const SymbolTarget target = TargetFor(CurID, nullptr);
    // Every alert added is armed: its type and switch are not kept.
    const auto alert = Follow(client->Alerts()).Add(cl_no, ID, target.symbol, CondType, vVal);
    if (alert) target.cur->ClientsHaveAlerts()->Add(client);
}

void CAccountsTransactions::DeleteAlert(int32_t ClientID, int32_t ID) {
    if (justAccounts_) return;
    const ClientPtr client = ClientOf(ClientID);
    if (!client) Unknown("Client", ClientID);
    const auto& alerts = client->Alerts();
    const std::string key = KeyText(ID);
    const AlertPtr alert = alerts ? alerts->Item(key) : nullptr;
    if (!alert) return;
    ++generation_;
    if (const auto& symbol = alert->Symbol())
        if (const auto cur = std::dynamic_pointer_cast<CCurAccount>(symbol->Ref1());
            cur && cur->ClientsHaveAlerts())
            cur->AlertDeleted(client, alert);
    alerts->Remove(key);
}

void CAccountsTransactions::UpdateAlert(int32_t ID, int32_t vClient, int32_t CurID,
                                        AlertConditionsEnum CondType, double vVal) {
    if (!ClientOf(vClient)) Unknown("Client", vClient);
    TargetFor(CurID, nullptr);  // refused before the old alert goes
    DeleteAlert(vClient, ID);
    AddNewAlert(vClient, ID, CurID, CondType, vVal, SMSAlertType, true);
}

}  // namespace OrbanelGeneral10
