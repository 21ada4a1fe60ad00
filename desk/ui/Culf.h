#pragma once
// The looks of the panes' label-buttons: lit (its own colour, underlined, 10
// points) while the pointer is over one, unlit (8 points) otherwise. Colours are
// 0xBBGGRR and 0 until the start-up sets them. A label keeps the room of its lit
// text, so its neighbours stay put, and a lit label goes out as soon as the
// pointer is no longer over it, also when a window opened over it took the
// pointer and no leave came.
#include <cstdint>

class QLabel;

namespace OrbanexDesk {

class Culf {
public:
    void LightONButton(QLabel& label) const;
    void LightOFFButton(QLabel& label) const;

    int32_t DockFormLabelButtonOn() const { return on_; }
    void setDockFormLabelButtonOn(int32_t color) { on_ = color; }
    int32_t DockFormLabelButtonOff() const { return off_; }
    void setDockFormLabelButtonOff(int32_t color) { off_ = color; }

private:
    int32_t on_ = 0;
    int32_t off_ = 0;
};

}  // namespace OrbanexDesk
