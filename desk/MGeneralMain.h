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

#include "desk/accounts/frmMain.h"
#include "desk/common/CLocalSettings.h"
#include "desk/common/DeskServices.h"

namespace OrbanelGeneral10 {
class CFileProcess;
class CGenerals;
}  // namespace OrbanelGeneral10

namespace OrbanexDesk {

class Culf;
class DeskMessages;
class DeskSound;
class Placeholders;
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
    Placeholders& Views() { return *placeholders_; }
    const Culf& LabelLooks() const { return *culf_; }
    frmMain& Accounts() { return *accounts_; }

private:
    void CreateDeskObjects();
    void RegisterForms();
    void ResetTradeViews();

    std::unique_ptr<Culf> culf_;
    std::shared_ptr<OrbanelGeneral10::CFileProcess> fileProcess_;
    std::unique_ptr<CLocalSettings> localSettings_;
    std::shared_ptr<OrbanelGeneral10::CGenerals> generals_;
    std::unique_ptr<Placeholders> placeholders_;
    std::unique_ptr<DeskMessages> messages_;
    std::unique_ptr<DeskSound> sound_;
    std::unique_ptr<DeskServices> services_;
    std::unique_ptr<frmMdiNew> shell_;
    // Owned by its pane once attached, else freed here.
    QPointer<frmMain> accounts_;
};

}  // namespace OrbanexDesk
