#pragma once
// The Qt forms of the open-positions, net-positions and pending-orders panes.
// Each owns its list's store and shows it through the list view adapter; the
// port is served by the Qt-free core over that store, made at first use (the
// cores need the desk state and the other panes' stores, which exist only once
// the composition root is complete).
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "desk/common/DeskProcedures.h"
#include "desk/positions/CNetPos.h"
#include "desk/positions/COpenPos.h"
#include "desk/positions/CPendingOrds.h"
#include "platform/widgets/ListView.h"

class QCheckBox;
class QLabel;

namespace platform::widgets {
class LabelButton;
}

namespace OrbanexDesk {

class Culf;

// Lays a list over the whole form and keeps its columns at the percentages.
class ListForm : public QWidget {
public:
    ~ListForm() override;
    std::string ColumnWidthsPer() const { return widths_; }
    void setColumnWidthsPer(const std::string& widths);
    platform::widgets::ListView& List() { return *view_; }
    // Shows the shell's context menu of that id at the cursor (set by the desk).
    std::function<void(int32_t PopupID)> ShowPopup;
    // The desk's message box with the default caption.
    std::function<void(const std::string& Text)> ShowMessage;

protected:
    ListForm(const char* name, std::initializer_list<const char*> captions, std::string widths);
    void resizeEvent(QResizeEvent* event) override;
    // A right press selects the row under it; the release over a list with rows
    // shows the popup; so do the Menu key and Shift+F10, at the selected row.
    void setPopup(int32_t PopupID);

    platform::ListView store_;
    platform::widgets::ListView* view_;
    std::string widths_;
    ColumnPercentages cache_;
    bool rightButtonDown_ = false;
    runtime::ScopedConnection mouseDown_, mouseUp_;
};

class frmTrade : public ListForm, public IfrmTrade {
public:
    using CoreFactory = std::function<std::unique_ptr<COpenPos>(platform::ListView& lvwOpenPos)>;
    explicit frmTrade(CoreFactory makeCore);
    ~frmTrade() override;

    void AddPosition(const PositionPtr& Position, int32_t AccountID) override;
    void RemovePosition(int32_t Ticket, int32_t AccountID) override;
    void RemovePending(int32_t Ticket, int32_t AccountID) {
        Core().RemovePending(Ticket, AccountID);
    }
    platform::ListView& lvwOpenPos() override { return store_; }
    void setChkAll(bool checked) override;
    void setLbmSummaries(const std::string& text) override;
    void closeAllse() override;
    COpenPos& Core();
    // "Close Selected Positions": the question when a row is checked.
    void lbbClose_Click();
    platform::widgets::LabelButton& lbbClose() { return *lbbClose_; }
    // The question box (text, question type).
    std::function<void(const std::string& Text, int32_t Type)> AskQuestion;
    // Lights lbbClose while the pointer is over it.
    std::function<const Culf*()> Looks;

private:
    CoreFactory makeCore_;
    std::unique_ptr<COpenPos> core_;
    QCheckBox* chkAll_;
    QWidget* summaryStrip_;  // holds lbmSummaries_
    QLabel* lbmSummaries_;
    platform::widgets::LabelButton* lbbClose_;
    runtime::ScopedConnection closeClick_, lightOn_, lightOff_;
};

class frmNetTrade : public ListForm, public IfrmNetTrade, public ICNetPos {
public:
    // The accounts window's list, asked at first use.
    explicit frmNetTrade(std::function<platform::ListView&()> lvwClients);
    ~frmNetTrade() override;

    platform::ListView& lvwNetPos() override { return store_; }
    double caluclate_profit(const std::string& SymbolName, const std::string& Side) override;
    void PositionAdded(const SymbolPtr& Symbol, int32_t Side, double Lots, double Price,
                       double Commission, double Interest, const runtime::Variant& ProfitLoss,
                       int32_t AccountID) override;
    CNetPos& Core();

private:
    std::function<platform::ListView&()> clients_;
    std::unique_ptr<CNetPos> core_;
};

class frmPending : public ListForm, public IfrmPending {
public:
    using CoreFactory =
        std::function<std::unique_ptr<CPendingOrds>(platform::ListView& lvwPending)>;
    explicit frmPending(CoreFactory makeCore);
    ~frmPending() override;

    void Add(const runtime::Variant& ID, int32_t AccountID, const std::string& Code,
             OrbanelGeneral10::OperationTypeEnum BuySell, double Lots, const SymbolPtr& Symbol,
             const runtime::Variant& Price, const runtime::Variant& SL, const runtime::Variant& TP,
             const std::string& OrderTime, const runtime::Variant& CloseTicket) override;
    void AddOrder(const OrderPtr& Order, int32_t AccountID) override;
    void Removeorder(int32_t OrderID, int32_t AccountID) override {
        Core().Removeorder(OrderID, AccountID);
    }
    void Remove(int32_t OrderID, int32_t AccountID) override { Core().Remove(OrderID, AccountID); }
    void removeClientinfo(int32_t AccountID) override { Core().removeClientinfo(AccountID); }
    void Updateaccount() override { Core().Updateaccount(); }
    platform::ListView& lvwPending() override { return store_; }
    CPendingOrds& Core();
    // Opens the selected order for editing when the entry-order pane offers its symbol.
    void lvwPending_DblClick();
    // The entry-order pane's symbol combo, and the shell's edit-order command.
    std::function<platform::ComboBox*()> EntrySymbols;
    std::function<void()> EditOrder;

private:
    CoreFactory makeCore_;
    std::unique_ptr<CPendingOrds> core_;
    runtime::ScopedConnection dblClick_;
};

}  // namespace OrbanexDesk
