// The per-quote heart of the engine: revaluing the accounts that hold the
// quoted symbol, and the summary step shared with summary rows, full
// refreshes and new accounts.
#include <array>
#include <cmath>
#include <cstdint>
#include <typeinfo>

#include "general/model/CAccount.h"
#include "general/model/CAccountRef.h"
#include "general/model/CAccountRefs.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CAccountsTransactions_internal.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClientParamCl.h"
#include "general/model/CClientParamSvr.h"
#include "general/model/CClientParams.h"
#include "general/model/CClientRef.h"
#include "general/model/CClientRefs.h"
#include "general/model/CClients.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbolTradingTimes.h"
#include "general/model/MModelStamps.h"

namespace OrbanelGeneral10 {

using engine::Follow;
using engine::KeyText;
using engine::StillHeld;

namespace {

// The close prices one position needs, computed once per account for all its
// positions with the same parameters and side, and the reference close price
// once per reference parameters and side (the prices cannot change while one
// account is summed: no handler runs in between).
struct ClosePrices {
    const CClientParam* param = nullptr;
    int32_t side = 0;
    double close = 0;
    double refClose = 0;
    const CSymbol* symbol = nullptr;
};

struct RefClosePrice {
    const CClientParam* param = nullptr;
    int32_t side = 0;
    double close = 0;
};

class ClosePriceCache {
public:
    const ClosePrices& For(const CClientParam& param, OperationTypeEnum side) {
        ClosePrices& e = own_[Slot(&param, side)];
        if (e.param != &param || e.side != side) {
            e.param = nullptr;  // stays empty if a read below fails
            // The reads a position's own valuation makes, in its order.
            e.close = param.ClosePriceWithSpread(side);
            const CClientParam* parent = param.PeekParent();
            if (!parent) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
            e.refClose = RefClose(*parent, side);
            // The parameters hold the symbol for as long as the position does.
            e.symbol = param.PeekSymbol();
            if (!e.symbol) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
            e.param = &param;
            e.side = side;
        }
        return e;
    }

private:
    static constexpr size_t kSlots = 8;

    static size_t Slot(const CClientParam* param, int32_t side) {
        const auto bits = reinterpret_cast<uintptr_t>(param) >> 4;
        return (bits ^ static_cast<uint32_t>(side)) & (kSlots - 1);
    }

    double RefClose(const CClientParam& parent, OperationTypeEnum side) {
        RefClosePrice& e = ref_[Slot(&parent, side)];
        if (e.param != &parent || e.side != side) {
            e.param = nullptr;
            e.close = parent.ClosePriceWithSpread(side);
            e.param = &parent;
            e.side = side;
        }
        return e.close;
    }

