#pragma once
// The desk's own message box: sized to its text, one of four icons, one or two
// buttons, above every window, never modal. Each MessageBox call shows a window
// and returns at once; a button or Esc raises ButtonPessed and closes it. While
// its window is open the box keeps itself alive, so a caller may drop it at
// once. A second MessageBox on the same box replaces the open window (which
// then reports nothing).
#include <QPointer>
#include <memory>
#include <string>

#include "desk/common/Ports.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "runtime/Event.h"

namespace OrbanexDesk {

class frmMsgBox : public IfrmMsgBox, public std::enable_shared_from_this<frmMsgBox> {
public:
    enum Icon : int32_t { kNoteIcon = 1, kAlertIcon = 2, kQuestionIcon = 3, kWarningIcon = 4 };

    static std::shared_ptr<frmMsgBox> Create();
    ~frmMsgBox() override;
    frmMsgBox(const frmMsgBox&) = delete;
    frmMsgBox& operator=(const frmMsgBox&) = delete;

    void GeneralStopMsg(const std::string& Text) override;
    void GeneralNoteMsg(const std::string& Text) override;
    void GeneralQuestionMsg(const std::string& Text) override;
    void MessageBox(const std::string& Text, const std::string& Caption, int32_t Icon,
                    const runtime::Variant& Button1, const runtime::Variant& Button2,
                    bool Option) override;
    void CentralizeForm() override;

    // The open window (its label, buttons and the icon label "img"); nullptr
    // when the box is closed.
    platform::widgets::MessageBoxWindow* Window() const { return window_.data(); }

private:
    frmMsgBox() = default;
    void Dismiss();
    void Arrange(const std::string& text, bool twoButtons);

    QPointer<platform::widgets::MessageBoxWindow> window_;
    runtime::Connection pressed_;
};

}  // namespace OrbanexDesk
