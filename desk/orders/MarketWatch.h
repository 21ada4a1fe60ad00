#pragma once
// The market watch without its window: the symbol list the sessions write prices
// into, its column layout, and the double click that prepares the order panes for
// a symbol. The window (frmMW) shows lvmw and routes its double click here. What
// belongs to other panes is reached through the ports and the hooks; an empty hook
// is skipped. GUI thread only.
#include <functional>
#include <string>

#include "desk/common/DeskServices.h"
#include "platform/ListView.h"

namespace OrbanexDesk {

class MarketWatch : public IfrmMW {
public:
    struct Hooks {
        // The entry-order pane's reset (clearFrmlimit).
        std::function<void()> clearFrmlimit;
        // The market-order pane shown (its Displayed = true).
        std::function<void()> ShowMarketOrders;
        // SelectComboText(Combo, Text) of the desk procedures: selects Text, adding it
        // when missing, and runs the combo's change handling.
        std::function<void(platform::ComboBox&, const std::string&)> SelectComboText;
    };

    // `ports` must outlive this object; its order panes and close pane may be absent.
    MarketWatch(const DeskPorts& ports, Hooks hooks);

    platform::ListView& lvmw() override { return lvmw_; }
    // Column widths in percent of the list width, comma-separated; let only stores.
    const std::string& ColumnWidthsPer() const { return ColumnWidthsPer_; }
    void setColumnWidthsPer(const std::string& widths) { ColumnWidthsPer_ = widths; }

    // Resets the entry-order pane, shows the market-order pane and, with a row
    // selected, selects its symbol in the market-order, entry-order and close-position
    // panes' symbol combos, in that order.
    void lvmw_DblClick();

private:
    const DeskPorts& ports_;
    Hooks hooks_;
    platform::ListView lvmw_;
    std::string ColumnWidthsPer_ = "20,15,15,15,15,15";
};

}  // namespace OrbanexDesk
