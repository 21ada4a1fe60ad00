#include "platform/widgets/LabelButton.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

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

bool LabelButton::TabStop() const {
    return focusPolicy() & Qt::TabFocus;
}

void LabelButton::setTabStop(bool on) {
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

QSize LabelButton::sizeHint() const {
    return WithRoom(QLabel::sizeHint());
}

QSize LabelButton::minimumSizeHint() const {
    return WithRoom(QLabel::minimumSizeHint());
}

QSize LabelButton::WithRoom(QSize own) const {
    if (text().isEmpty() || font().pointSizeF() >= kRoomPointSize) return own;
    QFont large = font();
    large.setPointSizeF(kRoomPointSize);
    large.setUnderline(true);
    const QSize grown = QFontMetrics(large).size(Qt::TextSingleLine, text()) -
                        fontMetrics().size(Qt::TextSingleLine, text());
    return own + grown.expandedTo(QSize(0, 0));
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

void LabelButton::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool press = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (TabStop() && press && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        event->accept();
        if (!event->isAutoRepeat()) Click();  // a held key presses once
        return;
    }
    QLabel::keyPressEvent(event);
}

void LabelButton::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

}  // namespace platform::widgets