    std::array<ClosePrices, kSlots> own_{};
    std::array<RefClosePrice, kSlots> ref_{};
};

bool TradeIsOpen(const CSymbol& symbol) {
    const auto& times = symbol.SymbolTradingTimes();
    return times && times->TradeIsOpen();
}

// The accounts a reference set lists now.
void SnapshotAccounts(const std::shared_ptr<CAccountRefs>& set,
                      std::vector<CAccountsTransactions::AccountPtr>& out) {
    if (!set) return;
    const auto* items = set->PeekItems();
    if (!items) return;
    for (const auto& entry : *items)
        if (auto account = entry.value->Account()) out.push_back(std::move(account));
}

// The same for the accounts with positions in the symbol, from their flat copy.
void SnapshotAccounts(const CCurAccount& cur, std::vector<CAccountsTransactions::AccountPtr>& out) {
    for (const auto& link : cur.PositionHolders())
        if (auto account = link.lock()) out.push_back(std::move(account));
}

void SnapshotClients(const std::shared_ptr<CClientRefs>& set,
                     std::vector<CAccountsTransactions::ClientPtr>& out) {
    if (!set) return;
    const auto items = set->Items();
    if (!items) return;
    for (const auto& entry : *items)
        if (auto client = entry.value->Client()) out.push_back(std::move(client));
}

// Whether the set still lists this very account (a handler may have taken
// it out, or put another account under its number).
bool StillListed(const std::shared_ptr<CAccountRefs>& set, const CAccount& account) {
    if (!set) return false;
    const auto items = set->Items();
    const auto* ref = items ? items->Find(KeyText(account.AccountID()), nullptr) : nullptr;
    return ref && (*ref)->Account().get() == &account;
}

bool StillListed(const std::shared_ptr<CClientRefs>& set, const CClient& client) {
    if (!set) return false;
    const auto items = set->Items();
    const auto* ref = items ? items->Find(KeyText(client.ClientID()), nullptr) : nullptr;
    return ref && (*ref)->Client().get() == &client;
}

// The client's parameters for the symbol, when the client has them and they
// point at a symbol; nothing otherwise.
CAccountsTransactions::ParamPtr UsableParam(const CClient& client, int32_t symbolId) {
    const auto& params = client.Params();
    if (!params || !params->Items()) return nullptr;
    auto param = params->Item(KeyText(symbolId));
    if (!param || !param->Symbol()) return nullptr;
    return param;
}

// ---- The memo of positions' values ----

double ValueOf(const COpenPosition& position, const CClientParam& param, double close,
               double refClose, const CSymbol& symbol, CommCalcTypeEnum commCalcType) {
    const double lots = position.lots();
    const double profit =
        symbol.DealProfit(position.Price(), close, lots, position.Type_no(), position.Interest(),
                          param.CommissionValue(lots), commCalcType, refClose, true);
    return engine::RoundMoney(profit);
}

// The parameters as the model's own kinds, which price from their stored
// values and count every change in the valuation epoch; nothing for any other
// kind (one deriving from them may price otherwise).
const CClientParamSvr* StoredPricing(const CClientParam* param) {
    if (!param) return nullptr;
    const std::type_info& kind = typeid(*param);
    if (kind != typeid(CClientParamSvr) && kind != typeid(CClientParamCl)) return nullptr;
    return static_cast<const CClientParamSvr*>(param);
}

// Whether a value may be kept until a stamp moves, with the reference symbol
// whose stamp it then depends on. Only the model's own parameters qualify; a
// reference price of -1 makes the deal read the symbol's own reference, which
// no stamp here covers.
void SetKeepable(const CClientParam& param, double refClose, COpenPositions::ValuedPosition& v) {
    const auto* own = StoredPricing(&param);
    const auto* parent = own ? StoredPricing(own->PeekParent()) : nullptr;
    v.refSymbol = parent ? parent->PeekSymbol() : nullptr;
    v.refStamp = v.refSymbol ? v.refSymbol->PricingStamp() : 0;
    v.kept = v.refSymbol && refClose != -1;
}

bool MemoHolds(const COpenPositions::ValuationMemo& memo, const COpenPositions::Collection& items,
               CommCalcTypeEnum commCalcType) {
    return memo.epoch == valuation::InputsEpoch() && memo.commCalcType == commCalcType &&
           memo.values.size() == static_cast<size_t>(items.Count());
}

void ValueAll(const COpenPositions::Collection& items, CommCalcTypeEnum commCalcType,
              COpenPositions::ValuationMemo& memo) {
    memo.epoch = 0;  // stays empty if a position cannot be valued
    const uint64_t epoch = valuation::InputsEpoch();
    // The positions, then their parameters, are asked for all at once: on a
    // book that is not in the cache their loads then overlap.
    for (const auto& entry : items) {
        const char* position = reinterpret_cast<const char*>(entry.value.get());
        for (size_t line = 0; line < sizeof(COpenPosition); line += 56)
            __builtin_prefetch(position + line);
    }
    for (const auto& entry : items) __builtin_prefetch(entry.value->SymbolParam().get());
    ClosePriceCache cache;
    memo.values.clear();
    for (const auto& entry : items) {
        const COpenPosition& position = *entry.value;
        const CClientParam& param = Follow(position.SymbolParam());
        const ClosePrices& prices = cache.For(param, position.Type_no());
        COpenPositions::ValuedPosition v;
        v.position = &position;
        v.param = &param;
        v.symbol = prices.symbol;
        v.symbolStamp = v.symbol->PricingStamp();
        v.rounded =
            ValueOf(position, param, prices.close, prices.refClose, *prices.symbol, commCalcType);
        SetKeepable(param, prices.refClose, v);
        memo.values.push_back(v);
    }
    memo.commCalcType = commCalcType;
    memo.epoch = epoch;
}

// One member valued again while the memo holds: its position, parameters and
// their links are the ones the memo was taken with, so only the stamps move.
void ValueAgain(CommCalcTypeEnum commCalcType, COpenPositions::ValuedPosition& v) {
    const COpenPosition& position = *v.position;
    const CClientParam& param = Follow(position.SymbolParam());
    v.param = &param;
    const OperationTypeEnum side = position.Type_no();
    // The reads a position's own valuation makes, in its order.
    const double close = param.ClosePriceWithSpread(side);
    const CClientParam* parent = param.PeekParent();
    if (!parent) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    const double refClose = parent->ClosePriceWithSpread(side);
    const CSymbol* symbol = param.PeekSymbol();
    if (!symbol) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    v.symbol = symbol;
    v.symbolStamp = symbol->PricingStamp();
    if (v.refSymbol) v.refStamp = v.refSymbol->PricingStamp();
    v.rounded = ValueOf(position, param, close, refClose, *symbol, commCalcType);
    if (refClose == -1) v.kept = false;
}

}  // namespace

double CAccountsTransactions::AccountFloatingProfitLoss(const CAccount& account) const {
    // The sum COpenPositions::TotalFloatingProfitLoss makes, bit for bit: the
    // same rounded values added in the same order, each valued afresh only
    // when something it is valued from changed since the last sum.
    const COpenPositions& positions = Follow(account.OpenPositions());
    const auto* items = positions.PeekItems();
    if (!items) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    COpenPositions::ValuationMemo& memo = positions.Memo();
    if (!MemoHolds(memo, *items, commCalcType_)) {
        ValueAll(*items, commCalcType_, memo);
    } else {
        // A quote message moves the account's symbols one after the other:
        // asking for every member's position and parameters now lets their
        // loads overlap instead of one miss per later quote.
        for (const COpenPositions::ValuedPosition& v : memo.values) {
            const char* position = reinterpret_cast<const char*>(v.position);
            for (size_t line = 0; line < sizeof(COpenPosition); line += 64)
                __builtin_prefetch(position + line);
            __builtin_prefetch(v.param);
        }
    }
    double total = 0;
    for (COpenPositions::ValuedPosition& v : memo.values) {
        if (!v.kept || v.symbol->PricingStamp() != v.symbolStamp ||
            v.refSymbol->PricingStamp() != v.refStamp) {
            try {
                ValueAgain(commCalcType_, v);
            } catch (...) {
                memo.epoch = 0;
                throw;
            }
        }
        total += v.rounded;
    }
    return total;
}

CAccountsTransactions::Figures CAccountsTransactions::ReadFigures(const CAccount& account) const {
    const CSummaries& s = Follow(account.SummeryInfo());
    Figures f;
    f.balance = s.balance();
    f.flt = s.FloatingProfitLoss();
    f.credit = s.credit();
    f.equity = s.equity();
    f.MarginReq = s.MarginRequirement();
    f.marginLevel = s.marginLevel();
    f.EffMargin = s.EffectiveMargin();
    f.OpenPos = Follow(account.OpenPositions()).Count();
    return f;
}

double CAccountsTransactions::RefreshFloatingProfitLoss(const AccountPtr& vAccInfo) {
    const CAccount& account = Follow(vAccInfo);
    const double value = AccountFloatingProfitLoss(account);
    const auto summaries = account.SummeryInfo();
    Follow(summaries).setFloatingProfitLoss(value);
    return value;
}

void CAccountsTransactions::SummariesChanged(const AccountPtr& vAccInfo) {
    const AccountPtr account = vAccInfo;  // the caller's reference may go in a handler
    RefreshFloatingProfitLoss(account);
    const Figures f = ReadFigures(*account);
    UpdateListView(account->ClientID(), account->AccountID(), f.balance, f.flt, f.credit, f.equity,
                   f.MarginReq, f.marginLevel, f.EffMargin, f.OpenPos);
}

bool CAccountsTransactions::RevalueForQuote(const AccountPtr& account) {
    double value = 0;
    try {
        value = AccountFloatingProfitLoss(*account);
    } catch (const runtime::Error&) {
        // A position that cannot be valued: a partial sum would show a wrong
        // equity as if it were right, so the account keeps its last figures.
        return false;
    }
    const auto summaries = account->SummeryInfo();
    if (!summaries) return false;
    summaries->setFloatingProfitLoss(value);
    Figures f;
    try {
        f = ReadFigures(*account);
    } catch (const runtime::Error&) {
        return false;  // released by a change-notice handler, or figures out of range
    }
    UpdateListView(account->ClientID(), account->AccountID(), f.balance, f.flt, f.credit, f.equity,
                   f.MarginReq, f.marginLevel, f.EffMargin, f.OpenPos);
    return true;
}

void CAccountsTransactions::DealWithChangedSymbolPrices(const SymbolPtr& vSymbol) {
    const SymbolPtr symbolHolder = vSymbol;  // handlers may drop the caller's reference
    const CSymbol& symbol = Follow(symbolHolder);
    const auto curHolder = symbol.Ref1();
    CCurAccount* cur = engine::CurAccountOf(symbol);
    if (!cur) throw runtime::Error(runtime::errc::ObjectVariableNotSet);
    const auto self = weak_from_this().lock();  // a handler may drop the engine
    Scratch& scratch = *scratch_;
    const bool serverSide = executionSide_ == SERVER_SIDE_EXECUTION;

    if (serverSide) {
        if (TradeIsOpen(symbol)) {
            engine::SnapshotPool<AccountPtr>::Lease accounts(scratch.accounts);
            SnapshotAccounts(cur->AccountsHaveOrders(), *accounts);
            const uint64_t taken = generation_;
            for (const AccountPtr& account : *accounts) {
                if (generation_ != taken && !StillListed(cur->AccountsHaveOrders(), *account))
                    continue;
                const ClientPtr client = account->Client();
                if (!client) continue;
                if (const ParamPtr param = UsableParam(*client, symbol.ID()))
                    CheckOrdersHit(account, param);
            }
        }
        engine::SnapshotPool<ClientPtr>::Lease clients(scratch.clients);
        SnapshotClients(cur->ClientsHaveAlerts(), *clients);
        const uint64_t taken = generation_;
        for (const ClientPtr& client : *clients) {
            if (generation_ != taken && !StillListed(cur->ClientsHaveAlerts(), *client)) continue;
            if (const ParamPtr param = UsableParam(*client, symbol.ID()))
                CheckAlertsHit(client, param);
        }
    }

    engine::SnapshotPool<AccountPtr>::Lease accounts(scratch.accounts);
    SnapshotAccounts(*cur, *accounts);
    const uint64_t taken = generation_;
    for (const AccountPtr& account : *accounts) {
        if (generation_ != taken && !StillListed(cur->AccountsHavePositions(), *account)) continue;
        if (!RevalueForQuote(account)) continue;
        // Liquidation acts only in server-side execution; the clock is not
        // read otherwise.
        if (serverSide && TradeIsOpen(symbol)) CheckLiquidation(account);
    }
}

void CAccountsTransactions::UpdateAccountSummaries(const Variant& cl_no, const Variant& acc_no,
                                                   const Variant& TotComm, const Variant& MarginReq,
                                                   const Variant& NetProfit, const Variant& TotDep,
                                                   const Variant& TotCr, const Variant& PrvMargin,
                                                   bool LockLiquidation, const Variant& TotInt) {
    const AccountPtr account = Account(engine::WholeOf(cl_no), engine::WholeOf(acc_no));
    if (!account) return;
    const auto self = weak_from_this().lock();
    account->setLockLiquidate(LockLiquidation);
    Follow(account->SummeryInfo())
        .SetValues(PrvMargin, TotDep, TotComm, MarginReq, NetProfit, TotCr, TotInt);
    SummariesChanged(account);
    CheckLiquidation(account);
}

void CAccountsTransactions::RefreshListView() {
    if (!clients_ || !clients_->Items()) return;
    const auto self = weak_from_this().lock();
    for (const ClientPtr& client : clients_->Items()->Items()) {
        if (!StillHeld(clients_ ? clients_->Items() : nullptr, KeyText(client->ClientID()), client))
            continue;
        const auto& accounts = client->Accounts();
        if (!accounts || !accounts->Items()) continue;
        for (const AccountPtr& account : accounts->NewEnum()) {
            if (!StillHeld(client->Accounts() ? client->Accounts()->Items() : nullptr,
                           KeyText(account->AccountID()), account))
                continue;
            SummariesChanged(account);
        }
    }
}

void CAccountsTransactions::RaiseNewAccountSummaries(int32_t clientNumber, int32_t accountNumber) {
    const AccountPtr account = Account(clientNumber, accountNumber);
    if (!account) return;
    const double flt = RefreshFloatingProfitLoss(account);
    const Figures f = ReadFigures(*account);
    NewAccountSummeriesData(account->ClientID(), account->AccountID(), f.balance, flt, f.credit,
                            f.equity, f.MarginReq, f.marginLevel, f.EffMargin, f.OpenPos);
}

}  // namespace OrbanelGeneral10
