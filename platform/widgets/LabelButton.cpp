#include "platform/widgets/LabelButton.h"

#include <QMouseEvent>

#include "platform/widgets/Color.h"

namespace platform::widgets {

LabelButton::LabelButton(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void LabelButton::setForeColor(int32_t color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ToQColor(color));
    setPalette(p);
}

void LabelButton::setBackColor(int32_t color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(color));
    setPalette(p);
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) Click();
}

void LabelButton::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    MouseEnter();
}

void LabelButton::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    MouseLeave();
}

}  // namespace platform::widgets
