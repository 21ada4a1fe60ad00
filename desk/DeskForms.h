#pragma once
// The desk's forms: the trade forms and order panes made before any pane exists,
// the views behind the pane table, and the wiring between them (popups, messages,
// the pending list's edit). The composition root hands the forms to their panes
// and their ports to the desk's services.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "desk/common/CPaneDisplay.h"
#include "desk/common/DeskServices.h"

namespace OrbanexDesk {

class DeskForms {
public:
    // `services` and `shell` answer at call time (nullptr: not yet made).
    DeskForms(std::function<DeskServices*()> services, std::function<IShell*()> shell);
    ~DeskForms();
    DeskForms(const DeskForms&) = delete;
    DeskForms& operator=(const DeskForms&) = delete;

    // The ports of the forms made here and the desk procedures' port; the
    // accounts window, dialogs, message and sound ports are the caller's.
    DeskPorts Ports();
    // The view behind a pane of the pane table.
    CPaneDisplay& View(int32_t PaneID);
    // The forms made here, by pane; the pane that hosts one owns it.
    std::vector<std::pair<int32_t, QWidget*>> RealForms();

private:
    void WireForms();
    struct Forms;
    std::unique_ptr<Forms> forms_;
};

}  // namespace OrbanexDesk
