#include "desk/orders/MarketWatch.h"

namespace OrbanexDesk {

MarketWatch::MarketWatch(const DeskPorts& ports, Hooks hooks)
    : ports_(ports), hooks_(std::move(hooks)) {
    for (const char* caption : {"Symbol", "Bid", "Ask", "High", "Low", "Time"})
        lvmw_.AddColumn(caption, 0);
}

void MarketWatch::lvmw_DblClick() {
    if (hooks_.clearFrmlimit) hooks_.clearFrmlimit();
    if (hooks_.ShowMarketOrders) hooks_.ShowMarketOrders();
    const platform::ListItem* row = lvmw_.SelectedItem();
    if (!row || !hooks_.SelectComboText) return;
    // A copy: the combos' handlers may rewrite the market watch.
    const std::string symbol = row->Text();
    if (ports_.frmorder) hooks_.SelectComboText(ports_.frmorder->cbsymbols(), symbol);
    if (ports_.frmlimitorder)
        hooks_.SelectComboText(ports_.frmlimitorder->cblimitordersymbols(), symbol);
    if (ports_.frmClosePos) hooks_.SelectComboText(ports_.frmClosePos->CloseSymbols(), symbol);
}

}  // namespace OrbanexDesk
