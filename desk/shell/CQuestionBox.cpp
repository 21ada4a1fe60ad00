#include "desk/shell/CQuestionBox.h"

namespace OrbanexDesk {

namespace {
constexpr int32_t kYes = 1;
}  // namespace

CQuestionBox::CQuestionBox(const DeskPorts& ports, const DeskState& state, Hooks hooks)
    : ports_(ports), state_(state), hooks_(std::move(hooks)) {}

void CQuestionBox::Show(const std::string& message, int32_t questionType,
                        const runtime::Variant& Value1, const runtime::Variant& Value2,
                        const runtime::Variant& Value3, const runtime::Variant& Value4,
                        const runtime::Variant& Value5) {
    values_ = {Value1, Value2, Value3, Value4, Value5};
    QuestionType_ = questionType;
    if (hooks_.GeneralQuestionMsg) hooks_.GeneralQuestionMsg(message);
}

void CQuestionBox::m_oMsgBox_ButtonPessed(int32_t button) {
    if (button != kYes) return;
    switch (QuestionType_) {
        case kCloseSelectedTrades:
            if (ports_.frmTrade) ports_.frmTrade->closeAllse();
            break;
        case kCloseSelectedGrid:
            if (ports_.frmClosePos) ports_.frmClosePos->closepos();
            break;
        case kCancelOrder:
            if (hooks_.DeleteManagedOrder)
                hooks_.DeleteManagedOrder(state_.CancelOrderAccount, state_.CancelOrderID);
            break;
        case kCloseSingle:
            if (ports_.frmClosePos) ports_.frmClosePos->close_single();
            break;
        default:
            break;
    }
}

void CQuestionBox::Hide() {
    if (hooks_.HideMsgBox) hooks_.HideMsgBox();
}

}  // namespace OrbanexDesk
