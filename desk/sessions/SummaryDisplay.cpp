#include "desk/sessions/SummaryDisplay.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

#include "desk/common/MGeneral.h"
#include "desk/sessions/CClientAPIManager.h"
#include "desk/sessions/PriceCells.h"
#include "platform/EventLoop.h"

namespace OrbanexDesk {

// ---- Margin level ----

void SummaryDisplay::ForgetLevelsOfEarlierReset() {
    const uint64_t resets = desk_.State().SummaryResets;
    if (resets_ == resets) return;
    resets_ = resets;
    weightedLevels_ = margins_ = levels_ = 0;
    counted_ = 0;
}

void SummaryDisplay::CountLevel(LevelShare& share, double level, double margin) {
    UncountLevel(share);
    share = {level, margin, true, resets_};
    weightedLevels_ += level * margin;
    margins_ += margin;
    levels_ += level;
    ++counted_;
}

bool SummaryDisplay::UncountLevel(LevelShare& share) {
    ForgetLevelsOfEarlierReset();
    const LevelShare old = std::exchange(share, {});
    if (!old.counted || old.resets != resets_) return false;
    if (--counted_ == 0) {
        // Nothing left to weigh: no rounding residue carries over to the next login.
        weightedLevels_ = margins_ = levels_ = 0;
        return true;
    }
    weightedLevels_ -= old.level * old.margin;
    margins_ -= old.margin;
    levels_ -= old.level;
    return true;
}

double SummaryDisplay::MarginLevel() {
    ForgetLevelsOfEarlierReset();
    if (counted_ == 0) return 0;
    if (margins_ >= kMinWeighingMargin) return weightedLevels_ / margins_;
    return levels_ / static_cast<double>(counted_);
}

// ---- Pending writes ----

void SummaryDisplay::ShowTotals(const char* const* labels) {
    if (closed_) return;
    labels_ = labels;
    Schedule();
}

void SummaryDisplay::RefreshRow(const std::shared_ptr<CClientAPIManager>& session) {
    if (closed_) return;
    if (session->summaryRowPending_) return;
    session->summaryRowPending_ = true;
    rows_.push_back(session);
    Schedule();
}

void SummaryDisplay::ForgetRow(CClientAPIManager* session) {
    if (!session->summaryRowPending_) return;
    const auto at = std::find_if(rows_.begin(), rows_.end(), [session](const auto& weak) {
        return weak.lock().get() == session;
    });
    if (at != rows_.end()) rows_.erase(at);
    session->summaryRowPending_ = false;
}

void SummaryDisplay::NetTotal(int32_t symbolID, int32_t side, const std::string& price,
                              const std::function<std::string()>& symbolName) {
    if (closed_) return;
    auto at = std::find_if(totals_.begin(), totals_.end(), [&](const Total& t) {
        return t.symbolID == symbolID && t.side == side;
    });
    if (at == totals_.end()) {
        const platform::ListItem* row =
            desk_.Ports().frmNetTrade->lvwNetPos().Find(NetRowKey(symbolID, side));
        const std::string shown = row ? row->SubItems(6) : price;
        at = totals_.insert(totals_.end(), Total{symbolID, side, symbolName(), shown});
    }
    if (at->price != price) {
        at->red = at->price > price;
        at->price = price;
        at->priceChanged = true;
    }
    Schedule();
}

void SummaryDisplay::WriteTotals() {
    const DeskPorts& ports = desk_.Ports();
    for (const Total& t : std::exchange(totals_, {})) {
        platform::ListItem* row =
            ports.frmNetTrade->lvwNetPos().Find(NetRowKey(t.symbolID, t.side));
        if (!row) continue;
        // A price that moved and came back still takes its last move's colour.
        const std::string shown = row->SubItems(6);
        if (t.priceChanged || shown != t.price)
            WritePriceCell(*row, 6, t.price, t.priceChanged ? t.red : shown > t.price);
        const char* sideText = t.side == OrbanelGeneral10::BuyType ? "Buy" : "Sell";
        const double profit = ports.CNetPos->caluclate_profit(t.name, sideText);
        row->setSubItems(9,
                         desk_.State().StringValues->ToCurrencyVal(runtime::Variant(profit), true));
    }
}

void SummaryDisplay::Close() {
    closed_ = true;
    life_.reset();
    rows_.clear();
    totals_.clear();
    labels_ = nullptr;
}

void SummaryDisplay::Schedule() {
    if (posted_ || closed_) return;
    posted_ = true;
    platform::EventLoop::Post([this, alive = std::weak_ptr<bool>(life_)] {
        if (!alive.expired()) Flush();
    });
}

void SummaryDisplay::Flush() {
    posted_ = false;
    if (closed_) return;
    const DeskPorts& ports = desk_.Ports();
    if (const char* const* labels = std::exchange(labels_, nullptr)) {
        const DeskState& s = desk_.State();
        const auto& t = s.SummaryTotals;
        const double shown[] = {t[kBalance],   t[kFltPL],     t[kCredit],   t[kEquity],
                                t[kMarginReq], t[kEffMargin], MarginLevel()};
        std::string text;
        for (size_t i = 0; i < std::size(shown); ++i) {
            text += labels[i];
            text += s.StringValues->ToCurrencyVal(runtime::Variant(shown[i]), true);
        }
        text += " %";
        ports.frmTrade->setLbmSummaries(text);
    }
    WriteTotals();
    // A refresh may run handlers that ask for more: they go to the next turn.
    const auto rows = std::exchange(rows_, {});
    for (const auto& weak : rows) {
        const std::shared_ptr<CClientAPIManager> session = weak.lock();
        if (!session || !session->summaryRowPending_) continue;
        session->summaryRowPending_ = false;
        ports.frmMain->refreshsummery_Click(session->RowKey());
    }
}

}  // namespace OrbanexDesk
