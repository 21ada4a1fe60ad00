#include "desk/sessions/SummaryDisplay.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "desk/sessions/CClientAPIManager.h"
#include "platform/EventLoop.h"

namespace OrbanexDesk {

void SummaryDisplay::ShowTotals(const char* const* labels) {
    labels_ = labels;
    Schedule();
}

void SummaryDisplay::RefreshRow(const std::shared_ptr<CClientAPIManager>& session) {
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

void SummaryDisplay::Schedule() {
    if (posted_) return;
    posted_ = true;
    platform::EventLoop::Post([this, alive = std::weak_ptr<bool>(life_)] {
        if (!alive.expired()) Flush();
    });
}

void SummaryDisplay::Flush() {
    posted_ = false;
    const DeskPorts& ports = desk_.Ports();
    if (const char* const* labels = std::exchange(labels_, nullptr)) {
        const DeskState& s = desk_.State();
        const auto& t = s.SummaryTotals;
        const double shown[] = {t[kBalance],   t[kFltPL],     t[kCredit],     t[kEquity],
                                t[kMarginReq], t[kEffMargin], t[kMarginLevel]};
        std::string text;
        for (size_t i = 0; i < std::size(shown); ++i) {
            text += labels[i];
            text += s.StringValues->ToCurrencyVal(runtime::Variant(shown[i]), true);
        }
        text += " %";
        ports.frmTrade->setLbmSummaries(text);
    }
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
