#pragma once
// Where the desk's message box puts its form and buttons, in twips, from the
// measured label. Qt-free: the box measures, this decides.
#include <cstddef>
#include <string_view>

namespace OrbanexDesk {

// Texts of this many characters or more wrap within the label's design width.
constexpr size_t kMsgBoxWrapLength = 101;
constexpr double kMsgBoxMinWidth = 3200;
// Added to the label's width and height for the form's.
constexpr double kMsgBoxExtraWidth = 1100;
constexpr double kMsgBoxExtraHeight = 1400;
// Between the label and the buttons, and between two buttons and the middle.
constexpr double kMsgBoxButtonGap = 200;
constexpr double kMsgBoxButtonHalfGap = 100;

struct MsgBoxGeometry {
    double FormWidth;
    double FormHeight;
    double Cmd1Left;
    double Cmd2Left;  // meaningful with two buttons
    double CmdTop;
};

// Characters, not bytes, of a UTF-8 text.
bool MsgBoxTextWraps(std::string_view Text);

MsgBoxGeometry MsgBoxLayout(double LabelTop, double LabelWidth, double LabelHeight,
                            double ButtonWidth, bool TwoButtons);

}  // namespace OrbanexDesk
