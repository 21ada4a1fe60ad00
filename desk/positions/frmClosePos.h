#pragma once
// The close-position pane: the port the sessions and the question box call, over
// the one ClosePosGrid that holds the grid, the marks and the close plans. The
// pane's window is made when the shell attaches pane 100048 and only shows the
// core's stores and routes the operator's clicks, mouse-downs, keys and check box
// to it; the shell owns the window, this object outlives it. GUI thread only.
#include <QPointer>
#include <QWidget>

#include "desk/positions/ClosePosGrid.h"

class QCheckBox;
class QLabel;

namespace platform::widgets {
class ComboBox;
class Grid;
}  // namespace platform::widgets

namespace OrbanexDesk {

class Culf;

class frmClosePos : public IfrmClosePos {
public:
    // `ports` must hold frmMain, frmTrade and Messages whenever the pane is used.
    frmClosePos(const DeskPorts& ports, ClosePosGrid::Hooks hooks);
    ~frmClosePos() override;
    frmClosePos(const frmClosePos&) = delete;
    frmClosePos& operator=(const frmClosePos&) = delete;

    // ---- IfrmClosePos ----
    void Add(int32_t AccountID) override { core_.Add(AccountID); }
    platform::ComboBox& CloseSymbols() override { return core_.CloseSymbols(); }
    void CloseSymbols_Click() override { core_.CloseSymbols_Click(); }
    void Remove() override { core_.Remove(); }
    void RefreshPrice(double ask, double bid) override { core_.RefreshPrice(ask, bid); }
    void searchpos(int32_t account, int32_t ticket, const std::string& text) override {
        core_.searchpos(account, ticket, text);
    }
    void RefreshMSH() override { core_.RefreshMSH(); }
    runtime::Collection<int32_t>& PendingCloses() override { return core_.PendingCloses(); }
    void ResetMSH() override { core_.ResetMSH(); }
    void closepos() override { core_.closepos(); }
    void close_single() override { core_.close_single(); }

    ClosePosGrid& Core() { return core_; }
    // A new window for the pane; `looks` (may be null) lights LblCheck.
    QWidget* MakeForm(const Culf* looks);
    // The window while it exists.
    QWidget* Window() const { return window_.data(); }

private:
    class Form;
    ClosePosGrid core_;
    QPointer<QWidget> window_;
};

}  // namespace OrbanexDesk
