#pragma once
// The market-watch pane: the port the sessions and the desk procedures write
// prices and rows into, over the one MarketWatch core. Its window is made when
// the shell attaches pane 100000; it shows lvmw filling the form, applies the
// column percentages on every resize and routes the double click to the core.
// The shell owns the window, this object outlives it. GUI thread only.
#include <QPointer>
#include <QWidget>

#include "desk/orders/MarketWatch.h"

namespace OrbanexDesk {

class frmMW : public IfrmMW {
public:
    // `ports` may lack the order panes and the close pane (their combos are skipped).
    frmMW(const DeskPorts& ports, MarketWatch::Hooks hooks);
    ~frmMW() override;
    frmMW(const frmMW&) = delete;
    frmMW& operator=(const frmMW&) = delete;

    platform::ListView& lvmw() override { return core_.lvmw(); }
    MarketWatch& Core() { return core_; }
    QWidget* MakeForm();
    QWidget* Window() const { return window_.data(); }

private:
    class Form;
    MarketWatch core_;
    QPointer<QWidget> window_;
};

}  // namespace OrbanexDesk
