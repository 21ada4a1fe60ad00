#include "desk/ui/Culf.h"

#include <QLabel>

#include "platform/widgets/Color.h"

namespace OrbanexDesk {

namespace {
constexpr int kLitPointSize = 10;
constexpr int kUnlitPointSize = 8;

void Look(QLabel& label, int32_t color, bool lit) {
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
}

void Culf::LightOFFButton(QLabel& label) const {
    Look(label, off_, false);
}

}  // namespace OrbanexDesk
