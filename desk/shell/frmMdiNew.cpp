#include "desk/shell/frmMdiNew.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "clientapi/facade/COrbanexClientAPI.h"
#include "desk/common/DeskProcedures.h"
#include "desk/common/PaneTable.h"
#include "desk/sessions/TradeViewProcedures.h"
#include "desk/shell/CDockable.h"
#include "desk/shell/CMenu.h"
#include "desk/shell/CPopup.h"
#include "desk/shell/CQuestionBox.h"
#include "desk/shell/CStatusBar.h"
#include "desk/shell/CToolBar.h"
#include "desk/shell/CommandBarTables.h"
#include "desk/shell/GetCommandBarControl.h"
#include "desk/shell/LayoutFile.h"
#include "desk/shell/frmJournal.h"
#include "desk/ui/DeskMessages.h"
#include "platform/Paths.h"
#include "platform/widgets/UrlOpener.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

using platform::widgets::CommandBarControl;
using platform::widgets::DockingPane;
using platform::widgets::WindowAction;

namespace {
constexpr const char* kLayoutPath = "\\Manage\\Interface.vfx";

// The order in which the checks are set from the panes.
constexpr int32_t kCheckOrder[] = {kPaneMarketWatch,  kPaneNewEntryOrder, kPaneNewPosition,
                                   kPaneAccountsList, kPaneJournal,       kPaneTrade,
                                   kPanePendingOrder, kPaneNetTrade,      kPaneClosePosition};
constexpr int32_t kTradePanelCommands[] = {100042, 100061, 100043, 100062, 100011};
// The first start's share of the panes' height for the order panes and Market
// Watch: room for the order panes' controls and a few rows of their lists. The
// Accounts List and the Trade group below, each as wide as the window, share the
// rest as the pane table's heights.
constexpr double kUpperShare = 0.45;
// Of the window's width, for the order panes; Market Watch has the rest.
constexpr double kOrderPanesWidthShare = 0.5;
}  // namespace

frmMdiNew::frmMdiNew() = default;

frmMdiNew::~frmMdiNew() {
    // The bars and panes disconnect before the window's widgets go.
    toolBar_.reset();
    statusBar_.reset();
    popup_.reset();
    menu_.reset();
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
    // Without a window manager nothing maximises the window: it takes the
    // screen's available area itself.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
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
    paneManager_->LayingOutWaiting.Connect([this](bool starts) { MarkWaitingLayout(starts); });
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
    } catch (const std::exception& e) {
        // The dealer's layout is lost: said where the start's set-aside is said.
        std::fprintf(stderr, "OrbanexDesk: the layout is not saved: %s\n", e.what());
    }
    loadMark_.reset();
    waitingMark_.reset();
    unpaintedMark_.reset();
    QCoreApplication::exit(0);
}

void frmMdiNew::closeEvent(QCloseEvent* event) {
    int16_t cancel = 1;
    MDIForm_Unload(cancel);
    event->accept();
}

void frmMdiNew::LoadInterfaceLayout() {
    const std::filesystem::path path = platform::ResolvePath(kLayoutPath);
    loadMark_ = std::make_unique<LayoutLoadMark>(path);
    const auto lines =
        loadMark_->Interrupted() ? std::array<std::string, 2>{} : ReadLayoutLines(path);
    if (!dockable_->LoadLayout(lines[0], lines[1])) ShareDefaultSizes();
    startLayoutWaits_ = true;
    MirrorPanes();
    update();
    unpaintedMark_ = std::make_unique<platform::Timer>();
    unpaintedMark_->SetInterval(kUnpaintedMarkMs);
    unpaintedMark_->Tick.Connect([this] {
        unpaintedMark_->SetEnabled(false);
        if (!markGoes_) loadMark_.reset();
    });
    QTimer::singleShot(0, this, [this] {
        if (loadMark_ && unpaintedMark_) unpaintedMark_->SetEnabled(true);
    });
}

