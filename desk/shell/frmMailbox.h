#pragma once
// The mailbox: a list of messages under a bar of label-buttons that answer
// nothing. Its Displayed flag asks the shell to show or close pane 100040,
// which the desk never creates, so only the flag changes.
#include <functional>

#include "desk/common/CPaneDisplay.h"
#include "desk/shell/ShellListForm.h"

class QLabel;

namespace platform::widgets {
class LabelButton;
}  // namespace platform::widgets

namespace OrbanexDesk {

// The pane the attaching step would give it.
constexpr int32_t kPaneMailbox = 100040;

class frmMailbox : public ShellListForm {
public:
    using ShellGetter = std::function<IShell*()>;
    explicit frmMailbox(ShellGetter shell = {}, BarsBuilt barsBuilt = {},
                        QWidget* parent = nullptr);

    bool Displayed() const { return display_.Displayed(); }
    // Stores the flag, then shows (True) or closes (False) the mailbox pane.
    void setDisplayed(bool value) { display_.setDisplayed(value); }

    platform::widgets::ListView& lvwMails() { return List(); }

protected:
    QRect ListArea() const override;

private:
    platform::widgets::LabelButton* AddButton(const char* name, const char* caption);

    // No pane row names the mailbox, so only the pane is shown or closed.
    CPaneDisplay display_;
    QLabel* lblSelect_;
    int barRight_ = 0;
};

}  // namespace OrbanexDesk
