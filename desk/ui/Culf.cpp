#include "desk/ui/Culf.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QTimer>

#include "platform/widgets/Color.h"
#include "platform/widgets/LabelButton.h"

namespace OrbanexDesk {

namespace {
constexpr int kLitPointSize = 10;
constexpr int kUnlitPointSize = 8;
constexpr int kPointerCheckMs = 200;
constexpr const char* kWatchName = "CulfPointerWatch";
constexpr const char* kOffColor = "CulfOffColor";

// The label's size with the lit font: what it claims in either look.
QSize LitSize(const QLabel& label) {
    QFont lit = label.font();
    lit.setUnderline(true);
    lit.setPointSize(kLitPointSize);
    const QString text = label.text();
    const QSize grown = QFontMetrics(lit).size(Qt::TextSingleLine, text) -
                        label.fontMetrics().size(Qt::TextSingleLine, text);
    return label.sizeHint() + grown.expandedTo(QSize(0, 0));
}

void Look(QLabel& label, int32_t color, bool lit);

bool PointerOver(const QLabel& label) {
    return label.isVisible() && QApplication::widgetAt(QCursor::pos()) == &label;
}

void WatchPointer(QLabel& label, int32_t offColor) {
    auto* watch = label.findChild<QTimer*>(kWatchName, Qt::FindDirectChildrenOnly);
    if (!watch) {
        watch = new QTimer(&label);
        watch->setObjectName(kWatchName);
        watch->setInterval(kPointerCheckMs);
        QObject::connect(watch, &QTimer::timeout, &label, [&label, watch] {
            if (PointerOver(label)) return;
            watch->stop();
            Look(label, watch->property(kOffColor).toInt(), false);
        });
    }
    watch->setProperty(kOffColor, offColor);
    watch->start();
}

void Look(QLabel& label, int32_t color, bool lit) {
    if (!lit)
        if (auto* watch = label.findChild<QTimer*>(kWatchName, Qt::FindDirectChildrenOnly))
            watch->stop();
    // A label-button claims that room itself.
    if (label.font().pointSize() != kLitPointSize &&
        !dynamic_cast<platform::widgets::LabelButton*>(&label))
        label.setMinimumSize(label.minimumSize().expandedTo(LitSize(label)));
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, platform::widgets::ToQColor(color));
    label.setPalette(palette);
    QFont font = label.font();
    font.setUnderline(lit);
    font.setPointSize(lit ? kLitPointSize : kUnlitPointSize);
    label.setFont(font);
}
}  // namespace

void Culf::LightONButton(QLabel& label) const {
    Look(label, on_, true);
    WatchPointer(label, off_);
}

void Culf::LightOFFButton(QLabel& label) const {
    Look(label, off_, false);
}

}  // namespace OrbanexDesk
