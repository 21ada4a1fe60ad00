#pragma once
// The shell: the desk's one main window with its command bars and the nine
// docking panes in which every view lives. Its load builds both, restores the
// saved layout and only then attaches every pane's form (the attach table, filled
// by the composition root; the shell knows no form class). Closing it saves the
// layout and leaves the event loop; the caller ends the program in order.
//
// Commands are dispatched by id through a table that the desk's parts extend;
// an unknown id does nothing. Pane, check and command calls of the shell port
// may come from handlers of the shell's own events.
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "desk/common/DeskServices.h"
#include "desk/common/DeskState.h"
#include "desk/common/Ports.h"
#include "platform/Timer.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/DockingPanes.h"

namespace OrbanexClientAPI10 {
class COrbanexClientAPI;
}

namespace OrbanexDesk {

class CDockable;
class CMenu;
class CPopup;
class CQuestionBox;
class CStatusBar;
class CToolBar;
class LayoutLoadMark;

class frmMdiNew : public QMainWindow, public IShell {
public:
    // Makes the form hosted in a pane; called once, at the pane's attach.
    using FormFactory = std::function<QWidget*()>;
    // A window not painted this long after its load settled (another workspace,
    // an autostart) lets the start's layout mark go: it cannot tell a crash then.
    static constexpr int32_t kUnpaintedMarkMs = 5000;

    frmMdiNew();
    ~frmMdiNew() override;

    // Before Show: the attach table's row of a pane and the view behind its command.
    void RegisterPane(int32_t PaneID, FormFactory Factory, IPaneView* View);
    // Shows the window and runs its load; `state` outlives the shell.
    void Show(DeskState& state);
    // Before Show: what the trade, order and journal commands reach (the ports,
    // the desk state) and the question box of the cancel command; both outlive
    // the shell. Unset, those commands do nothing.
    void setDesk(DeskServices* desk) { desk_ = desk; }
    void setQuestionBox(CQuestionBox* questionBox) { questionBox_ = questionBox; }

    void MDIForm_Load();
    // Saves the layout and leaves the event loop; a failed write is said in one
    // line on standard error, and the loop ends all the same.
    void MDIForm_Unload(int16_t& Cancel);
    void MnuDefultShown();
    platform::widgets::DockingPane* GetPane(int32_t PaneID) const;
    platform::widgets::WindowAction* GetCommandControl(int32_t CommandID);
    void DockingPaneManager_AttachPane(platform::widgets::DockingPane& Item);
    void DockingPaneManager_Action(int32_t Action, platform::widgets::DockingPane& Pane,
                                   bool& Cancel);
    void CommandBars_Execute(platform::widgets::CommandBarControl& Control);

    // Window commands.
    void mnuShowmainaccounts_Click();
    void mnuhideorder_Click();
    void mnuhidelimitorder_Click();
    void mnushow_Journal();
    void mnushow_Trade();
    void mnushowNetTrade_click();
    void ShowPending_Click();
    void ShowMW_Click();
    void mnushow_close();
    void mnuShowAll_Click();
    // Command 100027 and Ctrl+R.
    void ResetInterface();
    // The simple interface (100077) and the ribbon (100078).
    void ResetMenuBar();
    void CreateRibbonBar();

    // Trade, order and journal commands, on the selected row of their list;
    // none selected, or a row that does not read, does nothing.
    void mnuclose_order();
    void mnushow_order1_Click();
    void mnushow_limit2_Click();
    void mnueditor_click();
    void mnucancelor_click();
    void mnuclear_Journal();
    // The add-account dialog: whatever command 100029 runs.
    void mnuLogin_Click();
    // Empty commands. ShowMP_Click has no command id; it stays a member of the
    // window's interface all the same.
    void mnuRefresh_Accounts();
    void ShowMP_Click();
    // Hands the address to the machine's viewer; returns at once. A member of
    // the window's interface, though no command of the desk calls it now.
    void WebBrowse(const std::string& Address);
    // Runs what the id's handler is now; unknown ids do nothing.
    void RunCommand(int32_t CommandID);

