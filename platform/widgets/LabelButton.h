#pragma once
// A label that acts as a button: Click on a left press and release over it,
// MouseEnter/MouseLeave for the hover looks. Colours are 0xBBGGRR. The hover
// look may enlarge the text up to RoomPointSize points: the button claims that
// room from the start, so that its neighbours never move. A tab stop also takes
// the focus by Tab (a click never gives it the focus), shows a focus frame, and
// raises Click on Enter or Space.
#include <QLabel>
#include <cstdint>

#include "runtime/Event.h"

namespace platform::widgets {

class LabelButton : public QLabel {
public:
    explicit LabelButton(QWidget* parent = nullptr);

    void setForeColor(int32_t color);
    void setBackColor(int32_t color);
    static constexpr double kRoomPointSize = 10;

    // Off when made: a label is the mouse's alone.
    bool TabStop() const;
    void setTabStop(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    runtime::Event<> Click;
    runtime::Event<> MouseEnter;
    runtime::Event<> MouseLeave;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QSize WithRoom(QSize own) const;

    bool pressed_ = false;
};

}  // namespace platform::widgets
