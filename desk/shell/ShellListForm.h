#pragma once
// The list every small shell view shows: one report list whose column widths are
// kept as percentages of its width. On a resize, once the shell's command bars
// are built, the widths the operator left are read back as percentages, the
// list is laid into the form and the percentages are applied to its new width.
// GUI thread only.
#include <QRect>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <string>

#include "desk/common/DeskProcedures.h"
#include "platform/ListView.h"
#include "platform/widgets/ListView.h"

namespace OrbanexDesk {

class ShellListForm : public QWidget {
public:
    // Answers whether the shell's command bars are built; empty: always.
    using BarsBuilt = std::function<bool()>;

    ~ShellListForm() override;

    std::string ColumnWidthsPer() const { return widths_; }
    void setColumnWidthsPer(const std::string& widths) { widths_ = widths; }
    void Form_Resize();

    platform::widgets::ListView& List() { return *view_; }

protected:
    ShellListForm(const char* formName, const char* listName,
                  std::initializer_list<const char*> captions, std::string widths,
                  BarsBuilt barsBuilt, QWidget* parent);
    void resizeEvent(QResizeEvent* event) override;
    // Where the list goes; the whole form unless a form keeps a bar above it.
    virtual QRect ListArea() const { return rect(); }
    // Adds one row and removes it again, as the alerts and mailbox do at load.
    void AddAndRemoveRow();

    platform::ListView store_;
    platform::widgets::ListView* view_;

private:
    std::string widths_;
    ColumnPercentages cache_;
    BarsBuilt barsBuilt_;
    // Widths are read back only once they were laid out for a real width:
    // before that they are the first placeholders, not the operator's.
    bool laidOut_ = false;
};

}  // namespace OrbanexDesk
