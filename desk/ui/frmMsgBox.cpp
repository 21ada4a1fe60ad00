#include "desk/ui/frmMsgBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "desk/ui/MsgBoxGeometry.h"
#include "desk/ui/WindowProcedures.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "runtime/Convert.h"

namespace OrbanexDesk {

namespace {
// The form's design, in twips.
constexpr double kIconLeft = 240;
constexpr double kIconTop = 240;
constexpr double kIconSize = 480;
constexpr double kLabelLeft = 960;
constexpr double kLabelTop = 240;
constexpr double kLabelDesignWidth = 4800;
constexpr double kButtonWidth = 1095;
// The form's height counts its caption and borders; the window's client area does not.
constexpr double kCaptionAndBorders = 400;

int PxX(double twips) {
    return static_cast<int>(std::lround(TwipsToPixelsX(static_cast<float>(twips))));
}
int PxY(double twips) {
    return static_cast<int>(std::lround(TwipsToPixelsY(static_cast<float>(twips))));
}

QIcon IconOf(int32_t icon) {
    QStyle* style = QApplication::style();
    switch (icon) {
        case frmMsgBox::kNoteIcon:
            return style->standardIcon(QStyle::SP_MessageBoxInformation);
        case frmMsgBox::kAlertIcon:
            return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case frmMsgBox::kQuestionIcon:
            return style->standardIcon(QStyle::SP_MessageBoxQuestion);
        case frmMsgBox::kWarningIcon:
            return style->standardIcon(QStyle::SP_MessageBoxCritical);
        default:
            return {};
    }
}

std::string CaptionOf(const runtime::Variant& button) {
    return button.IsNull() || button.IsEmpty() ? std::string() : runtime::CStr(button);
}
}  // namespace

std::shared_ptr<frmMsgBox> frmMsgBox::Create() {
    return std::shared_ptr<frmMsgBox>(new frmMsgBox());
}

// Runs once no open window holds the box: its window is gone or going already.
frmMsgBox::~frmMsgBox() = default;

void frmMsgBox::GeneralStopMsg(const std::string& Text) {
    MessageBox(Text, "Warning", kWarningIcon, runtime::Variant("Ok"),
               runtime::Variant(runtime::Null), false);
    ButtonPessed(1);
}

void frmMsgBox::GeneralNoteMsg(const std::string& Text) {
    MessageBox(Text, "Note", kNoteIcon, runtime::Variant("Ok"), runtime::Variant(runtime::Null),
               false);
    ButtonPessed(1);
}

void frmMsgBox::GeneralQuestionMsg(const std::string& Text) {
    MessageBox(Text, "Alert", kQuestionIcon, runtime::Variant("Yes"), runtime::Variant("No"),
               false);
}

void frmMsgBox::MessageBox(const std::string& Text, const std::string& Caption, int32_t Icon,
                           const runtime::Variant& Button1, const runtime::Variant& Button2,
                           bool /*Option: always on top*/) {
    const auto keep = shared_from_this();  // dismissing the old window may drop the last owner
    Dismiss();
    const bool twoButtons = !Button2.IsNull();
    std::vector<std::string> buttons{CaptionOf(Button1)};
    if (twoButtons) buttons.push_back(CaptionOf(Button2));
    auto* window = new platform::widgets::MessageBoxWindow(Caption, Text, buttons, 2);
    window_ = window;
    auto* img = new QLabel(window);
    img->setObjectName("img");
    img->setPixmap(IconOf(Icon).pixmap(PxX(kIconSize), PxY(kIconSize)));
    img->setGeometry(PxX(kIconLeft), PxY(kIconTop), PxX(kIconSize), PxY(kIconSize));
    // The open window keeps its box alive: ShowMessage's callers drop theirs at once.
    pressed_ = window->ButtonPressed.Connect(
        [self = shared_from_this()](int32_t button) { self->ButtonPessed(button); });
    Arrange(Text, twoButtons);
    CentralizeForm();
    SetTopMost(*window, true);
}

void frmMsgBox::CentralizeForm() {
    if (window_) CenterForm(*window_);
}

// A replaced window goes without a word.
void frmMsgBox::Dismiss() {
    pressed_.Disconnect();
    if (!window_) return;
    window_->hide();
    window_->deleteLater();
    window_ = nullptr;
}

void frmMsgBox::Arrange(const std::string& text, bool twoButtons) {
    QLabel& label = window_->Label();
    const bool wraps = MsgBoxTextWraps(text);
    label.setWordWrap(wraps);
    const int designWidth = PxX(kLabelDesignWidth);
    const int widthPx = wraps ? designWidth : label.sizeHint().width();
    const int heightPx = wraps ? label.heightForWidth(designWidth) : label.sizeHint().height();
    const double labelWidth = PixelsToTwipsX(static_cast<float>(widthPx));
    const double labelHeight = PixelsToTwipsY(static_cast<float>(heightPx));
    label.setGeometry(PxX(kLabelLeft), PxY(kLabelTop), widthPx, heightPx);

    QPushButton& cmd1 = window_->Button(1);
    const int buttonWidthPx = std::max(PxX(kButtonWidth), cmd1.sizeHint().width());
    const double buttonWidth = PixelsToTwipsX(static_cast<float>(buttonWidthPx));
    const MsgBoxGeometry g =
        MsgBoxLayout(kLabelTop, labelWidth, labelHeight, buttonWidth, twoButtons);
    const int buttonHeight = cmd1.sizeHint().height();
    cmd1.setGeometry(PxX(g.Cmd1Left), PxY(g.CmdTop), buttonWidthPx, buttonHeight);
    if (twoButtons)
        window_->Button(2).setGeometry(PxX(g.Cmd2Left), PxY(g.CmdTop), buttonWidthPx, buttonHeight);
    const int clientHeight =
        std::max(PxY(g.FormHeight - kCaptionAndBorders), PxY(g.CmdTop) + buttonHeight);
    window_->setFixedSize(PxX(g.FormWidth), clientHeight);
}

}  // namespace OrbanexDesk
