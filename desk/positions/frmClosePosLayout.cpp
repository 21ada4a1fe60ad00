#include "desk/positions/frmClosePosLayout.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>

#include "platform/widgets/Twips.h"

namespace OrbanexDesk {

namespace {
constexpr double kTinyShare = 0.15;
constexpr int kMargin = 3;
constexpr int kBarHeight = 28;
}  // namespace

std::optional<double> LayOutClosePane(QWidget& form, const ClosePaneControls& controls) {
    // A pane squeezed by the shell keeps its last layout.
    const QWidget* shell = form.window();
    if (shell != &form && (form.width() <= kTinyShare * shell->width() ||
                           form.height() <= kTinyShare * shell->height()))
        return std::nullopt;
    controls.Label2.setGeometry(kMargin + 3, kMargin + 4, 45, 18);
    controls.Symbols.setGeometry(kMargin + 50, kMargin, 130, 22);
    controls.chkAllClients.setGeometry(kMargin + 190, kMargin, 110, 22);
    controls.LblCheck.setGeometry(kMargin + 305, kMargin + 2, 150, 20);
    const int gridWidth = std::max(0, form.width() - 2 * kMargin);
    controls.MSH.setGeometry(kMargin, kBarHeight + kMargin, gridWidth,
                             std::max(0, form.height() - kBarHeight - 2 * kMargin));
    // The columns share what lies inside the frame beside a vertical scroll bar,
    // so the Action column never runs under a horizontal one.
    int columnsWidth = gridWidth;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(&controls.MSH))
        columnsWidth -= 2 * area->frameWidth() + area->verticalScrollBar()->sizeHint().width();
    return platform::widgets::PixelsToTwipsX(form, std::max(0, columnsWidth));
}

}  // namespace OrbanexDesk
