#pragma once
// The desk-wide question box: shows a yes/no question in a message box of its own
// and, on "Yes", runs the one desk action that belongs to the question's type. It
// keeps no reference to what was asked about: each action reads its pane's state
// at the answer (the close-position pane remembers its own single close). The box
// is reached through hooks, so the composition root decides which window shows
// it; answers arrive through m_oMsgBox_ButtonPessed. GUI thread only.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "desk/common/DeskServices.h"
#include "runtime/Variant.h"

namespace OrbanexDesk {

class CQuestionBox {
public:
    // The question types and what "Yes" runs.
    static constexpr int32_t kCloseSelectedTrades = 1;  // frmTrade.closeAllse
    static constexpr int32_t kCloseSelectedGrid = 2;    // frmClosePos.closepos
    static constexpr int32_t kCancelOrder = 3;          // DeleteManagedOrder
    static constexpr int32_t kCloseSingle = 4;          // frmClosePos.close_single

    struct Hooks {
        // GeneralQuestionMsg of the box's own message box ("Yes" and "No").
        std::function<void(const std::string&)> GeneralQuestionMsg;
        // Unloads the box's own message box.
        std::function<void()> HideMsgBox;
        // DeleteManagedOrder(Account, OrderID) of the desk's trade-view procedures.
        std::function<void(int32_t, int32_t)> DeleteManagedOrder;
    };

    // `ports` and `state` must outlive this object.
    CQuestionBox(const DeskPorts& ports, const DeskState& state, Hooks hooks);

    int32_t QuestionType() const { return QuestionType_; }
    // Keeps the type and the five values, then asks. Each call replaces the last.
    void Show(const std::string& message, int32_t questionType, const runtime::Variant& Value1 = {},
              const runtime::Variant& Value2 = {}, const runtime::Variant& Value3 = {},
              const runtime::Variant& Value4 = {}, const runtime::Variant& Value5 = {});
    // The optional values of the last Show (1..5); kept, used by nothing.
    const runtime::Variant& Value(size_t i) const { return values_.at(i - 1); }
    // 1 is "Yes": runs the action of QuestionType; anything else runs nothing.
    void m_oMsgBox_ButtonPessed(int32_t button);
    void Hide();

private:
    const DeskPorts& ports_;
    const DeskState& state_;
    Hooks hooks_;
    int32_t QuestionType_ = 0;
    std::array<runtime::Variant, 5> values_;
};

}  // namespace OrbanexDesk
