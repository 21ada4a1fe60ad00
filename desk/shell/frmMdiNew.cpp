#include "desk/shell/frmMdiNew.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <filesystem>
#include <system_error>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/Displayed.h"
#include "desk/common/PaneTable.h"
#include "desk/shell/CDockable.h"
#include "desk/shell/GetCommandBarControl.h"
#include "desk/shell/LayoutFile.h"
#include "platform/Paths.h"

namespace OrbanexDesk {

using platform::widgets::CommandBarControl;
using platform::widgets::DockingPane;
using platform::widgets::WindowAction;

namespace {
constexpr int32_t kStatusMessage = 100021;
constexpr int32_t kStatusConnection = 100026;
constexpr int32_t kStretch = 134217728;
constexpr int32_t kBorderless = 256;
constexpr const char* kLayoutPath = "\\Manage\\Interface.vfx";
constexpr const char* kImages = "\\images and icons\\QDsk\\";

struct Item {
    int32_t id;
    const char* caption;
    bool group;
};

// The "&View" popup's window items; the last two stand in for the ribbon's
// view tab until it exists.
constexpr Item kViewItems[] = {
    {100013, "New Position", false},
    {100036, "New Entry Order", false},
    {100054, "Close Position", false},
    {100011, "Accountsss list", true},
    {100063, "Market Watch", true},
    {100042, "Journal", true},
    {100043, "Trade", false},
    {100062, "Pending Orders", false},
    {100061, "Net Trade", false},
    {kCmdShowAll, "&Trade Panel", true},
    {100027, "&Reset Interface", false},
};

// In registration order; 100013 twice, the later text stands.
constexpr Item kWindowActions[] = {
    {100061, "Net Trade", false},         {100054, "Close Position", false},
    {100011, "Accounts List", false},     {100013, "New Order", false},
    {100036, "New Entry Order", false},   {100013, "New Position", false},
    {100042, "Journal", false},           {100043, "Trade", false},
    {100062, "Pending Order", false},     {100063, "Market Watch", false},
    {kCmdShowAll, "&Trade Panel", false},
};

struct StatusPane {
    int32_t id;
    int32_t width;
};
constexpr StatusPane kStatusPanes[] = {{100021, 0},   {100022, 30}, {100023, 60},
                                       {100024, 130}, {100025, 90}, {100026, 90}};

struct Image {
    const char* file;
    int32_t id;
};
constexpr Image kIcons[] = {
    {"PicLS.ico", 100036},
    {"PicNO.ico", 100013},
    {"PicAccount.ico", 100011},
    {"PicShowAll.ico", 100076},
    {"InterfaceImg.ico", 100078},
    {"mnusaveas.ico", 100006},
    {"PicResetInterface.ico", 100027},
    {"PicLogon.ico", 100029},
    {"mnuLogin.ico", 100026},
    {"mnu_Login.ico", 100018},
    {"mnuremove.ico", 100020},
    {"mnuremoveall.ico", 100034},
    {"mnulogoutall.ico", 100033},
    {"mnulogout.ico", 100019},
    {"PicJournal.ico", 100042},
    {"PicTerminal.ico", 100043},
    {"PicTerminal.ico", 100043},
    {"pending1.ico", 100062},
    {"PicNetTrade.ico", 100061},
    {"Close ordedr.ico", 100054},
    {"PicLogon.ico", 100057},
    {"PicSymbol.ico", 100063},
    {"PicHelp.ico", 100009},
    {"PicAbout.ico", 100010},
    {"mnu_Exit.ico", 100066},
    {"mnu_Login.ico", 100032},
    {"PicAsk.ico", 100067},
    {"CrosshairsImg.ico", 100068},
    {"PicGrid.ico", 100069},
    {"PicBitmap.ico", 100070},
    {"PicPrint.ico", 100071},
    {"PicList.ico", 100072},
    {"PicClear.ico", 100073},
    {"chat.ico", 100075},
    {"PicHotkey.ico", 100074},
};
constexpr Image kPictures[] = {
    {"logo.png", 5001},           {"mnu_Exit.png", 100066},
    {"PicHelp.png", 100009},      {"PicAbout.png", 100010},
    {"mnu_Exit.png", 100066},     {"mnu_Login.png", 100032},
    {"PicAsk.png", 100067},       {"CrosshairsImg.png", 100068},
    {"PicGrid.png", 100069},      {"PicBitmap.png", 100070},
    {"PicPrint.png", 100071},     {"PicList.png", 100072},
    {"PicClear.png", 100073},     {"chat.png", 100075},
    {"PicHotkey.png", 100074},    {"PicResetInterface.png", 100027},
    {"InterfaceImg.png", 100077}, {"PicLogon.png", 100029},
    {"PicLogon.png", 100057},     {"PicLogon.png", 100013},
    {"PicLS.png", 100036},        {"PicSymbol.png", 100063},
    {"PicSymbol.png", 100063},    {"PicShowAll.png", 100076},
};

// The order in which the checks are set from the panes.
constexpr int32_t kCheckOrder[] = {kPaneMarketWatch,  kPaneNewEntryOrder, kPaneNewPosition,
                                   kPaneAccountsList, kPaneJournal,       kPaneTrade,
                                   kPanePendingOrder, kPaneNetTrade,      kPaneClosePosition};
constexpr int32_t kTradePanelCommands[] = {100042, 100061, 100043, 100062, 100011};
}  // namespace

frmMdiNew::frmMdiNew() = default;

frmMdiNew::~frmMdiNew() {
    // The bars and panes disconnect before the window's widgets go.
    dockable_.reset();
    paneManager_.reset();
    commandBars_.reset();
}

void frmMdiNew::RegisterPane(int32_t PaneID, FormFactory Factory, IPaneView* View) {
    paneTable_[PaneID] = PaneEntry{std::move(Factory), View};
}

void frmMdiNew::Show(DeskState& state) {
    state_ = &state;
    MDIForm_Load();
}

// ---- Load and unload ----

void frmMdiNew::MDIForm_Load() {
    if (loaded_) return;
    loaded_ = true;
    setWindowState(Qt::WindowMaximized);
    show();
    setWindowTitle(QString::fromStdString(CompanyName()));
    commandBars_ = std::make_unique<platform::widgets::CommandBars>(*this);
    paneManager_ = std::make_unique<platform::widgets::DockingPanes>(*this);
    paneManager_->AttachPane.Connect(
        [this](DockingPane& pane) { DockingPaneManager_AttachPane(pane); });
    paneManager_->Action.Connect([this](int32_t action, DockingPane& pane, bool& cancel) {
        DockingPaneManager_Action(action, pane, cancel);
    });
    commandBars_->Execute.Connect([this](CommandBarControl& c) { CommandBars_Execute(c); });
    InitializeCommandBars();
    setStatusPaneText(kStatusConnection, "Disconnected");
    MnuDefultShown();
    LoadInterfaceLayout();
    if (state_) state_->ClientGMTOffset = 123;
    UpdateShowAllCheck();
    clientAPI_ = std::make_shared<OrbanexClientAPI10::COrbanexClientAPI>();
    // Every form loads now, whatever the layout hides, in the table's order.
    attachOpen_ = true;
    for (const PaneRow& row : kPaneTable)
        if (DockingPane* pane = GetPane(row.id)) AttachForm(*pane);
}

void frmMdiNew::MDIForm_Unload(int16_t& Cancel) {
    (void)Cancel;
    if (unloaded_ || !loaded_) return;
    unloaded_ = true;
    const std::string text = paneManager_->SaveLayout() + "\r\n" + commandBars_->SaveLayout();
    try {
        const std::filesystem::path path = platform::ResolvePath(kLayoutPath);
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        platform::AtomicWriteFile(path, text);
    } catch (...) {
        // Not reported: the program ends all the same.
    }
    QCoreApplication::exit(0);
}

void frmMdiNew::closeEvent(QCloseEvent* event) {
    int16_t cancel = 1;
    MDIForm_Unload(cancel);
    event->accept();
}

void frmMdiNew::LoadInterfaceLayout() {
    const auto lines = ReadLayoutLines(platform::ResolvePath(kLayoutPath));
    dockable_->LoadLayout(lines[0], lines[1]);
    MirrorPanes();
}

void frmMdiNew::ResetInterface() {
    dockable_->ResetInterface();
    MirrorPanes();
    UpdateShowAllCheck();
}

void frmMdiNew::MirrorPanes() {
    for (const PaneRow& row : kPaneTable)
        if (IPaneView* view = View(row.id)) view->FollowPane(!PaneClosed(row.id));
    MnuDefultShown();
}

// ---- Command bars ----

void frmMdiNew::InitializeCommandBars() {
    dockable_ = std::make_unique<CDockable>(*paneManager_, *commandBars_);
    CreateViewMenu();
    CreateStatusBar();
    AddWindowActions();
    AddKeyBindings();
    LoadCommandBarImages();
    RegisterCommands();
    commandBarsBuilt_ = true;
}

void frmMdiNew::CreateViewMenu() {
    auto& menuBar = commandBars_->AddMenuBar("Menu Bar");
    auto& view = menuBar.AddControl(CommandBarControl::Popup, kBarView, "&View");
    auto* dropDown = view.DropDownBar();
    dropDown->setBarId(kBarView);
    for (const Item& item : kViewItems)
        dockable_->AddToolButton(*dropDown, CommandBarControl::Button, item.id, item.caption, -1,
                                 item.group, "", 0, "");
}

void frmMdiNew::CreateStatusBar() {
    commandBars_->setStatusBarVisible(true);
    for (const StatusPane& p : kStatusPanes) {
        auto& pane = commandBars_->AddStatusPane(p.id);
        if (p.width) pane.setWidth(p.width);
        if (p.id == 100025 || p.id == 100026) pane.setStyle(kBorderless);
        if (p.id >= 100022 && p.id <= 100025) pane.setText("");
    }
    commandBars_->setStatusPaneStyle(0, kStretch);
}

void frmMdiNew::AddWindowActions() {
    for (const Item& a : kWindowActions)
        commandBars_->AddAction(a.id, a.caption, a.caption, a.caption, "com");
}

void frmMdiNew::AddKeyBindings() {
    commandBars_->AddKeyBinding(8, 'R', 100027);
}

void frmMdiNew::LoadCommandBarImages() {
    const std::string folder = kImages;
    for (const Image& i : kIcons)
        commandBars_->LoadIcon(platform::ResolvePath(folder + i.file).string(), i.id);
    for (const Image& i : kPictures)
        commandBars_->LoadPicture(platform::ResolvePath(folder + i.file).string(), i.id);
}

void frmMdiNew::RegisterCommands() {
    const std::pair<int32_t, void (frmMdiNew::*)()> table[] = {
        {100011, &frmMdiNew::mnuShowmainaccounts_Click},
        {100013, &frmMdiNew::mnuhideorder_Click},
        {100027, &frmMdiNew::ResetInterface},
        {100036, &frmMdiNew::mnuhidelimitorder_Click},
        {100042, &frmMdiNew::mnushow_Journal},
        {100043, &frmMdiNew::mnushow_Trade},
        {100054, &frmMdiNew::mnushow_close},
        {100061, &frmMdiNew::mnushowNetTrade_click},
        {100062, &frmMdiNew::ShowPending_Click},
        {100063, &frmMdiNew::ShowMW_Click},
        {kCmdShowAll, &frmMdiNew::mnuShowAll_Click},
    };
    for (const auto& [id, handler] : table)
        AddCommandHandler(id, [this, h = handler] { (this->*h)(); });
}

void frmMdiNew::CommandBars_Execute(CommandBarControl& Control) {
    auto it = handlers_.find(Control.Id());
    if (it == handlers_.end()) return;
    // A handler may replace itself.
    const std::function<void()> handler = it->second;
    handler();
}

void frmMdiNew::AddCommandHandler(int32_t CommandID, std::function<void()> Handler) {
    handlers_[CommandID] = std::move(Handler);
}

// ---- Panes ----

DockingPane* frmMdiNew::GetPane(int32_t PaneID) const {
    return paneManager_ ? paneManager_->FindPane(PaneID) : nullptr;
}

WindowAction* frmMdiNew::GetCommandControl(int32_t CommandID) {
    return commandBars_ ? commandBars_->FindAction(CommandID) : nullptr;
}

void frmMdiNew::DockingPaneManager_AttachPane(DockingPane& Item) {
    // Forms load only after the layout: the load attaches them all at its end.
    if (attachOpen_) AttachForm(Item);
}

void frmMdiNew::AttachForm(DockingPane& pane) {
    if (!attached_.insert(pane.Id()).second) return;
    auto it = paneTable_.find(pane.Id());
    if (it == paneTable_.end() || !it->second.factory) return;
    if (QWidget* form = it->second.factory()) pane.setWidget(form);
}

void frmMdiNew::DockingPaneManager_Action(int32_t Action, DockingPane& Pane, bool& Cancel) {
    (void)Cancel;
    const ViewPane* row = FindPaneRow(Pane.Id()) ? FindViewPane(Pane.Id()) : nullptr;
    if (Action == 3) {
        if (row) {
            setCommandChecked(row->CommandID, false);
            if (IPaneView* view = View(row->PaneID)) view->FollowPane(false);
        }
        UpdateShowAllCheck();
    } else if ((Action == 7 || Action == 14) && row) {
        setCommandChecked(row->CommandID, true);
        if (IPaneView* view = View(row->PaneID)) view->FollowPane(true);
    }
}

void frmMdiNew::MnuDefultShown() {
    for (int32_t id : kCheckOrder) {
        bool checked = !PaneClosed(id);
        if (id == kPaneMarketWatch) {
            IPaneView* view = View(id);
            checked = checked && view && view->Displayed();
        }
        setCommandChecked(FindViewPane(id)->CommandID, checked);
    }
}

IPaneView* frmMdiNew::View(int32_t PaneID) const {
    auto it = paneTable_.find(PaneID);
    return it == paneTable_.end() ? nullptr : it->second.view;
}

// ---- Window commands ----

void frmMdiNew::ToggleByCommand(int32_t PaneID, int32_t CommandID) {
    // The check still shows the state from before the click.
    if (IPaneView* view = View(PaneID)) view->setDisplayed(!CommandChecked(CommandID));
}

void frmMdiNew::ToggleByFlag(int32_t PaneID) {
    if (IPaneView* view = View(PaneID)) view->setDisplayed(!view->Displayed());
}

void frmMdiNew::mnuShowmainaccounts_Click() {
    ToggleByCommand(kPaneAccountsList, 100011);
}
void frmMdiNew::mnuhideorder_Click() {
    ToggleByFlag(kPaneNewPosition);
}
void frmMdiNew::mnuhidelimitorder_Click() {
    ToggleByFlag(kPaneNewEntryOrder);
}
void frmMdiNew::mnushow_Journal() {
    ToggleByCommand(kPaneJournal, 100042);
}
void frmMdiNew::mnushow_Trade() {
    ToggleByCommand(kPaneTrade, 100043);
}
void frmMdiNew::mnushowNetTrade_click() {
    ToggleByCommand(kPaneNetTrade, 100061);
}
void frmMdiNew::ShowPending_Click() {
    ToggleByCommand(kPanePendingOrder, 100062);
}
void frmMdiNew::ShowMW_Click() {
    ToggleByCommand(kPaneMarketWatch, 100063);
}

void frmMdiNew::mnushow_close() {
    CommandBarControl* control = GetCommandBarControl(kBarView, 100054);
    if (IPaneView* view = View(kPaneClosePosition))
        view->setDisplayed(!(control && control->Checked()));
}

void frmMdiNew::mnuShowAll_Click() {
    const bool shown = !CommandChecked(kCmdShowAll);
    for (int32_t id :
         {kPaneAccountsList, kPaneJournal, kPanePendingOrder, kPaneTrade, kPaneNetTrade})
        if (IPaneView* view = View(id)) view->setDisplayed(shown);
}

// ---- Shell port ----

void frmMdiNew::setStatusPaneText(int32_t ID, const std::string& Text) {
    if (commandBars_)
        if (auto* pane = commandBars_->StatusPane(ID)) pane->setText(Text);
}

void frmMdiNew::setCommandBarControlEnabled(int32_t BarID, int32_t ControlID, bool Enabled) {
    if (CommandBarControl* control = GetCommandBarControl(BarID, ControlID))
        control->setEnabled(Enabled);
}

void frmMdiNew::SelectPane(int32_t PaneID) {
    if (DockingPane* pane = GetPane(PaneID)) pane->Select();
}

void frmMdiNew::ClosePane(int32_t PaneID) {
    if (DockingPane* pane = GetPane(PaneID)) pane->Close();
}

bool frmMdiNew::PaneClosed(int32_t PaneID) const {
    const DockingPane* pane = GetPane(PaneID);
    return !pane || pane->Closed();
}

void frmMdiNew::setCommandChecked(int32_t CommandID, bool Checked) {
    if (WindowAction* action = GetCommandControl(CommandID)) {
        action->checked = Checked;
        commandBars_->UpdateAction(CommandID);
    }
    CommandBarControl* control = GetCommandBarControl(kBarView, CommandID);
    if (!control) {
        CommandBarControl* view = commandBars_ ? commandBars_->FindControl(kBarView) : nullptr;
        if (!view || !view->DropDownBar()) return;
        control = &view->DropDownBar()->AddControl(CommandBarControl::Button, CommandID, "");
    }
    control->setChecked(Checked);
}

bool frmMdiNew::CommandChecked(int32_t CommandID) const {
    const WindowAction* action = commandBars_ ? commandBars_->FindAction(CommandID) : nullptr;
    return action && action->checked;
}

void frmMdiNew::UpdateShowAllCheck() {
    bool all = true;
    for (int32_t id : kTradePanelCommands) all = all && CommandChecked(id);
    setCommandChecked(kCmdShowAll, all);
}

CommandBarControl* frmMdiNew::GetCommandBarControl(int32_t ParentID, int32_t ControlID) {
    return commandBars_ ? OrbanexDesk::GetCommandBarControl(*commandBars_, ParentID, ControlID)
                        : nullptr;
}

}  // namespace OrbanexDesk
