#pragma once
// What the sessions and the panes reach of the desk: the ports, the desk-wide
// state and the one session collection. No globals: the composition root (or a
// test) creates one DeskServices and hands it down. Ports are observers; their
// owner keeps them alive as long as this object.
#include <functional>
#include <memory>

#include "desk/common/DeskState.h"
#include "desk/common/Ports.h"

namespace OrbanexDesk {

class PriceChangedPresenter;

struct DeskPorts {
    IfrmMain* frmMain = nullptr;
    Ifrmaccount* frmaccount = nullptr;
    Ifrmorder* frmorder = nullptr;
    Ifrmlimitorder* frmlimitorder = nullptr;
    IfrmMW* frmMW = nullptr;
    IfrmNetTrade* frmNetTrade = nullptr;
    ICNetPos* CNetPos = nullptr;
    IfrmTrade* frmTrade = nullptr;
    IfrmClosePos* frmClosePos = nullptr;
    IfrmPending* frmPending = nullptr;
    IfrmJournal* frmJournal = nullptr;
    ISound* Sound = nullptr;
    IDeskMessages* Messages = nullptr;
    IShell* Shell = nullptr;
    IMGeneral* MGeneral = nullptr;
};

class DeskServices {
public:
    using ManagersFactory = std::function<ManagersPtr(DeskServices&)>;

    // `factory` makes the session collection on first use (the sessions library
    // provides it; the desk's common part cannot name the class).
    DeskServices(DeskPorts ports, ManagersFactory factory);
    DeskServices(const DeskServices&) = delete;
    DeskServices& operator=(const DeskServices&) = delete;
    ~DeskServices();

    const DeskPorts& Ports() const { return ports_; }
    DeskState& State() { return state_; }
    const DeskState& State() const { return state_; }
    // The one session collection, created on first use.
    ManagersPtr Managers();
    // Releases the collection (its sessions disconnect) before the ports go away.
    void ReleaseManagers();

    // Makes a re-quote dialog's window for its presenter; the presenter owns it.
    // Unset, presenters run without a window.
    using PriceChangedFactory =
        std::function<std::unique_ptr<IfrmPriceChanged>(PriceChangedPresenter&)>;
    void setPriceChangedFactory(PriceChangedFactory factory) {
        priceChangedFactory_ = std::move(factory);
    }
    const PriceChangedFactory& priceChangedFactory() const { return priceChangedFactory_; }

private:
    DeskPorts ports_;
    ManagersFactory factory_;
    DeskState state_;
    ManagersPtr managers_;
    PriceChangedFactory priceChangedFactory_;
};

}  // namespace OrbanexDesk
