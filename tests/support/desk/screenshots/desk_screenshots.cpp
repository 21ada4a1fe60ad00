// desk_screenshots OUTDIR: runs the real desk offscreen in a temporary program
// folder at 1600 x 1000, logged in to the simulated server on its demo book in
// this process, and writes PNGs for a human look: the first start before the
// accounts log in, the main window, each pane brought forward in turn, the dialogs (add and edit
// account, message and question boxes, the confirmation, the re-quote, the about box, the help
// window), the forms nothing in the desk opens, then the command bars: the
// ribbon on each tab with the system menu open, the "&Trade Panel" drop-down,
// the simple interface with each menu open, the four context menus and the
// status bar, the desk after Reset Interface (at 1600 x 1000 and at 1280 x 800);
// then closes the shell and keeps the layout it wrote (Interface.vfx) beside them.
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSize>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/accounts/DemoHome.h"
#include "desk/accounts/frmAboutOrbanel.h"
#include "desk/accounts/frmSure.h"
#include "desk/accounts/frmaccount.h"
#include "desk/common/PaneTable.h"
#include "desk/orders/frmorder.h"
#include "desk/positions/frmManagePos.h"
#include "desk/sessions/PriceChangedPresenter.h"
#include "desk/shell/CDockable.h"
#include "desk/shell/CHTMLHELP.h"
#include "desk/shell/CQuestionBox.h"
#include "desk/shell/CommandBarTables.h"
#include "desk/shell/frmAlerts.h"
#include "desk/shell/frmHistory.h"
#include "desk/shell/frmMailbox.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/shell/frmStory.h"
#include "desk/ui/DeskMessages.h"
#include "desk/ui/frmPriceChanged.h"
#include "platform/EventLoop.h"
#include "platform/Paths.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/MessageBoxWindow.h"
#include "platform/widgets/UrlOpener.h"
#include "simserver/Demo.h"
#include "simserver/Server.h"
#include "tests/support/desk/walk/DeskWalk.h"

namespace fs = std::filesystem;
using namespace OrbanexDesk;

namespace {

// Every wait on the server is bounded; a step that runs out is reported and
// the pictures are taken of what there is.
constexpr int32_t kWaitMs = 8000;
// Larger than the window, as a dealer's screen is.
constexpr QSize kScreen(1920, 1200);
constexpr int32_t kCmdResetInterface = 100027;

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget& widget, const fs::path& file) {
    Settle();
    const bool ok = widget.grab().save(QString::fromStdString(file.string()), "PNG");
    if (!ok) std::fprintf(stderr, "desk_screenshots: cannot write %s\n", file.c_str());
    return ok;
}

// A window shown for its picture, then hidden again, or closed as its own
// button would (a message box frees itself on close).
bool SaveShown(QWidget* window, const fs::path& file, bool close = false) {
    if (!window) {
        std::fprintf(stderr, "desk_screenshots: no window for %s\n", file.c_str());
        return false;
    }
    Settle();
    const bool ok = Save(*window, file);
    if (close)
        window->close();
    else
        window->hide();
    return ok;
}

std::string Slug(const char* title) {
    std::string s;
    for (const char* p = title; *p; ++p)
        if (*p != '&' && *p != '/') s += *p == ' ' ? '-' : *p;
    return s;
}

void Note(bool reached, const char* what) {
    if (!reached) std::fprintf(stderr, "desk_screenshots: %s not reached in time\n", what);
}

// The window with an open menu painted where it shows (menus are windows of
// their own, so a grab of the window misses them); the menu closes after.
bool SaveWithMenu(QWidget& window, QMenu& menu, const QPoint& at, const fs::path& file) {
    menu.popup(at);
    Settle();
    QPixmap shot = window.grab();
    {
        QPainter painter(&shot);
        painter.drawPixmap(window.mapFromGlobal(menu.pos()), menu.grab());
    }
    menu.close();
    const bool ok = shot.save(QString::fromStdString(file.string()), "PNG");
    if (!ok) std::fprintf(stderr, "desk_screenshots: cannot write %s\n", file.c_str());
    return ok;
}

QMenu& MenuOf(platform::widgets::CommandBarControl& control) {
    return static_cast<QMenu&>(control.DropDownBar()->Widget());
}

QPoint Below(QWidget& widget) {
    return widget.mapToGlobal(QPoint(0, widget.height()));
}

// The visible top-level window of type T (of the given object name if any)
// that was not there before.
template <typename T>
T* NewTopLevel(const std::vector<QWidget*>& before, const char* objectName = nullptr) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* typed = dynamic_cast<T*>(w);
        if (!typed || !w->isVisible()) continue;
        if (objectName && w->objectName() != objectName) continue;
        if (std::find(before.begin(), before.end(), w) == before.end()) return typed;
    }
    return nullptr;
}

