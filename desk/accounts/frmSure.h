#pragma once
// The "Alert" dialog that confirms "Logout All" and "Remove All": not modal, above
// every window of the desk; its confirm button runs the asked action, either
// button closes it. Enter presses the focused button, Esc cancels. A question
// opens on its confirm button, "Remove All" on its cancel button.
#include <QWidget>
#include <functional>
#include <string>

class QKeyEvent;
class QLabel;
class QPushButton;

namespace OrbanexDesk {

class frmSure : public QWidget {
public:
    struct Actions {
        std::function<void()> mnuLogout_all;
        std::function<void()> mnuremove_all;
    };
    explicit frmSure(Actions actions, QWidget* parent = nullptr);

    // "Logout All" or "Remove All"; any other kind sets nothing. Shows the dialog.
    void GeneralQuestionMsg(const std::string& kind);
    void cmd1_Click();
    void cmd2_Click();

    std::string Message() const;
    // "L", "R" or "" before any known kind.
    const std::string& Kind() const { return kind_; }
    QPushButton& cmd1() { return *cmd1_; }
    QPushButton& cmd2() { return *cmd2_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Actions actions_;
    QLabel* Image1_ = nullptr;
    QLabel* lblMsg_;
    QPushButton* cmd1_;
    QPushButton* cmd2_;
    std::string kind_;
};

}  // namespace OrbanexDesk
