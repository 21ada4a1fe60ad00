#include "desk/ui/WindowProcedures.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

namespace OrbanexDesk {

namespace {
constexpr float kTwipsPerInch = 1440;
// Without a screen (never in practice) the classic 96 dots per inch.
constexpr float kFallbackDpi = 96;

float DpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<float>(screen->logicalDotsPerInchX()) : kFallbackDpi;
}
float DpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<float>(screen->logicalDotsPerInchY()) : kFallbackDpi;
}

QPoint CursorIn(const QWidget* window) {
    const QPoint global = QCursor::pos();
    return window ? window->mapFromGlobal(global) : global;
}
}  // namespace

void CenterForm(QWidget& Form) {
    const QScreen* screen = Form.screen() ? Form.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = Form.frameGeometry().size();
    Form.move(area.x() + (area.width() - size.width()) / 2,
              area.y() + (area.height() - size.height()) / 2);
}

void FixDialogFrame(QWidget& Dialog) {
    Qt::WindowFlags flags = Dialog.windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint;
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    Dialog.setWindowFlags(flags);
}

void FitAndCenter(QWidget& Dialog) {
    if (QLayout* layout = Dialog.layout()) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->activate();
    } else {
        Dialog.setFixedSize(Dialog.size());
    }
    CenterForm(Dialog);
}

void SelectAllText(QLineEdit& TextBox) {
    TextBox.setSelection(0, static_cast<int>(TextBox.text().size()));
}

void SelectAllTextOnFocus(QLineEdit& TextBox) {
    QLineEdit* box = &TextBox;
    QTimer::singleShot(0, box, [box] { SelectAllText(*box); });
}

bool MovesFocus(const QKeyEvent& Key) {
    return Key.key() == Qt::Key_Tab || Key.key() == Qt::Key_Backtab;
}

int32_t GetCursorX(const QWidget* hWnd) {
    return CursorIn(hWnd).x();
}

int32_t GetCursorY(const QWidget* hWnd) {
    return CursorIn(hWnd).y();
}

float TwipsToPixelsX(float Twips) {
    return Twips / (kTwipsPerInch / DpiX());
}
float TwipsToPixelsY(float Twips) {
    return Twips / (kTwipsPerInch / DpiY());
}
float PixelsToTwipsX(float Pixels) {
    return Pixels * kTwipsPerInch / DpiX();
}
float PixelsToTwipsY(float Pixels) {
    return Pixels * kTwipsPerInch / DpiY();
}

void SetTopMost(QWidget& Window, bool TopMost) {
    const bool shown = Window.isVisible();
    if (Window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) != TopMost) {
        // Changing the flag hides a shown window and may lose its place.
        const QPoint place = Window.pos();
        Window.setWindowFlag(Qt::WindowStaysOnTopHint, TopMost);
        if (shown) Window.move(place);
    }
    Window.show();
    // A window shown just now is in front already.
    if (shown) Window.raise();
}

void SetTopMost(WId hWnd, bool TopMost) {
    if (QWidget* window = QWidget::find(hWnd)) SetTopMost(*window, TopMost);
}

}  // namespace OrbanexDesk