std::vector<QWidget*> TopLevels() {
    const auto list = QApplication::topLevelWidgets();
    return {list.begin(), list.end()};
}

// The demo book with one buy limit order pending on the first account.
simserver::Book ShotsBook() {
    simserver::Book book = simserver::DemoBook();
    simserver::Order limit;
    limit.accountId = book.accounts.front().id;
    limit.clientId = book.accounts.front().clientId;
    limit.time = simserver::NowText();
    limit.side = 1;
    limit.lots = 1;
    limit.symbolId = 2;
    limit.price = 1.0790;
    book.AddOrder(limit);
    return book;
}

// Waits for the seeded accounts to connect with their figures, then buys one lot
// of EURUSD for the first two (the third re-quotes) from the market-order pane.
void GoLive(MGeneral& desk, size_t accounts) {
    const DeskPorts& ports = desk.Services().Ports();
    auto& clients = ports.frmMain->lvwClients();
    auto* pane = dynamic_cast<frmorder*>(ports.frmorder);
    const bool connected = platform::EventLoop::RunUntil(
        [&] {
            size_t ready = 0;
            for (size_t i = 1; i <= clients.Count(); ++i)
                ready += clients.Item(i).SubItems(2) == "Connected" &&
                         !clients.Item(i).SubItems(8).empty();
            return ready == accounts && pane && pane->lvwConClients().Count() == accounts &&
                   pane->cbsymbols().ListCount() > 0 && ports.frmPending->lvwPending().Count() > 0;
        },
        kWaitMs);
    Note(connected, "every account connected");
    if (!connected || !pane) return;
    auto& trades = ports.frmTrade->lvwOpenPos();
    const size_t before = trades.Count();
    pane->cbsymbols().setText("EURUSD");
    for (size_t i = 1; i <= pane->lvwConClients().Count(); ++i)
        pane->lvwConClients().Item(i).setChecked(i <= 2);
    pane->setTxtammount("1");
    pane->Cmddis().click();
    if (pane->Cmdbuy().isEnabled()) pane->Cmdbuy().click();
    Note(platform::EventLoop::RunUntil([&] { return trades.Count() >= before + 2; }, kWaitMs),
         "the market order's positions");
    platform::EventLoop::RunFor(300);
}

bool SavePanes(frmMdiNew& shell, const fs::path& out) {
    bool ok = true;
    for (const PaneRow& row : kPaneTable) {
        shell.SelectPane(row.id);
        ok = Save(shell.GetPane(row.id)->Dock(), out / ("pane-" + Slug(row.title) + ".png")) && ok;
    }
    return ok;
}

bool SaveDialogs(MGeneral& desk, simserver::Server& server,
                 const std::vector<DemoAccount>& accounts, const fs::path& out) {
    bool ok = true;
    frmMain& window = desk.Accounts();
    window.mnuLogin_Click();
    ok = SaveShown(window.AccountDialog(), out / "account-add.png") && ok;
    // The first row's edit, as its double click opens it: the row's saved line ticked.
    if (frmaccount* dialog = window.AccountDialog();
        dialog && !accounts.empty() && window.lvwClients().Count() > 0) {
        window.lvwClients().Item(1).setSelected(true);
        window.lvwClients_DblClick();
        ok = SaveShown(dialog, out / "account-edit.png") && ok;
    }

    // The desk's own message: the add-account dialog's Add with its boxes empty.
    window.mnuLogin_Click();
    if (frmaccount* dialog = window.AccountDialog())
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == "Add new account") button->click();
    if (auto box = desk.Messages().LastShown(); box && box->Window())
        ok = SaveShown(box->Window(), out / "message-box.png", true) && ok;
    else
        ok = false;

    if (frmaccount* dialog = window.AccountDialog()) dialog->hide();

    // The Trade pane's question: one position ticked, its close button clicked.
    auto before = TopLevels();
    const DeskPorts& ports = desk.Services().Ports();
    platform::ListView& trades = ports.frmTrade->lvwOpenPos();
    if (trades.Count() > 0) trades.Item(1).setChecked(true);
    if (auto* close = desk.Shell().GetPane(kPaneTrade)->Dock().findChild<QLabel*>("lbbClose"))
        static_cast<platform::widgets::LabelButton*>(close)->Click();
    Settle();
    auto* question = NewTopLevel<platform::widgets::MessageBoxWindow>(before);
    ok = SaveShown(question, out / "question-box.png") && ok;
    if (question && question->ButtonCount() > 1) question->ButtonPressed(2);  // No
    if (trades.Count() > 0) trades.Item(1).setChecked(false);
    desk.QuestionBox().Hide();

    window.SureDialog().GeneralQuestionMsg("Logout All");
    ok = SaveShown(&window.SureDialog(), out / "sure-dialog.png") && ok;

    // A real re-quote: a market Buy on the re-quoting account.
    testsupport::DeskWalk walk(desk, server, kWaitMs);
    const std::string fault = walk.RequotedMarketOrder();
    Note(fault.empty(), "the re-quote dialog");
    Note(platform::EventLoop::RunUntil(
             [] { return testsupport::DeskWalk::RequoteDialog() != nullptr; }, kWaitMs),
         "the re-quote dialog shown");
    ok = SaveShown(testsupport::DeskWalk::RequoteDialog(), out / "requote-dialog.png", true) && ok;

    window.MnuAbout_Click();
    ok = SaveShown(&window.AboutBox(), out / "about-box.png") && ok;

    // The help command hands the index to the URL opener; nothing outside opens.
    std::vector<std::string> opened;
    platform::widgets::SetUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    auto& popup = desk.Shell().CommandBars().AddContextMenu(199001, "Shots");
    auto& help =
        popup.AddControl(platform::widgets::CommandBarControl::Button, kCmdGeneralHelp, "");
    before = TopLevels();
    desk.Shell().CommandBars_Execute(help);
    QWidget* viewer = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "HelpViewer" && w->isVisible()) viewer = w;
    ok = SaveShown(viewer, out / "help-window.png") && ok;
    platform::widgets::SetUrlOpener({});
    return ok;
}