    platform::widgets::CommandBars& CommandBars() { return *commandBars_; }
    platform::widgets::DockingPanes& DockingPaneManager() { return *paneManager_; }
    CDockable& Dockable() { return *dockable_; }
    bool Loaded() const { return loaded_; }
    // Whether the pane's form was made (its attach came).
    bool FormAttached(int32_t PaneID) const { return attached_.count(PaneID) != 0; }

    // The shell port.
    void setStatusPaneText(int32_t ID, const std::string& Text) override;
    void setCommandBarControlEnabled(int32_t BarID, int32_t ControlID, bool Enabled) override;
    void SelectPane(int32_t PaneID) override;
    void ClosePane(int32_t PaneID) override;
    bool PaneClosed(int32_t PaneID) const override;
    void setCommandChecked(int32_t CommandID, bool Checked) override;
    bool CommandChecked(int32_t CommandID) const override;
    void UpdateShowAllCheck() override;
    platform::widgets::CommandBarControl* GetCommandBarControl(int32_t ParentID,
                                                               int32_t ControlID) override;
    void AddCommandHandler(int32_t CommandID, std::function<void()> Handler) override;
    void ShowPopup(int32_t BarID) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct PaneEntry {
        FormFactory factory;
        IPaneView* view = nullptr;
    };

    void InitializeCommandBars();
    // The simple interface's menu bar and toolbars, each from a new builder.
    void BuildMenuBar();
    void BuildToolBars();
    void AddWindowActions();
    void AddKeyBindings();
    void LoadCommandBarIcons();
    void LoadCommandBarImages();
    void ExitCommand();
    void ExitSystem();
    void NewPositionFromTrade();
    void NewEntryOrderFromTrade();
    const DeskPorts* Ports() const;
    platform::ListItem* SelectedTrade() const;
    platform::ListItem* SelectedPending() const;
    void RegisterCommands();
    void LoadInterfaceLayout();
    // The start's layout may still crash the window where it paints and settles
    // it, or where its waiting layout is laid out later: each is marked.
    void MarkWaitingLayout(bool starts);
    // Views take their panes' state, then the checks mirror the panes.
    void MirrorPanes();
    // The first start's sizes: the order panes and Market Watch side by side above
    // the two lists.
    void ShareDefaultSizes();
    void AttachForm(platform::widgets::DockingPane& pane);
    IPaneView* View(int32_t PaneID) const;
    void ToggleByCommand(int32_t PaneID, int32_t CommandID);
    void ToggleByFlag(int32_t PaneID);

    std::unique_ptr<platform::widgets::CommandBars> commandBars_;
    std::unique_ptr<platform::widgets::DockingPanes> paneManager_;
    std::unique_ptr<CDockable> dockable_;
    std::unique_ptr<CMenu> menu_;
    std::unique_ptr<CPopup> popup_;
    std::unique_ptr<CStatusBar> statusBar_;
    std::unique_ptr<CToolBar> toolBar_;
    DeskServices* desk_ = nullptr;
    CQuestionBox* questionBox_ = nullptr;
    // Created at load and never used: the shell's own session object.
    std::shared_ptr<OrbanexClientAPI10::COrbanexClientAPI> clientAPI_;
    std::map<int32_t, PaneEntry> paneTable_;
    std::map<int32_t, std::function<void()>> handlers_;
    std::set<int32_t> attached_;
    // From the start's load until the window has painted and settled it.
    std::unique_ptr<LayoutLoadMark> loadMark_;
    bool markGoes_ = false;
    std::unique_ptr<platform::Timer> unpaintedMark_;
    std::unique_ptr<LayoutLoadMark> waitingMark_;
    bool startLayoutWaits_ = false;  // the waiting layout is the start's, not the default's
    DeskState* state_ = nullptr;
    bool commandBarsBuilt_ = false;
    bool loaded_ = false;
    bool attachOpen_ = false;
    bool unloaded_ = false;
};

}  // namespace OrbanexDesk
