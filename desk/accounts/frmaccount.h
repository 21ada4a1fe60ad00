#pragma once
// The add-account dialog, "Add Account Screen": above the other windows, not
// modal. Add mode adds an account; edit mode changes the selected row's. The
// checks and the work are AccountsWindowCore's.
#include <QWidget>

#include "desk/accounts/AccountsWindowCore.h"
#include "desk/common/Ports.h"
#include "platform/ComboBox.h"

class QCheckBox;
class QCloseEvent;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace platform::widgets {
class ComboBox;
}

namespace OrbanexDesk {

class frmaccount : public QWidget, public Ifrmaccount {
public:
    frmaccount(AccountsWindowCore& core, CLoginOptions& options, QWidget* parent = nullptr);
    ~frmaccount() override;

    // Empty boxes, the server list filled afresh; both ticks clear after an edit.
    void ShowAdd();
    // The selected row's values, to be changed by the add button, and the ticks
    // of its saved line; nothing of what the dialog showed before stays.
    void ShowEdit(const std::string& UserName, const std::string& Password,
                  const std::string& AccountText, const SaveTicks& ticks);
    bool EditMode() const { return editMode_; }
    void cmdLoginAA_Click();
    // Closes the dialog, as Escape and the window's close button do.
    void cmdcancel_Click() { close(); }

    QLineEdit& txtusername() { return *txtusername_; }
    QLineEdit& txtpassword() { return *txtpassword_; }
    QLineEdit& txtaccount() { return *txtaccount_; }
    QCheckBox& chkSave() { return *chkSave_; }
    QCheckBox& chkAutoLogin() { return *chkAutoLogin_; }
    QPushButton& cmdLoginAA() { return *cmdLoginAA_; }
    QPushButton& cmdcancel() { return *cmdcancel_; }
    platform::ComboBox& CBServer() { return servers_; }

    void setEnabled(bool enabled) override { QWidget::setEnabled(enabled); }

protected:
    // Escape anywhere closes the dialog; the account box filters its keys.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A closed dialog keeps nothing of the entry it was left on.
    void closeEvent(QCloseEvent* event) override;

private:
    void Present();
    // Empty boxes and both ticks clear: the dialog as built.
    void ResetToBuilt();
    bool txtaccount_KeyPress(QKeyEvent& event);

    AccountsWindowCore& core_;
    CLoginOptions& options_;
    platform::ComboBox servers_;
    QLineEdit* txtusername_;
    QLineEdit* txtpassword_;
    QLineEdit* txtaccount_;
    platform::widgets::ComboBox* CBServer_;
    QCheckBox* chkSave_;
    QCheckBox* chkAutoLogin_;
    QPushButton* cmdLoginAA_;
    QPushButton* cmdcancel_;
    bool editMode_ = false;
};

}  // namespace OrbanexDesk