// The forms nothing in the desk opens, each on its own at a working size.
bool SaveDormantForms(const fs::path& out) {
    bool ok = true;
    const auto shoot = [&](QWidget& form, const char* name, int width, int height) {
        form.resize(width, height);
        form.show();
        ok = SaveShown(&form, out / name) && ok;
    };
    frmAlerts alerts;
    shoot(alerts, "form-Alerts.png", 900, 300);
    frmMailbox mailbox;
    shoot(mailbox, "form-Mailbox.png", 900, 300);
    frmHistory history;
    shoot(history, "form-History.png", 900, 300);
    frmStory story;
    story.lblSubject().setText("Markets steady ahead of the rate decision");
    story.txtStory().setPlainText(QString::fromStdString(
        ExpandCarriageReturns("The dollar held its ground against the euro in quiet trade.\r"
                              "Dealers expect little movement before the announcement.")));
    shoot(story, "form-Story.png", story.width(), story.height());
    frmManagePos manage;
    shoot(manage, "form-ManagePos.png", manage.width(), manage.height());
    return ok;
}

bool SaveCommandBars(frmMdiNew& shell, const fs::path& out) {
    bool ok = true;
    auto& ribbon = *shell.Dockable().RibbonBar();
    auto& system = ribbon.Control(1);
    for (size_t t = 1; t <= ribbon.TabCount(); ++t) {
        ribbon.setSelectedTab(t);
        const std::string name = "ribbon-" + Slug(ribbon.Tab(t).Caption().c_str()) + ".png";
        // The File menu once, on the first tab; the others show their own buttons.
        ok = (t == 1 ? SaveWithMenu(shell, MenuOf(system), Below(*system.ToolButton()), out / name)
                     : Save(shell, out / name)) &&
             ok;
    }
    ribbon.setSelectedTab(2);
    auto& split = *ribbon.FindControl(kTradePanelSplit);
    ok = SaveWithMenu(shell, MenuOf(split), Below(*split.ToolButton()),
                      out / "ribbon-Trade-Panel.png") &&
         ok;
    // Each context menu over the list it belongs to, as a right click there opens it.
    const std::pair<int32_t, int32_t> listOf[] = {{kBarAccountsPopup, kPaneAccountsList},
                                                  {kBarTradePopup, kPaneTrade},
                                                  {kBarJournalPopup, kPaneJournal},
                                                  {kBarPendingPopup, kPanePendingOrder}};
    for (const BarTable& bar : kContextBars) {
        auto& menu = static_cast<QMenu&>(shell.CommandBars().FindContextMenu(bar.id)->Widget());
        QPoint at = shell.mapToGlobal(shell.rect().center());
        for (const auto& [barId, paneId] : listOf) {
            if (barId != bar.id) continue;
            shell.SelectPane(paneId);
            Settle();
            QDockWidget& dock = shell.GetPane(paneId)->Dock();
            at = dock.mapToGlobal(QPoint(dock.width() / 4, dock.height() / 3));
        }
        ok = SaveWithMenu(shell, menu, at, out / ("context-" + Slug(bar.title) + ".png")) && ok;
    }
    ok = Save(*shell.statusBar(), out / "status-bar.png") && ok;
    shell.ResetMenuBar();
    Settle();
    auto& menuBar = *shell.CommandBars().ActiveMenuBar();
    auto& bar = static_cast<QMenuBar&>(menuBar.Widget());
    for (size_t i = 1; i <= menuBar.ControlCount(); ++i) {
        auto& popup = menuBar.Control(i);
        const QRect place = bar.actionGeometry(popup.Action());
        ok = SaveWithMenu(shell, MenuOf(popup), bar.mapToGlobal(place.bottomLeft()),
                          out / ("simple-" + Slug(popup.Caption().c_str()) + ".png")) &&
             ok;
    }
    shell.CreateRibbonBar();
    Settle();
    return ok;
}