void frmMdiNew::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (!loadMark_ || std::exchange(markGoes_, true)) return;
    // After what the load and this paint queued: the panes' settling, a waiting
    // layout whose size the window reached meanwhile.
    QTimer::singleShot(0, this, [this] { loadMark_.reset(); });
}

void frmMdiNew::MarkWaitingLayout(bool starts) {
    if (!starts) {
        waitingMark_.reset();
        return;
    }
    if (loadMark_ || !startLayoutWaits_) return;
    waitingMark_ = std::make_unique<LayoutLoadMark>(platform::ResolvePath(kLayoutPath),
                                                    LayoutLoadMark::Judge::Nothing);
}

void frmMdiNew::ShareDefaultSizes() {
    DockingPane* orders = GetPane(kPaneNewPosition);
    DockingPane* watch = GetPane(kPaneMarketWatch);
    DockingPane* accounts = GetPane(kPaneAccountsList);
    DockingPane* trade = GetPane(kPaneTrade);
    if (!orders || !watch || !accounts || !trade) return;
    const double accountsRow = FindPaneRow(kPaneAccountsList)->height;
    const double tradeRow = FindPaneRow(kPaneTrade)->height;
    const double rows = 1 - kUpperShare;
    paneManager_->SharePanes({{orders, kOrderPanesWidthShare, kUpperShare},
                              {watch, 1 - kOrderPanesWidthShare, kUpperShare},
                              {accounts, 1, rows * accountsRow / (accountsRow + tradeRow)},
                              {trade, 1, rows * tradeRow / (accountsRow + tradeRow)}});
}

void frmMdiNew::ResetInterface() {
    startLayoutWaits_ = false;
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
    BuildMenuBar();
    popup_ = std::make_unique<CPopup>(*commandBars_, *dockable_);
    popup_->CreateMenu();
    popup_->AddMenuItem();
    statusBar_ = std::make_unique<CStatusBar>(*commandBars_, [this] { mnuLogin_Click(); });
    statusBar_->CreateStatus();
    statusBar_->AddCommand();
    BuildToolBars();
    AddWindowActions();
    AddKeyBindings();
    LoadCommandBarIcons();
    LoadCommandBarImages();
    RegisterCommands();
    commandBarsBuilt_ = true;
    CreateRibbonBar();
}

void frmMdiNew::ResetMenuBar() {
    dockable_->DeleteRibbonBar();
    commandBars_->setMenuBarVisible(true);
    commandBars_->AddMenuBar("Menu Bar");
    BuildMenuBar();
    BuildToolBars();
}

void frmMdiNew::BuildMenuBar() {
    menu_ = std::make_unique<CMenu>(*commandBars_, *dockable_);
    menu_->CreateMenu();
    menu_->AddMenuItem();
}

void frmMdiNew::BuildToolBars() {
    // The old builder's bars go first, so switching never piles up hidden bars.
    if (toolBar_) toolBar_->DeleteBars();
    toolBar_ = std::make_unique<CToolBar>(*commandBars_, *dockable_);
    toolBar_->CreateMenu();
    toolBar_->AddItem();
    toolBar_->DockAll();
}

void frmMdiNew::CreateRibbonBar() {
    dockable_->CreateRibbonBar(toolBar_ ? toolBar_->ToolBars()
                                        : std::vector<platform::widgets::CommandBar*>{});
}

void frmMdiNew::AddWindowActions() {
    for (const ActionRow& a : kWindowActions)
        commandBars_->AddAction(a.id, a.text, a.text, a.text, kWindowActionCategory);
}

void frmMdiNew::AddKeyBindings() {
    for (const KeyBinding& k : kKeyBindings) commandBars_->AddKeyBinding(k.flags, k.keyCode, k.id);
}

void frmMdiNew::LoadCommandBarIcons() {
    for (const ImageRow& i : kIcons)
        commandBars_->LoadIcon(platform::ResolvePath(std::string(kImageFolder) + i.file).string(),
                               i.id);
}

