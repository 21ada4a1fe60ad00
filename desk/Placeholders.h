#pragma once
// Stand-ins for the views whose forms come later: each pane gets an empty
// window and the Displayed flag, and each form's port is served over real
// stores, so the account sessions run in the real program. Replaced one by one
// as the forms arrive.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "desk/common/CPaneDisplay.h"
#include "desk/common/DeskServices.h"

namespace OrbanexDesk {

class Placeholders {
public:
    // `services` and `shell` answer at call time (nullptr: not yet made).
    Placeholders(std::function<DeskServices*()> services, std::function<IShell*()> shell);
    ~Placeholders();
    Placeholders(const Placeholders&) = delete;
    Placeholders& operator=(const Placeholders&) = delete;

    // The ports of the stand-in forms; the message and sound ports are the caller's.
    DeskPorts Ports();
    // The view behind a pane of the pane table.
    CPaneDisplay& View(int32_t PaneID);
    // The empty window a pane hosts until its form exists.
    static QWidget* MakeForm(int32_t PaneID);
    // The real forms made so far, by pane; the pane that hosts one owns it.
    std::vector<std::pair<int32_t, QWidget*>> RealForms();

private:
    void WireForms();
    struct Forms;
    std::unique_ptr<Forms> forms_;
};

}  // namespace OrbanexDesk
