// Liquidation (server-side execution) and the daily interest step.
#include <string>

#include "general/model/CAccount.h"
#include "general/model/CAccounts.h"
#include "general/model/CAccountsTransactions.h"
#include "general/model/CAccountsTransactions_internal.h"
#include "general/model/CClient.h"
#include "general/model/CClientParam.h"
#include "general/model/CClients.h"
#include "general/model/COpenPosition.h"
#include "general/model/COpenPositions.h"
#include "general/model/COrder.h"
#include "general/model/COrders.h"
#include "general/model/CSummaries.h"
#include "general/model/CSymbol.h"
#include "general/model/CSymbolTradingTimes.h"
#include "runtime/Convert.h"

namespace OrbanelGeneral10 {

using engine::Follow;
using engine::KeyText;
using engine::StillHeld;

namespace {

constexpr int16_t kLogLevel = 1;

// A figure in the general text form of a double, in the locale's decimals.
std::string Figure(double x) {
    return runtime::NumberToLocaleText(x);
}

}  // namespace

void CAccountsTransactions::Log(const std::string& msg) {
    AddLogEntry(msg, kLogLevel);
}

void CAccountsTransactions::CheckLiquidation(const AccountPtr& account) {
    if (executionSide_ != SERVER_SIDE_EXECUTION || account->DontLiquidate()) return;
    const ClientPtr client = account->Client();
    if (!client) return;
    const CSummaries& summary = Follow(account->SummeryInfo());
    switch (client->LiquidationType()) {
        case EQUITY_LIQUIDATION:
            liquidationFigure_ = runtime::RoundHalfEven(summary.equity(), 2);
            break;
        case MARGIN_LEVEL_LIQUIDATION:
            liquidationFigure_ = runtime::RoundHalfEven(summary.marginLevel() * 100, 2);
            break;
        default:
            // No rule for another type: judging it on whichever account was
            // checked before would liquidate at random.
            return;
    }
    if (liquidationFigure_ > client->LiquidationPoint()) return;
    const auto& positions = account->OpenPositions();
    if (!positions || positions->Count() == 0 || account->AccountType() != NormalAccountType)
        return;
    if (const int32_t id = FirstAwaitingOrderID(*account); id > 0) {
        Log("Liquidation point for account " + std::to_string(account->AccountID()) +
            " but has pending order " + std::to_string(id));
        return;
    }
    LiquidateAccount(account);
}

int32_t CAccountsTransactions::FirstAwaitingOrderID(const CAccount& account) const {
    const auto& orders = account.Orders();
    if (!orders || !orders->Items()) return -1;
    for (const auto& entry : *orders->Items()) {
        const int16_t status = entry.value->Status();
        if (status == 1 || status == 11) return entry.value->OrderId();
    }
    return -1;
}

void CAccountsTransactions::LiquidateAccount(const AccountPtr& account) {
    if (account->LockLiquidate()) {
        Log("Liquidation is locked for account " + std::to_string(account->AccountID()));
        return;
    }
    const ClientPtr client = account->Client();
    const int32_t clientId = account->ClientID();
    const int32_t accountId = account->AccountID();
    std::vector<PositionPtr> positions = Follow(account->OpenPositions()).NewEnum();
    bool sent = false;
    for (const PositionPtr& position : positions) {
        // A close answered at once (CloseResultReceived) may have taken
        // positions out while this walk goes on.
        const auto& held = account->OpenPositions();
        if (!held || !StillHeld(held->Items(), KeyText(position->Ticket()), position)) continue;
        if (position->Liquidated()) continue;
        const ParamPtr param = position->SymbolParam();
        const SymbolPtr symbol = param ? param->Symbol() : nullptr;
        const auto times = symbol ? symbol->SymbolTradingTimes() : nullptr;
        if (times && times->TradeIsOpen()) {
            const double closePrice = position->ClosePrice();
            const double refPrice = position->RefClosePrice();
            const double effMargin = Follow(account->SummeryInfo()).EffectiveMargin();
            position->setLiquidated(true);
            SendLiqPosition(clientId, accountId, position->Ticket(), symbol->ID(), closePrice,
                            refPrice, position->lots(), effMargin);
            sent = true;
        } else {
            Log("Ticket " + std::to_string(position->Ticket()) + " trading is closed");
        }
    }
    if (!sent) return;
    // A handler may have taken the account away meanwhile; the positions sent
    // are still reported as one liquidation.
    if (const auto summary = account->SummeryInfo()) {
        const CSummaries& s = *summary;
        const LiquidationTypeEnum type = client ? client->LiquidationType() : LiquidationTypeEnum{};
        const double point = client ? client->LiquidationPoint() : 0;
        Log("Account " + std::to_string(accountId) + " reached the liquidation point " +
            (type == EQUITY_LIQUIDATION ? "Equity = " : "Margin Level = ") + Figure(point) +
            " (Balance = " + Figure(s.balance()) + " Credit = " + Figure(s.credit()) +
            " Flt P/L = " + Figure(s.FloatingProfitLoss()) + " Equity = " + Figure(s.equity()) +
            " M Req = " + Figure(s.MarginRequirement()) +
            " M Level = " + Figure(s.marginLevel() * 100) + "%" +
            " Eff Margin = " + Figure(s.EffectiveMargin()) + ")");
    }
    SendLiquidateAccount(clientId, accountId);
}

void CAccountsTransactions::CloseResultReceived(int32_t ReturnVal, int32_t vClient,
                                                int32_t vAccount, int32_t Ticket) {
    const AccountPtr account = Account(vClient, vAccount);
    if (!account) return;
    const auto& positions = account->OpenPositions();
    if (!positions || !positions->Item(KeyText(Ticket))) return;
    switch (ReturnVal) {
        case -51:
        case -50:
        case -5:
            OrderRejected(MarketOrderType, vClient, vAccount, 0, Ticket);
            break;
        case -10:
            DeleteOpenPosition(vClient, vAccount, runtime::Variant(Ticket));
            break;
        default:
            break;
    }
}

void CAccountsTransactions::CalculateInterest(int32_t vSymID, int16_t vDayFactor,
                                              double YearlyBuyRate, double YearlySellRate,
                                              int16_t YearDays) {
    // Refused before the first position is charged, so no account is left
    // half-charged.
    if (YearDays == 0) throw runtime::Error(runtime::errc::DivisionByZero);
    if (!clients_ || !clients_->Items()) return;
    const auto self = weak_from_this().lock();
    for (const ClientPtr& client : clients_->Items()->Items()) {
        if (!client->EnableInterest() || !client->Accounts()) continue;
        for (const AccountPtr& account : client->Accounts()->NewEnum()) {
            const auto& held = account->OpenPositions();
            if (!held) continue;  // taken away by a handler
            double total = 0;
            for (const PositionPtr& position : held->NewEnum()) {
                const auto& now = account->OpenPositions();
                if (!now || !StillHeld(now->Items(), KeyText(position->Ticket()), position))
                    continue;
                const auto& param = position->SymbolParam();
                const auto symbol = param ? param->Symbol() : nullptr;
                if (!symbol || symbol->ID() != vSymID) continue;
                const double inc =
                    position->AddInterest(vDayFactor, YearlyBuyRate, YearlySellRate, YearDays);
                if (inc != 0) {
                    total += inc;
                    ChangePosInterest(account->ClientID(), account->AccountID(), position->Ticket(),
                                      position->Interest());
                }
            }
            if (commCalcType_ == ON_OPEN_TYPE && total != 0 && account->SummeryInfo()) {
                CSummaries& s = Follow(account->SummeryInfo());
                s.setTotalInterest(s.TotalInterest() + total);
                SummariesChanged(account);
                ChangeTotInterest(account->ClientID(), account->AccountID(),
                                  Follow(account->SummeryInfo()).TotalInterest());
            }
        }
    }
}

}  // namespace OrbanelGeneral10