void frmMdiNew::LoadCommandBarImages() {
    for (const ImageRow& i : kPictures)
        commandBars_->LoadPicture(
            platform::ResolvePath(std::string(kImageFolder) + i.file).string(), i.id);
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
        {100008, &frmMdiNew::ExitCommand},
        {100031, &frmMdiNew::mnuclose_order},
        {100035, &frmMdiNew::NewPositionFromTrade},
        {100046, &frmMdiNew::mnuclear_Journal},
        {100047, &frmMdiNew::mnuRefresh_Accounts},
        {100059, &frmMdiNew::mnucancelor_click},
        {100060, &frmMdiNew::mnueditor_click},
        {100064, &frmMdiNew::NewEntryOrderFromTrade},
        {100066, &frmMdiNew::ExitSystem},
        {100077, &frmMdiNew::ResetMenuBar},
        {100078, &frmMdiNew::CreateRibbonBar},
    };
    for (const auto& [id, handler] : table)
        AddCommandHandler(id, [this, h = handler] { (this->*h)(); });
}

void frmMdiNew::CommandBars_Execute(CommandBarControl& Control) {
    RunCommand(Control.Id());
}

void frmMdiNew::AddCommandHandler(int32_t CommandID, std::function<void()> Handler) {
    handlers_[CommandID] = std::move(Handler);
}

void frmMdiNew::RunCommand(int32_t CommandID) {
    auto it = handlers_.find(CommandID);
    if (it == handlers_.end()) return;
    // A handler may replace itself.
    const std::function<void()> handler = it->second;
    handler();
}

void frmMdiNew::ShowPopup(int32_t BarID) {
    if (!commandBars_) return;
    if (platform::widgets::CommandBar* bar = commandBars_->FindContextMenu(BarID)) bar->ShowPopup();
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
    const PaneRow* row = FindPaneRow(Pane.Id());
    if (Action == 3) {
        if (row) {
            setCommandChecked(row->command, false);
            if (IPaneView* view = View(row->id)) view->FollowPane(false);
        }
        UpdateShowAllCheck();
    } else if ((Action == 7 || Action == 14) && row) {
        setCommandChecked(row->command, true);
        if (IPaneView* view = View(row->id)) view->FollowPane(true);
    }
}

