#pragma once
// The journal pane: the desk's running log, newest line on top. Lines reach it
// only through Add; they are kept in the list alone (no file), without limit.
#include <QWidget>
#include <functional>
#include <string>

#include "desk/common/DeskProcedures.h"
#include "desk/common/Ports.h"
#include "platform/widgets/ListView.h"

namespace OrbanexDesk {

class frmJournal : public QWidget, public IfrmJournal {
public:
    explicit frmJournal(QWidget* parent = nullptr);
    ~frmJournal() override;

    // Stamps the line with the clock's general date text; Flag is not used.
    void Add(const std::string& Text, int32_t AccountID, bool Flag) override;
    void addToListView(const std::string& Time, int32_t AccountID, const std::string& Text);
    platform::ListView& lvwJournal() { return store_; }
    std::string ColumnWidthsPer() const { return widths_; }
    void setColumnWidthsPer(const std::string& widths);
    // Shows the shell's context menu of that id at the cursor (set by the desk);
    // a right click over a journal with lines asks for "Journal popup", and so do
    // the Menu key and Shift+F10, at the selected line.
    std::function<void(int32_t PopupID)> ShowPopup;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    platform::ListView store_;
    platform::widgets::ListView* view_;
    std::string widths_ = "15,15,68";
    ColumnPercentages cache_;
    bool rightButtonDown_ = false;
    runtime::ScopedConnection mouseDown_, mouseUp_;
};

}  // namespace OrbanexDesk
