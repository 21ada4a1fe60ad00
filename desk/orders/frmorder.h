#pragma once
// The market-order pane, 100002 "New Position": the window over MarketOrderPane.
// It shows the pane's state, filters the keys of the total and of the in-place
// amount editor through the accounts window, and forwards the operator's acts;
// the port is the pane itself, so a session's write shows here at once.
#include <QPointer>
#include <QWidget>
#include <functional>

#include "desk/common/DeskProcedures.h"
#include "desk/orders/MarketOrderPane.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platform::widgets {
class ComboBox;
class LabelButton;
class ListView;
}  // namespace platform::widgets

namespace OrbanexDesk {

class Culf;

class frmorder : public QWidget, public MarketOrderPane {
public:
    // `looks` answers at call time (nullptr: the label stays unlit).
    frmorder(Hooks hooks, std::function<const Culf*()> looks = {});
    ~frmorder() override;

    platform::widgets::ListView& List() { return *list_; }
    QLineEdit& TxtLvw() { return *txtLvw_; }
    QLineEdit& Txtammount() { return *txtammount_; }
    QPushButton& Cmddis() { return *cmddis_; }
    QPushButton& Cmdbuy() { return *cmdbuy_; }
    QPushButton& Cmdsell() { return *cmdsell_; }
    QCheckBox& ChkAllClients() { return *chkAllClients_; }
    platform::widgets::LabelButton& LblCheck() { return *lblCheck_; }
    void setLooks(std::function<const Culf*()> looks) { looks_ = std::move(looks); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();
    void lvwConClients_MouseUp(int32_t Button, double x);
    void PlaceEditor();
    void CommitEditor();

    std::function<const Culf*()> looks_;
    platform::widgets::ComboBox* cbsymbols_;
    QLineEdit* txtammount_;
    platform::widgets::ComboBox* cbdis_;
    QPushButton* cmddis_;
    QPushButton* cmdbuy_;
    QPushButton* cmdsell_;
    QCheckBox* chkAllClients_;
    platform::widgets::LabelButton* lblCheck_;
    QWidget* checkRoom_;
    platform::widgets::ListView* list_;
    QLineEdit* txtLvw_;
    QLineEdit* txtEditPrice_;
    ColumnPercentages widths_;
    bool syncing_ = false;
    runtime::ScopedConnection mouseUp_, itemCheck_, lightOn_, lightOff_, checkClick_;
};

}  // namespace OrbanexDesk
