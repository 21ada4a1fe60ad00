// The account session's price and valuation handlers: the market watch, the
// position and net rows of each position and the desk totals.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManager.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/sessions/PriceCells.h"
#include "desk/sessions/SummaryDisplay.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {

// A cell's number with "." as decimal and "," as thousands sign; no number reads 0.
double CellNumber(std::string_view text) {
    char digits[64];
    size_t n = 0;
    for (char c : text) {
        if (c == ',' || c == ' ') continue;
        if (n == sizeof digits) return 0;
        digits[n++] = c;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(digits, digits + n, value);
    return ec == std::errc() && end == digits + n ? value : 0;
}

double Finite(double v) {
    return std::isfinite(v) ? v : 0;
}

// The number compare of the market watch: rising green, falling red, same kept.
void ColourByNumber(platform::ListItem& row, size_t sub, double now) {
    const double old = CellNumber(row.SubItems(sub));
    if (old < now) row.setSubItemForeColor(sub, kPriceGreen);
    if (old > now) row.setSubItemForeColor(sub, kPriceRed);
}

std::string Money(const DeskState& state, double value) {
    return state.StringValues->ToCurrencyVal(runtime::Variant(value), true);
}

}  // namespace

// ---- Market watch ----

void CClientAPIManager::LoadMWPprices() {
    ports_.frmMW->lvmw().Clear();
    const std::shared_ptr<SymbolCollection> symbols = desk_.State().DeskSymbols;
    if (!symbols) return;
    // The collection's count is a 16-bit integer where it is read.
    const size_t count = std::min<size_t>(symbols->Count(), INT16_MAX);
    for (size_t i = 1; i <= count; ++i) {
        const SymbolPtr& symbol = symbols->Item(i);
        if (!symbol) continue;
        platform::ListItem& row = AddMarketWatchPrices(symbol);
        // A symbol that never quoted has no readable time: its cell stays empty and
        // the refill goes on.
        try {
            row.setSubItems(5, FormatTimeText(desk_.State(), symbol->LastQuteTime()));
        } catch (const runtime::Error&) {
        }
    }
}

void CClientAPIManager::CLAPICLASS_SymbolPricesChanged(const SymbolPtr& Symbol) {
    ports_.frmlimitorder->limitorderpricechange();
    // The account test comes before the walk over the accounts: both only guard, and
    // so the walk runs once per quote rather than once per session.
    ManagerPtr writer = PriceWriterFor(desk_, Symbol->ID());
    if (!writer || writer->m_lAccount != m_lAccount) return;
    platform::ListView& clients = ports_.frmMain->lvwClients();
    bool anyConnected = false;
    for (size_t i = 1; i <= clients.Count() && !anyConnected; ++i) {
        const platform::ListItem& row = clients.Item(i);
        anyConnected = row.SubItems(2) == "Connected" && row.SubItems(4).empty();
    }
    if (!anyConnected) return;
    platform::ListItem* row = GetMarketWatchItem(*ports_.frmMW, Symbol);
    if (!row) return;
    const double bid = Symbol->Bid(), ask = Symbol->Ask();
    ColourByNumber(*row, 1, bid);
    ColourByNumber(*row, 2, ask);
    row->setSubItems(1, Symbol->FormatPrice(runtime::Variant(bid)));
    row->setSubItems(2, Symbol->FormatPrice(runtime::Variant(ask)));
    row->setSubItems(5, FormatTimeText(desk_.State(), Symbol->LastQuteTime()));
    if (ports_.frmClosePos->CloseSymbols().Text() == Symbol->Name())
        ports_.frmClosePos->RefreshPrice(ask, bid);
}

void CClientAPIManager::CLAPICLASS_SymbolHighLowChanged(const SymbolPtr& Symbol) {
    platform::ListItem* row = GetMarketWatchItem(*ports_.frmMW, Symbol);
    if (!row) return;
    row->setSubItems(3, Symbol->FormatPrice(runtime::Variant(Symbol->High())));
    row->setSubItems(4, Symbol->FormatPrice(runtime::Variant(Symbol->Low())));
}

// ---- Positions ----

void CClientAPIManager::CLAPICLASS_PosFloatingPLChanged(const PositionPtr& Pos) {
    const DeskState& s = desk_.State();
    // Without its own row the position's old profit is unknown: nothing is written.
    const int32_t ticket = Pos->Ticket();
    char key[kPositionRowKeyChars];
    platform::ListItem* trade = tradeRows_.Find(ports_.frmTrade->lvwOpenPos(), ticket, [&] {
        return PositionRowKey(m_lAccount, ticket, key);
    });
    if (!trade) return;
    const std::string price = Pos->FormatPrice(runtime::Variant(Pos->ClosePrice()));
    const double profit = Pos->FloatingProfitLoss();
    WritePriceByText(*trade, 7, price);
    // In cents as shown: the net rows then add up to the trade rows exactly.
    const std::string& oldText = trade->SubItemText(12);
    const int64_t oldCents = MoneyCents(oldText);
    const std::string profitText = Money(s, profit);
    const int64_t profitCents = profitText == oldText ? oldCents : MoneyCents(profitText);
    trade->setSubItems(12, profitText);

    const int32_t symbolID = Pos->SymbolID();
    const OperationType side = Pos->BuySell();
    platform::ListItem* own =
        netRows_.Find(ports_.frmNetTrade->lvwNetPos(), int64_t{symbolID} * 4 + side + 1,
                      [&] { return NetRowKey(symbolID, side, m_lAccount); });
    if (own) {
        WritePriceByText(*own, 6, price);
        const int64_t netCents = MoneyCents(own->SubItemText(9)) - oldCents + profitCents;
        own->setSubItems(9, CentsText(netCents));
    }
    // The total of all accounts shows the same at the turn's end as when written
    // for each of the thousands of positions a quote revalues.
    if (summaries_) summaries_->NetTotal(symbolID, side, price, [&] { return Pos->SymbolName(); });
}

// ---- Summaries ----

void CClientAPIManager::CLAPICLASS_SummariesChanged(double Balance, double FltPL, double Credit,
                                                    double Equity, double marginReq,
                                                    double MarginLevel, double EffMargin) {
    ForgetShareOfEarlierReset();
    double* own[kSummaryCount] = {&preBalance,   &preFltPL,       &preCredit,   &preEquity,
                                  &preMarginReq, &preMarginLevel, &preEffMargin};
    // One account's bad figure must not poison the totals of all.
    const double now[kSummaryCount] = {Finite(Balance),        Finite(FltPL),
                                       Finite(Credit),         Finite(Equity),
                                       Finite(marginReq) * -1, Finite(MarginLevel) * 100,
                                       Finite(EffMargin)};
    auto& totals = desk_.State().SummaryTotals;
    for (size_t i = 0; i < kSummaryCount; ++i) totals[i] -= *own[i];
    for (size_t i = 0; i < kSummaryCount; ++i) totals[i] += now[i];
    // A server may send the margin requirement positive: the weight is its size.
    if (summaries_)
        summaries_->CountLevel(levelShare_, now[kMarginLevel], std::fabs(now[kMarginReq]));
    static const char* const kLabels[] = {
        "Balance:",       "  Flt P/L:",     "   Credit:",     "  Equity:",
        "  Used Margin:", "  Free Margin:", "  Margin Level:"};
    ShowTotals(kLabels);
    for (size_t i = 0; i < kSummaryCount; ++i) *own[i] = now[i];
    if (summaries_) summaries_->RefreshRow(shared_from_this());
}

}  // namespace OrbanexDesk
