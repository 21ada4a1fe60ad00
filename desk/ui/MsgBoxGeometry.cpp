#include "desk/ui/MsgBoxGeometry.h"

#include <algorithm>

namespace OrbanexDesk {

bool MsgBoxTextWraps(std::string_view Text) {
    // Continuation bytes (10xxxxxx) do not start a character.
    const auto characters = static_cast<size_t>(std::count_if(Text.begin(), Text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
    return characters >= kMsgBoxWrapLength;
}

MsgBoxGeometry MsgBoxLayout(double LabelTop, double LabelWidth, double LabelHeight,
                            double ButtonWidth, bool TwoButtons) {
    MsgBoxGeometry g{};
    g.FormWidth = std::max(LabelWidth + kMsgBoxExtraWidth, kMsgBoxMinWidth);
    g.FormHeight = LabelHeight + kMsgBoxExtraHeight;
    if (TwoButtons) {
        g.Cmd1Left = g.FormWidth / 2 - ButtonWidth - kMsgBoxButtonHalfGap;
        g.Cmd2Left = g.FormWidth / 2 + kMsgBoxButtonHalfGap;
    } else {
        g.Cmd1Left = (g.FormWidth - ButtonWidth) / 2;
        g.Cmd2Left = g.Cmd1Left;
    }
    g.CmdTop = LabelTop + LabelHeight + kMsgBoxButtonGap;
    return g;
}

}  // namespace OrbanexDesk