void frmMdiNew::MnuDefultShown() {
    for (int32_t id : kCheckOrder) {
        bool checked = !PaneClosed(id);
        if (id == kPaneMarketWatch) {
            IPaneView* view = View(id);
            checked = checked && view && view->Displayed();
        }
        setCommandChecked(FindPaneRow(id)->command, checked);
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

// ---- Exit, interface and help ----

void frmMdiNew::ExitCommand() {
    int16_t cancel = 1;
    MDIForm_Unload(cancel);
}

void frmMdiNew::ExitSystem() {
    // Unloading the window runs its unload, as the window's own close does.
    close();
}

void frmMdiNew::mnuLogin_Click() {
    RunCommand(kCmdAddAccount);
}

void frmMdiNew::WebBrowse(const std::string& Address) {
    platform::widgets::OpenUrl(Address);
}

void frmMdiNew::mnuRefresh_Accounts() {}

void frmMdiNew::ShowMP_Click() {}

// ---- Trade, order and journal commands ----

namespace {
std::optional<int32_t> WholeNumber(const std::string& text) {
    const std::optional<double> n = runtime::ParseNumber(text);
    if (!n) return std::nullopt;
    try {
        return runtime::CLng(*n);
    } catch (const runtime::Error&) {
        return std::nullopt;
    }
}

bool HasEntry(const platform::ComboBox& combo, const std::string& text) {
    return combo.Contains(text);
}

bool MarketOrderKind(const std::string& kind) {
    return kind == "Buy" || kind == "Sell";
}
}  // namespace

const DeskPorts* frmMdiNew::Ports() const {
    return desk_ ? &desk_->Ports() : nullptr;
}

platform::ListItem* frmMdiNew::SelectedTrade() const {
    const DeskPorts* ports = Ports();
    return ports && ports->frmTrade ? ports->frmTrade->lvwOpenPos().SelectedItem() : nullptr;
}

platform::ListItem* frmMdiNew::SelectedPending() const {
    const DeskPorts* ports = Ports();
    return ports && ports->frmPending ? ports->frmPending->lvwPending().SelectedItem() : nullptr;
}

void frmMdiNew::mnuclose_order() {
    platform::ListItem* row = SelectedTrade();
    if (!row) return;
    const auto ticket = WholeNumber(row->Text());
    const auto amount = runtime::ParseNumber(row->SubItems(4));
    const auto account = WholeNumber(row->SubItems(1));
    if (ticket && amount && account) ClosePositionForAccount(*desk_, *ticket, *amount, *account);
}

void frmMdiNew::NewPositionFromTrade() {
    SelectPane(kPaneNewPosition);
    mnushow_order1_Click();
}

void frmMdiNew::NewEntryOrderFromTrade() {
    SelectPane(kPaneNewEntryOrder);
    if (const DeskPorts* ports = Ports(); ports && ports->frmlimitorder)
        ports->frmlimitorder->cmdcancel_Click();
    mnushow_limit2_Click();
}

void frmMdiNew::mnushow_order1_Click() {
    platform::ListItem* row = SelectedTrade();
    const DeskPorts* ports = Ports();
    if (!row || !ports->frmorder) return;
    const std::string symbol = row->SubItems(5);
    if (HasEntry(ports->frmorder->cbsymbols(), symbol))
        SelectComboText(ports->frmorder->cbsymbols(), symbol);
}

void frmMdiNew::mnushow_limit2_Click() {
    platform::ListItem* row = SelectedTrade();
    const DeskPorts* ports = Ports();
    if (!row || !ports->frmlimitorder) return;
    const std::string symbol = row->SubItems(5);
    if (HasEntry(ports->frmlimitorder->cblimitordersymbols(), symbol))
        SelectComboText(ports->frmlimitorder->cblimitordersymbols(), symbol);
}

void frmMdiNew::mnueditor_click() {
    platform::ListItem* row = SelectedPending();
    if (!row) return;
    const DeskPorts& ports = *Ports();
    if (MarketOrderKind(row->SubItems(2))) {
        if (ports.Messages)
            ports.Messages->ShowMessage("You can not edit market orders", kDefaultCaption, false);
        return;
    }
    if (!ports.frmlimitorder) return;
    ports.frmlimitorder->cmdcancel_Click();
    ports.frmlimitorder->EdirMode();
}

void frmMdiNew::mnucancelor_click() {
    platform::ListItem* row = SelectedPending();
    if (!row) return;
    const DeskPorts& ports = *Ports();
    if (MarketOrderKind(row->SubItems(2))) {
        if (ports.Messages)
            ports.Messages->ShowMessage("You can not cancel market orders", kDefaultCaption, false);
        return;
    }
    const auto account = WholeNumber(row->SubItems(1));
    const auto orderID = WholeNumber(row->Text());
    if (!account || !orderID) return;
    if (ports.frmlimitorder) ports.frmlimitorder->cmdcancel_Click();
    desk_->State().CancelOrderAccount = *account;
    desk_->State().CancelOrderID = *orderID;
    if (questionBox_)
        questionBox_->Show(
            "Are you sure you want to cancel order number " + std::to_string(*orderID) + "?",
            CQuestionBox::kCancelOrder);
}

void frmMdiNew::mnuclear_Journal() {
    // The journal form is the shell's own; its port knows only Add.
    const DeskPorts* ports = Ports();
    if (auto* journal = ports ? dynamic_cast<frmJournal*>(ports->frmJournal) : nullptr)
        journal->lvwJournal().Clear();
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
    // An action shows its state on every control; only a command without one
    // needs its own entry.
    if (!control && GetCommandControl(CommandID)) return;
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