// The Accounts List floated wide and docked again.
bool SaveFloatedAndDocked(frmMdiNew& shell, const fs::path& out) {
    QDockWidget& dock = shell.GetPane(kPaneAccountsList)->Dock();
    dock.setFloating(true);
    dock.resize(1400, 400);
    Settle();
    dock.setFloating(false);
    Settle();
    return Save(shell, out / "main-window-float-docked.png");
}

// Reset Interface (Ctrl+R) after the panes were moved, at the window's size and
// in a smaller window; the window gets its size back after.
bool SaveAfterReset(frmMdiNew& shell, const fs::path& out) {
    shell.ClosePane(kPaneMarketWatch);
    shell.SelectPane(kPaneJournal);
    shell.RunCommand(kCmdResetInterface);
    bool ok = Save(shell, out / "after-reset.png");
    shell.resize(1280, 800);
    Settle();
    shell.RunCommand(kCmdResetInterface);
    ok = Save(shell, out / "after-reset-1280x800.png") && ok;
    shell.resize(1600, 1000);
    Settle();
    return ok;
}

// The offscreen platform's own screen (800 x 800) is smaller than the window, and
// a menu popped up over a lower pane would be moved up into it.
void UseLargeOffscreenScreen(const fs::path& folder) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && std::string(platform) != "offscreen") return;
    const fs::path config = folder / "screen.json";
    std::ofstream(config) << R"({"screens": [{"name": "shots", "x": 0, "y": 0, "width": )"
                          << kScreen.width() << R"(, "height": )" << kScreen.height()
                          << R"(, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desk_screenshots OUTDIR\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (!fs::is_directory(out)) {
        std::fprintf(stderr, "desk_screenshots: cannot make %s\n", out.c_str());
        return 2;
    }
    std::string pattern = (fs::temp_directory_path() / "desk-shots-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 2;
    const fs::path home = pattern;
    UseLargeOffscreenScreen(home);

    int code = 0;
    {
        QApplication app(argc, argv);
        char flag[] = "--home";
        std::string homeText = home.string();
        char* homeArgs[] = {argv[0], flag, homeText.data(), nullptr};
        platform::InitProgramFolder(3, homeArgs, kAssetsDir);
        platform::EventLoop::Ensure();

        simserver::Server server(ShotsBook());
        server.Listen("127.0.0.1", 0);
        const std::vector<DemoAccount> accounts =
            testsupport::DeskWalk::DemoAccounts(server.book());
        // The shipped server list names the fixed local port; this run's server is elsewhere.
        fs::remove(home / "Manage" / "SERVER.BUF", ec);
        SeedDemoHome("127.0.0.1", server.Port(), accounts);

        bool ok = true;
        {
            MGeneral desk;
            desk.Main();
            auto& shell = desk.Shell();
            shell.setWindowState(Qt::WindowNoState);
            shell.resize(1600, 1000);
            ok = Save(shell, out / "first-start.png") && ok;
            GoLive(desk, accounts.size());
            ok = Save(shell, out / "main-window.png") && ok;
            ok = SavePanes(shell, out) && ok;
            ok = SaveDialogs(desk, server, accounts, out) && ok;
            ok = SaveDormantForms(out) && ok;
            ok = SaveCommandBars(shell, out) && ok;
            ok = SaveFloatedAndDocked(shell, out) && ok;
            ok = SaveAfterReset(shell, out) && ok;
            // Sizes the dealer changed, for the next start's picture.
            shell.resizeDocks({&shell.GetPane(kPaneMarketWatch)->Dock()}, {948}, Qt::Horizontal);
            Settle();
            shell.close();
            desk.End();
            Note(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs),
                 "every session's logout");
        }
        {
            MGeneral desk;
            desk.Main();
            auto& shell = desk.Shell();
            shell.setWindowState(Qt::WindowNoState);
            shell.resize(1600, 1000);
            platform::EventLoop::RunFor(500);
            ok = Save(shell, out / "main-window-restarted.png") && ok;
            shell.close();
            desk.End();
            Note(platform::EventLoop::RunUntil([&] { return server.Sessions() == 0; }, kWaitMs),
                 "every session's logout after the restart");
        }
        fs::copy_file(home / "Manage" / "Interface.vfx", out / "Interface.vfx",
                      fs::copy_options::overwrite_existing, ec);
        code = ok ? 0 : 1;
    }
    fs::remove_all(home, ec);
    return code;
}
