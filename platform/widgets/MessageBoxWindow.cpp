#include "platform/widgets/MessageBoxWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace platform::widgets {

namespace {
class HeldEnterFilter : public QObject {
public:
    explicit HeldEnterFilter(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        return key->isAutoRepeat() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    }
};
}  // namespace

void TakeEnterOnce(QPushButton& button) {
    button.setAutoDefault(true);
    button.installEventFilter(new HeldEnterFilter(&button));
}

MessageBoxWindow::MessageBoxWindow(const std::string& caption, const std::string& text,
                                   const std::vector<std::string>& buttons, int32_t escapeButton)
    // Customised: a message keeps its arrangement, so the frame offers no maximise.
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      label_(new QLabel(QString::fromStdString(text), this)),
      escapeButton_(escapeButton) {
    setWindowTitle(QString::fromStdString(caption));
    setWindowModality(Qt::NonModal);
    // Texts come from files, servers and the operator: never read as markup.
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(true);
    for (size_t i = 0; i < buttons.size(); ++i) {
        auto* button = new QPushButton(QString::fromStdString(buttons[i]), this);
        TakeEnterOnce(*button);
        const auto number = static_cast<int32_t>(i) + 1;
        connect(button, &QPushButton::clicked, this, [this, number] { Report(number); });
        buttons_.push_back(button);
    }
    if (!buttons_.empty()) {
        buttons_.front()->setDefault(true);
        // The box opens on its first button, whatever window had the focus.
        buttons_.front()->setFocus();
    }
    PlaceByDefault();
}

// A readable arrangement until the owner places the controls itself: the text
// above, the buttons in a row below it.
void MessageBoxWindow::PlaceByDefault() {
    constexpr int kMargin = 12, kGap = 8, kTextWidth = 320;
    const int textHeight =
        std::max(label_->heightForWidth(kTextWidth), label_->sizeHint().height());
    label_->setGeometry(kMargin, kMargin, kTextWidth, textHeight);
    int x = kMargin;
    const int y = kMargin + textHeight + kMargin;
    int buttonHeight = 0;
    for (QPushButton* button : buttons_) {
        const QSize hint = button->sizeHint();
        const int width = std::max(80, hint.width());
        button->setGeometry(x, y, width, hint.height());
        x += width + kGap;
        buttonHeight = std::max(buttonHeight, hint.height());
    }
    resize(std::max(kTextWidth + 2 * kMargin, x - kGap + kMargin), y + buttonHeight + kMargin);
}

void MessageBoxWindow::Report(int32_t number) {
    if (reported_) return;
    reported_ = true;
    hide();
    // Later: a handler may still be running on this window's stack.
    deleteLater();
    ButtonPressed(number);
}

void MessageBoxWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Report(escapeButton_);
        return;
    }
    QWidget::keyPressEvent(event);
}

void MessageBoxWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Report(escapeButton_);
}

}  // namespace platform::widgets
