#include "platform/widgets/LabelButton.h"

#include <QFontMetrics>
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

}  // namespace platform::widgets
