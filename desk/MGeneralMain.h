#pragma once
// The desk's composition root: Main creates the desk-wide objects in their
// order, shows the shell (whose load attaches every pane's form), empties the
// trade views and brings "Trade" and "New Position" forward. It is the one
// place that knows every form.
//
// Ending: the shell's close leaves the event loop; End then releases the
// session collection (every session logs out) while the forms and services
// still live; the destructor then clears the message notifier and destroys the
// forms and the services, in that order.
#include <QPointer>
#include <memory>

#include <QWidget>
#include "desk/accounts/frmMain.h"

#include "desk/common/CLocalSettings.h"
#include "desk/common/DeskServices.h"

namespace OrbanelGeneral10 {
class CFileProcess;
class CGenerals;
}  // namespace OrbanelGeneral10

namespace OrbanexDesk {

class CHTMLHELP;
class CQuestionBox;
class Culf;
class DeskForms;
class DeskMessages;
class DeskSound;
class frmClosePos;
class frmMW;
class frmMdiNew;

class MGeneral {
public:
    MGeneral();
    ~MGeneral();
    MGeneral(const MGeneral&) = delete;
    MGeneral& operator=(const MGeneral&) = delete;

    void Main();
    // After the loop: every session is released and logs out. Idempotent.
    void End();

    frmMdiNew& Shell() { return *shell_; }
    DeskServices& Services() { return *services_; }
    DeskMessages& Messages() { return *messages_; }
    DeskForms& Views() { return *forms_; }
    const Culf& LabelLooks() const { return *culf_; }
    frmMain& Accounts() { return *accounts_; }
    frmClosePos& ClosePos() { return *closePos_; }
    CQuestionBox& QuestionBox() { return *questionBox_; }
    frmMW& MW() { return *marketWatch_; }

private:
    void CreateDeskObjects();
    void RegisterForms();
    void ResetTradeViews();
    QWidget* MakeForm(int32_t PaneID);
    void CreateQuestionBox();

    std::unique_ptr<Culf> culf_;
    std::shared_ptr<OrbanelGeneral10::CFileProcess> fileProcess_;
    std::unique_ptr<CLocalSettings> localSettings_;
    std::shared_ptr<OrbanelGeneral10::CGenerals> generals_;
    std::unique_ptr<DeskForms> forms_;
    std::unique_ptr<DeskMessages> messages_;
    std::unique_ptr<DeskSound> sound_;
    std::unique_ptr<DeskServices> services_;
    std::unique_ptr<frmMdiNew> shell_;
    // Owned by its pane once attached, else freed here.
    QPointer<frmMain> accounts_;
    // What the forms made here read; the services hold a copy.
    DeskPorts ports_;
    std::unique_ptr<frmClosePos> closePos_;
    std::unique_ptr<frmMW> marketWatch_;
    std::unique_ptr<CQuestionBox> questionBox_;
    std::shared_ptr<IfrmMsgBox> questionMsgBox_;
    runtime::ScopedConnection questionAnswer_;
    // Made last at start-up; released first, which closes the help window.
    std::unique_ptr<CHTMLHELP> help_;
};

}  // namespace OrbanexDesk
