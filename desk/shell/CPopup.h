#pragma once
// The four context bars the lists open at the cursor: accounts, trade, journal
// and pending orders, each under its bar id. Built once; they stay through
// every switch of interface.
#include <vector>

#include "desk/shell/CDockable.h"

namespace OrbanexDesk {

class CPopup {
public:
    // Both must outlive the builder.
    CPopup(platform::widgets::CommandBars& bars, CDockable& dockable);
    void CreateMenu();
    void AddMenuItem();

private:
    platform::widgets::CommandBars& bars_;
    CDockable& dockable_;
    std::vector<platform::widgets::CommandBar*> menus_;
};

}  // namespace OrbanexDesk
