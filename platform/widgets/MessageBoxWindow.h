#pragma once
// A non-modal, top-most message window. Pressing a button (by the mouse, or by
// Space or Enter while it has the focus; or Esc, or closing the window: the
// escape button) reports the button's number, 1 based, once, and the window
// then deletes itself. Create it with new; it owns itself.
#include <QWidget>
#include <string>
#include <vector>

#include "runtime/Event.h"

class QLabel;
class QPushButton;

namespace platform::widgets {

// Enter presses `button` while it has the focus (outside a dialog Qt gives Enter
// to no button), once per press: a held Enter that opened its window, its
// repeats reaching the new window's focused button, never answers it.
void TakeEnterOnce(QPushButton& button);

class MessageBoxWindow : public QWidget {
public:
    MessageBoxWindow(const std::string& caption, const std::string& text,
                     const std::vector<std::string>& buttons, int32_t escapeButton);

    QLabel& Label() const { return *label_; }
    // 1..ButtonCount.
    QPushButton& Button(size_t number) const { return *buttons_.at(number - 1); }
    size_t ButtonCount() const { return buttons_.size(); }

    runtime::Event<int32_t> ButtonPressed;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceByDefault();
    void Report(int32_t number);

    QLabel* label_;
    std::vector<QPushButton*> buttons_;
    int32_t escapeButton_;
    bool reported_ = false;
};

}  // namespace platform::widgets
