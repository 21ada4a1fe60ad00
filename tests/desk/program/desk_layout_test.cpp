// The started desk's panes offscreen: the first start's arrangement and what it
// leaves of the lists' columns, the dividers, Reset Interface and restarts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCursor>
#include <QDockWidget>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/accounts/AccountInput.h"
#include "desk/accounts/frmAboutOrbanel.h"
#include "desk/accounts/frmMain.h"
#include "desk/accounts/frmSure.h"
#include "desk/accounts/frmaccount.h"
#include "desk/common/PaneTable.h"
#include "desk/sessions/PriceChangedPresenter.h"
#include "desk/shell/frmMdiNew.h"
#include "desk/ui/DeskMessages.h"
#include "desk/ui/frmMsgBox.h"
#include "general/common/Enums.h"
#include "platform/EventLoop.h"
#include "platform/widgets/DockingPanes.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/ListView.h"
#include "runtime/Strings.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;

void Settle() {
    for (int i = 0; i < 5; ++i) platform::EventLoop::ProcessEvents();
}

// The real desk, started in the current program folder, its shell unmaximised at
// 1600 x 1000 (the window a dealer's screen gives it) or at `size` before its
// loop first turns.
struct ShownDesk {
    static frmMdiNew& Started(MGeneral& desk, QSize size) {
        desk.Main();
        frmMdiNew& shell = desk.Shell();
        shell.setWindowState(Qt::WindowNoState);
        shell.resize(size);
        return shell;
    }
    explicit ShownDesk(QSize size = {1600, 1000}) : shell(Started(desk, size)) {}
    MGeneral desk;
    frmMdiNew& shell;
};

// Each column's pixel width against its share of the list's present width.
void ExpectColumnsAtTheirShares(const platform::widgets::ListView& list, const char* road) {
    const std::vector<std::string> shares = runtime::Split(frmMain::kColumnWidths, ",");
    const int width = list.viewport()->width();
    const double narrowest = list.header()->minimumSectionSize();
    for (int k = 0; k < list.header()->count(); ++k)
        EXPECT_NEAR(list.header()->sectionSize(k),
                    std::max(narrowest, width * std::stod(shares[k]) / 100), 2)
            << road << ", column " << k << " of a list " << width << " px wide";
}

// The panes the window shows: docked, open and in front of their tab groups.
std::map<int32_t, QRect> PanesInSight(frmMdiNew& shell) {
    std::map<int32_t, QRect> panes;
    for (const PaneRow& row : kPaneTable) {
        const QDockWidget& dock = shell.GetPane(row.id)->Dock();
        if (!dock.isHidden() && !dock.isFloating() && shell.rect().intersects(dock.geometry()))
            panes[row.id] = dock.geometry();
    }
    return panes;
}

// The same panes shown, each within `tolerance` pixels of its place and size.
void ExpectPanesAt(const std::map<int32_t, QRect>& actual, const std::map<int32_t, QRect>& expected,
                   int tolerance, const std::string& what) {
    std::vector<std::string> shown, wanted;
    for (const auto& [id, rect] : actual) shown.push_back(FindPaneRow(id)->title);
    for (const auto& [id, rect] : expected) wanted.push_back(FindPaneRow(id)->title);
    ASSERT_EQ(shown, wanted) << what;
    for (const auto& [id, rect] : expected) {
        const QRect& now = actual.at(id);
        EXPECT_LE((now.topLeft() - rect.topLeft()).manhattanLength(), tolerance)
            << what << ": " << FindPaneRow(id)->title << " at " << now.x() << "," << now.y()
            << ", not " << rect.x() << "," << rect.y();
        EXPECT_LE(std::abs(now.width() - rect.width()) + std::abs(now.height() - rect.height()),
                  tolerance)
            << what << ": " << FindPaneRow(id)->title << " " << now.width() << "x" << now.height()
            << ", not " << rect.width() << "x" << rect.height();
    }
}

QDockWidget& Dock(frmMdiNew& shell, int32_t paneId) {
    return shell.GetPane(paneId)->Dock();
}

// Drags the divider along the pane's top (or left) edge by `by` pixels and
// returns how far that edge moved.
int DragDivider(frmMdiNew& shell, int32_t paneId, Qt::Edge edge, int by) {
    QDockWidget& pane = Dock(shell, paneId);
    const bool top = edge == Qt::TopEdge;
    const int before = top ? pane.y() : pane.x();
    const QPoint at = top ? QPoint(pane.x() + pane.width() / 2, pane.y() - 3)
                          : QPoint(pane.x() - 3, pane.y() + pane.height() / 2);
    const QPoint to = at + (top ? QPoint(0, by) : QPoint(by, 0));
    QTest::mousePress(&shell, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(&shell, to);
    Settle();  // the window moves its dividers on a timer
    QTest::mouseRelease(&shell, Qt::LeftButton, Qt::NoModifier, to);
    Settle();
    return (top ? pane.y() : pane.x()) - before;
}

struct Divider {
    const char* name;
    int32_t pane;  // the pane right below or right of it
    Qt::Edge edge;
};
// The first start's dividers: above the Accounts List, above the Trade group,
// and between the order panes and Market Watch.
constexpr Divider kAboveAccounts{"above the Accounts List", kPaneAccountsList, Qt::TopEdge};
constexpr Divider kAboveTrade{"above Trade", kPaneTrade, Qt::TopEdge};
constexpr Divider kLeftOfWatch{"left of Market Watch", kPaneMarketWatch, Qt::LeftEdge};
// In an order that leaves each pane room for the next drag.
const std::vector<Divider> kDownOrRight{kAboveTrade, kAboveAccounts, kLeftOfWatch};
const std::vector<Divider> kUpOrLeft{kAboveAccounts, kAboveTrade, kLeftOfWatch};

// Drags each divider by `by` pixels (in this order), failing unless each drag
// moved it that far.
void DragEachDivider(frmMdiNew& shell, const std::vector<Divider>& dividers, int by,
                     const std::string& when) {
    for (const Divider& divider : dividers) {
        const QRect pane = Dock(shell, divider.pane).geometry();
        ASSERT_NEAR(DragDivider(shell, divider.pane, divider.edge, by), by, 2)
            << when << ": the divider " << divider.name << " dragged by " << by << " from "
            << pane.x() << "," << pane.y() << " " << pane.width() << "x" << pane.height();
    }
}

void CopyShippedDefault(const testsupport::TempProgramFolder& folder) {
    std::filesystem::create_directories(folder.Path() / "Manage");
    std::filesystem::copy_file(
        std::filesystem::path(kAssetsDir) / "Manage" / "InterfaceDefault.vfx",
        folder.Path() / "Manage" / "InterfaceDefault.vfx",
        std::filesystem::copy_options::overwrite_existing);
}

// A dealer's widest figures in the lists below the order panes.
void FillTheBottomLists(MGeneral& desk) {
    const DeskPorts& ports = desk.Services().Ports();
    platform::ListItem& account = ports.frmMain->lvwClients().Add("C1", "01");
    const char* const accountCells[] = {
        "DEALER1",   "Connected",    "10001",      "",           "1,234,567.89", "-123,456.78",
        "12,345.00", "1,111,111.11", "999,999.99", "12,345.67%", "9,999,999.99"};
    for (size_t i = 0; i < std::size(accountCells); ++i)
        account.setSubItems(i + 1, accountCells[i]);
    platform::ListItem& position = ports.frmTrade->lvwOpenPos().Add("T1234567", "1234567", 2);
    const char* const positionCells[] = {"10001",    "2026-12-10 06:40:30",
                                         "Sell",     "10.5",
                                         "BTCUSD",   "66900.55",
                                         "67250.25", "66000.55",
                                         "68000.55", "-1,250.00",
                                         "-12.50",   "-123,456.78"};
    for (size_t i = 0; i < std::size(positionCells); ++i)
        position.setSubItems(i + 1, positionCells[i]);
    for (const char* account : {"10001(DEALER1)", "Total(All Clients)"}) {
        platform::ListItem& net = ports.frmNetTrade->lvwNetPos().Add(account, "EURUSD");
        const char* const netCells[] = {account,  "1.5",   "1.5",  "Buy",  "1.08456667",
                                        "1.0851", "-7.50", "0.00", "80.00"};
        for (size_t i = 0; i < std::size(netCells); ++i) net.setSubItems(i + 1, netCells[i]);
        net.setBold(std::string(account).rfind("Total", 0) == 0);
    }
    ports.frmJournal->Add("Order #5003 [BUY 0.5 EURUSD] has been accepted", 10002, true);
    ports.frmTrade->setLbmSummaries(
        "Balance:1,234,567.89  Flt P/L:-123,456.78   Credit:12,345.00  Equity:1,111,111.11  "
        "Used Margin:999,999.99  Free Margin:9,999,999.99  Margin Level:12,345.67 %");
}

// Every header and cell of the pane's lists gets the room it asks for.
void ExpectListsReadWhole(frmMdiNew& shell, int32_t paneId) {
    shell.SelectPane(paneId);
    Settle();
    const char* title = FindPaneRow(paneId)->title;
    for (const auto* list : Dock(shell, paneId).findChildren<platform::widgets::ListView*>()) {
        const QHeaderView& header = *list->header();
        const QAbstractItemModel& model = *list->model();
        for (int k = 0; k < header.count(); ++k) {
            EXPECT_GE(header.sectionSize(k), header.sectionSizeHint(k))
                << title << ": header "
                << model.headerData(k, Qt::Horizontal).toString().toStdString();
            for (int r = 0; r < model.rowCount(); ++r)
                EXPECT_GE(header.sectionSize(k), list->sizeHintForIndex(model.index(r, k)).width())
                    << title << ": " << model.index(r, k).data().toString().toStdString();
        }
    }
}

// At 1600 x 1000 the order panes and Market Watch stand side by side above the
// Accounts List, which stands above the Trade group, both as wide as the window;
// every figure of both lists, of Net Trade and of the Journal, and the Trade
// pane's summary line read whole.
TEST(DeskLayout, TheFirstStartShowsBothListsWholeOneAboveTheOther) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-first"};
    platform::EventLoop::Ensure();
    ShownDesk shown;
    MGeneral& desk = shown.desk;
    frmMdiNew& shell = shown.shell;
    FillTheBottomLists(desk);
    Settle();

    const std::map<int32_t, QRect> panes = PanesInSight(shell);
    ASSERT_EQ(panes.size(), 4u);
    const QRect orders = panes.at(kPaneNewPosition), watch = panes.at(kPaneMarketWatch);
    const QRect accounts = panes.at(kPaneAccountsList), trade = panes.at(kPaneTrade);
    EXPECT_EQ(orders.top(), watch.top());
    EXPECT_LT(orders.right(), watch.left());
    EXPECT_GT(accounts.top(), std::max(orders.bottom(), watch.bottom()));
    EXPECT_GT(trade.top(), accounts.bottom()) << "the Trade group lowest";
    for (const QRect& row : {accounts, trade})
        EXPECT_EQ(row.width(), shell.width()) << "as wide as the window";
    const int tradeGroup = shell.statusBar()->y() - trade.top();  // with its tab bar
    EXPECT_NEAR(double(accounts.height()) / tradeGroup, 120.0 / 200, 0.05);
    const auto* orderList = Dock(shell, kPaneNewPosition).findChild<platform::widgets::ListView*>();
    ASSERT_NE(orderList, nullptr);
    EXPECT_GE(orderList->viewport()->height(), 5 * orderList->fontMetrics().height())
        << "a few rows of the New Position list";

    for (const PaneRow& row : kPaneTable) ExpectListsReadWhole(shell, row.id);
    shell.SelectPane(kPaneTrade);
    Settle();
    auto* summary = Dock(shell, kPaneTrade).findChild<QLabel*>("lbmSummaries");
    ASSERT_NE(summary, nullptr);
    EXPECT_LE(summary->fontMetrics().horizontalAdvance(summary->text()),
              summary->contentsRect().width())
        << "the summary line through its margin level";

    summary->setText(QString(300, 'M'));
    Settle();
    EXPECT_LT(Dock(shell, kPaneTrade).minimumSizeHint().width(), 400)
        << "a long summary line must not hold the pane wide";
}

// Each divider drags both ways at the first start, after Reset Interface and
// after a restart.
TEST(DeskLayout, EveryDividerMovesBothWaysAtFirstStartAfterResetAndAfterARestart) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-dividers"};
    CopyShippedDefault(folder);
    platform::EventLoop::Ensure();
    const auto bothWays = [](frmMdiNew& shell, const std::string& when) {
        DragEachDivider(shell, kDownOrRight, 150, when);
        DragEachDivider(shell, kUpOrLeft, -150, when);
    };
    {
        ShownDesk shown;
        Settle();
        bothWays(shown.shell, "first start");
        if (HasFatalFailure()) return;
        shown.shell.RunCommand(100027);
        Settle();
        bothWays(shown.shell, "after Reset Interface");
        if (HasFatalFailure()) return;
        int16_t cancel = 1;
        shown.shell.MDIForm_Unload(cancel);
    }
    ShownDesk shown;
    Settle();
    bothWays(shown.shell, "after a restart");
}

// Reset Interface gives the first start's arrangement again, in the window's
// size whatever size the default file was made at. The shipped default comes from
// the first start: remake it with orbanex_default_layout when this fails after a
// change of the first start.
TEST(DeskLayout, ResetInterfaceGivesTheFirstStartsArrangementAtAnyWindowSize) {
    widgets_testing::App();
    platform::EventLoop::Ensure();
    for (const QSize size : {QSize(1600, 1000), QSize(1280, 800)}) {
        SCOPED_TRACE(std::to_string(size.width()) + " x " + std::to_string(size.height()));
        testsupport::TempProgramFolder folder{"desk-layout-reset"};
        CopyShippedDefault(folder);
        ShownDesk shown;
        frmMdiNew& shell = shown.shell;
        shell.resize(size);
        Settle();
        const std::map<int32_t, QRect> first = PanesInSight(shell);
        DragEachDivider(shell, {kAboveAccounts}, 150, "before the reset");
        shell.ClosePane(kPaneMarketWatch);
        shell.SelectPane(kPaneJournal);
        Settle();
        shell.RunCommand(100027);
        Settle();
        ExpectPanesAt(PanesInSight(shell), first, 4, "after Reset Interface");
    }
}

// The shipped default's panes' room ("width:height") made `room`.
void SetDefaultRoom(const testsupport::TempProgramFolder& folder, const std::string& room) {
    const std::filesystem::path file = folder.Path() / "Manage" / "InterfaceDefault.vfx";
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::vector<std::string> fields = runtime::Split(text, ":");  // DP2, window, room, state
    const std::vector<std::string> sides = runtime::Split(room, ":");
    fields.at(3) = sides.at(0);
    fields.at(4) = sides.at(1);
    std::ofstream(file, std::ios::binary) << runtime::Join(fields, ":");
}

// Reset Interface refuses a default whose room no window has (larger than the
// text's window, or too small for its panes) and leaves the panes where they
// are; one saved with no room loads.
TEST(DeskLayout, ResetRefusesADefaultWithARoomNoWindowHas) {
    widgets_testing::App();
    platform::EventLoop::Ensure();
    const struct {
        const char* room;
        bool loads;
    } cases[] = {{"100000:100000", false}, {"10:10", false}, {"0:0", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.room);
        testsupport::TempProgramFolder folder{"desk-layout-room"};
        CopyShippedDefault(folder);
        SetDefaultRoom(folder, c.room);
        ShownDesk shown;
        frmMdiNew& shell = shown.shell;
        Settle();
        const std::map<int32_t, QRect> first = PanesInSight(shell);
        DragEachDivider(shell, {kAboveAccounts}, 150, "before the reset");
        const std::map<int32_t, QRect> dragged = PanesInSight(shell);
        shell.RunCommand(100027);
        Settle();
        if (c.loads)  // laid out in a window of the text's size, with this desk's bars
            EXPECT_NEAR(Dock(shell, kPaneAccountsList).y(), first.at(kPaneAccountsList).y(), 40);
        else
            ExpectPanesAt(PanesInSight(shell), dragged, 2, "after Reset Interface");
    }
}

// Sizes the dealer changed come back at the next start within 5 px, whichever way
// the dividers moved; a start after a start changes nothing.
TEST(DeskLayout, ARestartRestoresThePanesSizes) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-restart"};
    platform::EventLoop::Ensure();
    struct Start {
        const char* name;
        const std::vector<Divider>* dividers;
        int by;
        int tolerance;  // against the sizes at the last exit
    } starts[] = {{"first start", &kDownOrRight, 150, 0},
                  {"after the dividers moved down", &kUpOrLeft, -150, 5},
                  {"after the dividers moved up", nullptr, 0, 5},
                  {"after a start that moved nothing", nullptr, 0, 0}};
    std::map<int32_t, QRect> atExit;
    for (const Start& start : starts) {
        ShownDesk shown;
        Settle();
        if (!atExit.empty())
            ExpectPanesAt(PanesInSight(shown.shell), atExit, start.tolerance, start.name);
        if (start.dividers) DragEachDivider(shown.shell, *start.dividers, start.by, start.name);
        if (HasFatalFailure()) return;
        atExit = PanesInSight(shown.shell);
        int16_t cancel = 1;
        shown.shell.MDIForm_Unload(cancel);
    }
}

// The rows (the order panes, the Accounts List, the Trade group), each from its
// top to the next one's, as parts of the room from the first row's top to the
// status bar.
std::vector<double> RowShares(frmMdiNew& shell) {
    std::vector<double> tops;
    for (int32_t pane : {kPaneNewPosition, kPaneAccountsList, kPaneTrade})
        tops.push_back(Dock(shell, pane).y());
    tops.push_back(shell.statusBar()->y());
    std::vector<double> shares;
    for (size_t row = 0; row + 1 < tops.size(); ++row)
        shares.push_back((tops[row + 1] - tops[row]) / (tops.back() - tops.front()));
    return shares;
}

// The panes come back to their places when the window comes back to its size,
// however it got there: in one step, a pixel at a time, or through a window too
// small for the panes' minimum sizes; and so do panes hidden from the View menu
// and shown again. A divider the dealer drags in a smaller window keeps its
// share as the window grows, and moves no pane held at its minimum there.
TEST(DeskLayout, PanesComeBackToTheirPlacesWhenTheWindowComesBackToItsSize) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-round-trips"};
    platform::EventLoop::Ensure();
    ShownDesk shown;
    frmMdiNew& shell = shown.shell;
    Settle();
    const std::map<int32_t, QRect> first = PanesInSight(shell);
    const auto resizeTo = [&](QSize size) {
        shell.resize(size);
        Settle();
    };
    const auto dragWidthTo = [&](int width) {
        while (shell.width() != width)
            resizeTo({shell.width() + (width < shell.width() ? -1 : 1), shell.height()});
    };
    const struct {
        const char* name;
        QSize via;
        bool pixelByPixel;  // as a window manager's edge drag
        int32_t hidden;     // a View command run before the trip and at its size
    } trips[] = {
        {"to 1280 x 800 and back", {1280, 800}, false, 0},
        {"1600 -> 1400 -> 1600 a pixel at a time", {1400, 1000}, true, 0},
        {"through 1000 x 700", {1000, 700}, false, 0},
        {"through 640 x 480", {640, 480}, false, 0},
        {"Market Watch hidden and shown", {1600, 1000}, false, 100063},
        {"the Accounts List hidden, shown at 1280 x 800", {1280, 800}, false, 100011},
    };
    for (const auto& trip : trips) {
        if (trip.hidden) shell.RunCommand(trip.hidden);
        trip.pixelByPixel ? dragWidthTo(trip.via.width()) : resizeTo(trip.via);
        if (trip.hidden) shell.RunCommand(trip.hidden);
        trip.pixelByPixel ? dragWidthTo(1600) : resizeTo({1600, 1000});
        ExpectPanesAt(PanesInSight(shell), first, 5, trip.name);
    }

    const std::vector<double> rows = RowShares(shell);
    resizeTo({1000, 700});  // the order panes at their minimum height
    DragEachDivider(shell, {kLeftOfWatch}, -60, "with a pane at its minimum");
    resizeTo({1600, 1000});
    const std::vector<double> sideDragged = RowShares(shell);
    for (size_t row = 0; row < rows.size(); ++row)
        EXPECT_NEAR(sideDragged[row], rows[row], 0.01) << "row " << row << " after a side drag";

    resizeTo({1280, 800});
    DragEachDivider(shell, {kAboveAccounts}, 80, "in a smaller window");
    const std::vector<double> dragged = RowShares(shell);
    resizeTo({1600, 1000});
    const std::vector<double> grown = RowShares(shell);
    for (size_t row = 0; row < grown.size(); ++row)
        EXPECT_NEAR(grown[row], dragged[row], 0.01) << "row " << row << " grown back";
}

// A layout loaded at another window size is laid out again when the window
// reaches that size, unless the dealer moved a pane before: a divider dragged or
// a pane closed after a restart or after Reset Interface stays so when the
// window goes to the layout's size and back.
TEST(DeskLayout, ALayoutWaitingForItsWindowSizeGivesWayToTheDealersFirstMove) {
    widgets_testing::App();
    platform::EventLoop::Ensure();
    const struct {
        const char* name;
        QSize saved, start;
        bool reset;         // the layout loaded by Reset Interface, else by a restart
        bool closeJournal;  // from the View menu, else the divider dragged
    } roads[] = {
        {"exit at 1280 x 800, start at 1600 x 1000, drag", {1280, 800}, {1600, 1000}, false, false},
        {"Reset Interface at 1280 x 800, drag", {1600, 1000}, {1280, 800}, true, false},
        {"exit at 1280 x 800, start at 1600 x 1000, close", {1280, 800}, {1600, 1000}, false, true},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        testsupport::TempProgramFolder folder{"desk-layout-waiting"};
        CopyShippedDefault(folder);
        if (!road.reset) {
            ShownDesk exited;
            exited.shell.resize(road.saved);
            Settle();
            int16_t cancel = 1;
            exited.shell.MDIForm_Unload(cancel);
        }
        ShownDesk shown;
        frmMdiNew& shell = shown.shell;
        shell.resize(road.start);
        Settle();
        if (road.reset) shell.RunCommand(100027);
        Settle();
        if (road.closeJournal)
            shell.RunCommand(100042);
        else
            DragEachDivider(shell, {kAboveAccounts}, 120, "after the load");
        Settle();
        const std::vector<double> moved = RowShares(shell);
        for (const QSize size : {road.saved, road.start}) {
            shell.resize(size);
            Settle();
        }
        const std::vector<double> back = RowShares(shell);
        for (size_t row = 0; row < back.size(); ++row)
            EXPECT_NEAR(back[row], moved[row], 0.01) << "row " << row;
        EXPECT_EQ(shell.PaneClosed(kPaneJournal), road.closeJournal);
    }
}

// Layouts that desks saved before the lists stood one above the other: the old
// default file's line, and a line a desk wrote on close at 1600 x 1000.
constexpr const char* kUnsizedLayoutBefore =
    "DP1:528:36065:AAAA/wAAAAH9AAAAAwAAAAAAAAMdAAAALfwCAAAAAfwAAAATAAAALQAAAC0BAAAZ+gAAAAICAA"
    "AAA/sAAAAUAFAAYQBuAGUAMQAwADAAMAAwADIBAAAAAP////8AAAATAP////sAAAAUAFAAYQBuAGUAMQAwADAAMA"
    "AwADEBAAAAAP////8AAAATAP////sAAAAUAFAAYQBuAGUAMQAwADAAMAA0ADgBAAAAAP////8AAAATAP///wAAAA"
    "EAAAMdAAAALfwCAAAAAfsAAAAUAFAAYQBuAGUAMQAwADAAMAAwADABAAAAEwAAAC0AAAATAP///wAAAAMAAAZAAA"
    "ADjPwBAAAAAvsAAAAUAFAAYQBuAGUAMQAwADAAMAAwADQBAAAAAAAAAgIAAAA6AP////wAAAIIAAAEOAAAAHsA//"
    "//+gAAAAMBAAAABPsAAAAUAFAAYQBuAGUAMQAwADAAMAAwADUBAAAAAP////8AAAA6AP////sAAAAUAFAAYQBuAG"
    "UAMQAwADAAMAAzADcBAAAAAP////8AAAA6AP////sAAAAUAFAAYQBuAGUAMQAwADAAMAAzADgBAAAAAP////8AAA"
    "A6AP////sAAAAUAFAAYQBuAGUAMQAwADAAMAA0ADQBAAAAAP////8AAAA6AP///wAAAAAAAAAtAAAABAAAAAQAAA"
    "AIAAAACPwAAAAA";
constexpr const char* kSizedLayoutBefore =
    "DP2:1600:1000:656:20838:AAAA/wAAAAH9AAAAAwAAAAAAAALRAAABhPwCAAAAAfwAAABrAAABhAAAAS0BAAAZ"
    "+gAAAAACAAAAA/sAAAAUAFAAYQBuAGUAMQAwADAAMAAwADIBAAAAAP////8AAADPAP////sAAAAUAFAAYQBuAGUA"
    "MQAwADAAMAAwADEBAAAAAP////8AAAETAP////sAAAAUAFAAYQBuAGUAMQAwADAAMAA0ADgBAAAAAP////8AAAAT"
    "AP///wAAAAEAAANpAAABhPwCAAAAAfsAAAAUAFAAYQBuAGUAMQAwADAAMAAwADABAAAAawAAAYQAAAATAP///wAA"
    "AAMAAAZAAAAB3fwBAAAAAvsAAAAUAFAAYQBuAGUAMQAwADAAMAAwADQBAAAAAAAAA7wAAAA6AP////wAAAPCAAAC"
    "fgAAAHsA////+gAAAAMBAAAABPsAAAAUAFAAYQBuAGUAMQAwADAAMAAwADUBAAAAAP////8AAABGAP////sAAAAU"
    "AFAAYQBuAGUAMQAwADAAMAAzADcBAAAAAP////8AAABGAP////sAAAAUAFAAYQBuAGUAMQAwADAAMAAzADgBAAAA"
    "AP////8AAABGAP////sAAAAUAFAAYQBuAGUAMQAwADAAMAA0ADQBAAAAAP////8AAABGAP///wAAAAAAAAGEAAAA"
    "BAAAAAQAAAAIAAAACPwAAAABAAAAAgAAAAIAAAAqAEIAYQByADIAOgBTAHQAYQBuAGQAYQByAGQAIABUAG8AbwBs"
    "AGIAYQByAAAAAAD/////AAAAAAAAAAAAAAAkAEIAYQByADMAOgBMAG8AZwBpAG4AIABUAG8AbwBsAGIAYQByAAAA"
    "AXb/////AAAAAAAAAAA=";

// Pressed at the middle of `widget`, moved 40 px and released, moving nothing.
void PressAndMove(QWidget& widget) {
    const QPoint at = widget.rect().center();
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(&widget, at + QPoint(40, 10));
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, at + QPoint(40, 10));
    Settle();
}

// A layout saved before comes back as the desk that saved it laid it out (those
// places, within 5 px, and the tabs in front): an existing desk changes only at
// Reset. Loaded at another window size, it comes back so when the window
// reaches its size, after the loop has turned, and whatever the way there: a
// window manager's maximise in two steps, or a press and move on a label in a
// pane and on the status bar, which move nothing.
TEST(DeskLayout, LayoutsSavedBeforeComeBackAsTheyWere) {
    widgets_testing::App();
    platform::EventLoop::Ensure();
    const std::map<int32_t, QRect> sized{{kPaneMarketWatch, {727, 71, 873, 388}},
                                         {kPaneNewPosition, {0, 71, 721, 362}},
                                         {kPaneAccountsList, {0, 465, 956, 513}},
                                         {kPanePendingOrder, {962, 465, 638, 487}}};
    const struct {
        const char* name;
        const char* line;
        std::map<int32_t, QRect> panes;
        QSize start, via;  // the window's size at the start and on its way to 1600 x 1000
        bool pressed;      // a label and the status bar pressed and moved at the start's size
    } cases[] = {
        {"unsized",
         kUnsizedLayoutBefore,
         {{kPaneMarketWatch, {803, 71, 797, 301}},
          {kPaneNewPosition, {0, 71, 797, 275}},
          {kPaneAccountsList, {0, 378, 1032, 600}},
          {kPaneTrade, {1038, 378, 562, 574}}},
         {1600, 1000},
         {},
         false},
        {"sized", kSizedLayoutBefore, sized, {1600, 1000}, {}, false},
        {"sized, maximised from 1280 x 800 through 1500 x 950",
         kSizedLayoutBefore,
         sized,
         {1280, 800},
         {1500, 950},
         false},
        {"sized, pressed at 1280 x 800", kSizedLayoutBefore, sized, {1280, 800}, {}, true},
    };
    for (const auto& c : cases) {
        testsupport::TempProgramFolder folder{"desk-layout-before"};
        std::filesystem::create_directories(folder.Path() / "Manage");
        std::ofstream(folder.Path() / "Manage" / "Interface.vfx", std::ios::binary)
            << c.line << "\r\nCB1";
        ShownDesk shown{c.start};
        frmMdiNew& shell = shown.shell;
        Settle();
        if (c.pressed) {
            const auto labels = Dock(shell, kPaneNewPosition).findChildren<QLabel*>();
            const auto symbol = std::find_if(labels.begin(), labels.end(), [](QLabel* label) {
                return label->text() == "Symbol";
            });
            ASSERT_NE(symbol, labels.end());
            PressAndMove(**symbol);
            PressAndMove(*shell.statusBar());
        }
        for (const QSize size : {c.via, QSize(1600, 1000)}) {
            if (size.isEmpty()) continue;
            shell.resize(size);
            Settle();
        }
        ExpectPanesAt(PanesInSight(shell), c.panes, 5, c.name);
    }
}

// Drags the pane's title to `to`, a point of the window, as the dealer would:
// the window floats the pane at the drag's start, opens a gap where it would
// dock it and docks it there at the release, each step animated.
void DragTitle(frmMdiNew& shell, int32_t paneId, QPoint to) {
    QDockWidget& pane = Dock(shell, paneId);
    const QPoint title(30, pane.widget()->y() / 2);
    const QPoint from = pane.mapToGlobal(title), target = shell.mapToGlobal(to);
    QTest::mousePress(&pane, Qt::LeftButton, Qt::NoModifier, title);
    for (int step = 0; step <= 10; ++step) {
        // The floating pane takes the pointer once the drag starts.
        QWidget* held = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : &pane;
        const QPoint at = step == 0 ? from + QPoint(20, 20) : from + (target - from) * step / 10;
        QTest::mouseMove(held, held->mapFromGlobal(at));
        QTest::qWait(40);
    }
    QWidget* held = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : &pane;
    QTest::mouseRelease(held, Qt::LeftButton, Qt::NoModifier, held->mapFromGlobal(target));
    platform::EventLoop::RunUntil([&] { return !pane.isFloating(); }, 2000);
    Settle();
}

// The panes in sight whose list shows fewer than three whole rows below its
// header, by title.
std::vector<std::string> PanesShowingFewerThanThreeRows(frmMdiNew& shell) {
    std::vector<std::string> short_;
    for (const auto& [id, rect] : PanesInSight(shell)) {
        const auto* list = Dock(shell, id).findChild<platform::widgets::ListView*>();
        if (list && list->model()->rowCount() > 0 &&
            list->viewport()->height() < 3 * list->sizeHintForRow(0))
            short_.push_back(FindPaneRow(id)->title);
    }
    return short_;
}

// A pane docked by drag gets its header and three rows, and so do its new
// neighbours: Market Watch's title dragged to the lower left at the first start
// docks it between the Accounts List and the Trade group; then the Journal
// dropped on the Accounts List's top edge docks it above it. (A floating pane's
// title belongs to the window system offscreen: the Journal is dragged from its
// tab group, which the window floats at the drag's start as the dealer's
// floated pane, with its size.)
TEST(DeskLayout, APaneDockedByDragGetsItsHeaderAndThreeRowsAndItsNeighboursKeepTheirs) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-drop"};
    platform::EventLoop::Ensure();
    ShownDesk shown;
    frmMdiNew& shell = shown.shell;
    FillTheBottomLists(shown.desk);
    Dock(shell, kPaneMarketWatch)
        .findChild<platform::widgets::ListView*>()
        ->Store()
        .Add("S1", "EURUSD");
    Settle();
    ASSERT_EQ(PanesShowingFewerThanThreeRows(shell), std::vector<std::string>{});

    DragTitle(shell, kPaneMarketWatch, {8, 690});
    const QRect watch = Dock(shell, kPaneMarketWatch).geometry();
    ASSERT_FALSE(Dock(shell, kPaneMarketWatch).isFloating());
    EXPECT_GT(watch.top(), Dock(shell, kPaneAccountsList).geometry().bottom());
    EXPECT_LT(watch.bottom(), Dock(shell, kPaneTrade).y());
    EXPECT_EQ(PanesShowingFewerThanThreeRows(shell), std::vector<std::string>{})
        << "Market Watch docked " << watch.height() << " px high";

    shell.SelectPane(kPaneJournal);
    Settle();
    DragTitle(shell, kPaneJournal, {800, Dock(shell, kPaneAccountsList).y() + 4});
    QDockWidget& journal = Dock(shell, kPaneJournal);
    ASSERT_FALSE(journal.isFloating());
    EXPECT_TRUE(shell.tabifiedDockWidgets(&journal).isEmpty());
    EXPECT_LT(journal.geometry().bottom(), Dock(shell, kPaneAccountsList).y());
    EXPECT_EQ(PanesShowingFewerThanThreeRows(shell), std::vector<std::string>{})
        << "the Journal docked " << journal.height() << " px high";
}

TEST(DeskLayout, AccountsColumnsFollowEverySizeChangeOfTheirList) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout"};
    platform::EventLoop::Ensure();
    ShownDesk shown;
    MGeneral& desk = shown.desk;
    frmMdiNew& shell = shown.shell;
    QDockWidget& dock = shell.GetPane(kPaneAccountsList)->Dock();
    shell.resizeDocks({&dock}, {1000}, Qt::Horizontal);
    Settle();
    platform::widgets::ListView& list = desk.Accounts().ClientsView();
    ExpectColumnsAtTheirShares(list, "first look");

    dock.setFloating(true);
    dock.resize(1400, 400);
    Settle();
    dock.setFloating(false);
    Settle();
    ExpectColumnsAtTheirShares(list, "floated wide and docked again");

    shell.GetPane(kPaneAccountsList)->Close();
    Settle();
    shell.resize(1300, 900);
    Settle();
    shell.GetPane(kPaneAccountsList)->Select();
    Settle();
    ExpectColumnsAtTheirShares(list, "closed, window resized, shown again");
}

struct LeaveEater : QObject {
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Leave; }
};

// "Check All" lit under the pointer keeps its neighbours in place, and goes out
// once the pointer is elsewhere though no leave came (a box took the pointer).
TEST(DeskLabelButtons, HoverMovesNoNeighbourAndEndsWithThePointerElsewhere) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-label-buttons"};
    platform::EventLoop::Ensure();
    ShownDesk shown;
    frmMdiNew& shell = shown.shell;
    Settle();
    QWidget& pane = shell.GetPane(kPaneNewPosition)->Dock();
    auto* label = pane.findChild<platform::widgets::LabelButton*>("LblCheck");
    auto* neighbour = pane.findChild<QCheckBox*>("chkAllClients");
    ASSERT_TRUE(label && neighbour);
    const QRect labelBefore = label->geometry(), neighbourBefore = neighbour->geometry();

    const QPointF inside(label->width() / 2.0, label->height() / 2.0);
    QCursor::setPos(label->mapToGlobal(inside.toPoint()));
    QEnterEvent enter(inside, inside, label->mapToGlobal(inside));
    QCoreApplication::sendEvent(label, &enter);
    Settle();
    ASSERT_TRUE(label->font().underline()) << "lit";
    EXPECT_EQ(label->font().pointSize(), 10);
    EXPECT_EQ(neighbour->geometry(), neighbourBefore);
    EXPECT_EQ(label->geometry(), labelBefore);

    // The window that takes the pointer leaves the label no leave.
    LeaveEater noLeave;
    label->installEventFilter(&noLeave);
    QCursor::setPos(shell.mapToGlobal(QPoint(shell.width() - 5, shell.height() - 5)));
    EXPECT_TRUE(platform::EventLoop::RunUntil([&] { return !label->font().underline(); }, 2000))
        << "still lit with the pointer elsewhere";
    EXPECT_EQ(label->font().pointSize(), 8);
    EXPECT_EQ(neighbour->geometry(), neighbourBefore);
}

// The small dialogs as the dealer meets them: no maximise button, held at a
// size their contents fit, centred.
TEST(DeskDialogs, SmallDialogsOpenFixedCentredAndWhole) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-dialogs"};
    const std::filesystem::path pictures = folder.Path() / "images and icons" / "QDsk";
    std::filesystem::create_directories(pictures);
    std::filesystem::copy_file(
        std::filesystem::path(ORBANEX_ASSETS_DIR) / "images and icons" / "QDsk" / "PicAsk.png",
        pictures / "PicAsk.png");
    platform::EventLoop::Ensure();
    MGeneral desk;
    desk.Main();
    frmMain& window = desk.Accounts();
    window.mnuLogin_Click();
    frmaccount& account = *window.AccountDialog();
    window.SureDialog().GeneralQuestionMsg("Logout All");
    window.MnuAbout_Click();
    desk.Messages().ShowMessage("The account 70 was logged out by the server.", "##DEF##", false);
    auto box = desk.Messages().LastShown();
    ASSERT_TRUE(box && box->Window());
    PriceChangedPresenter requote(desk.Services());
    requote.SetData(nullptr, 5001, 70, OrbanelGeneral10::BuyType, 1, nullptr, 1.0852, 1.0855, 0, 9,
                    10);
    Settle();

    const QRect screen = account.screen()->geometry();
    for (QWidget* dialog :
         {static_cast<QWidget*>(&account), static_cast<QWidget*>(&window.SureDialog()),
          static_cast<QWidget*>(&window.AboutBox()), static_cast<QWidget*>(box->Window()),
          dynamic_cast<QWidget*>(requote.View())}) {
        const std::string name = dialog->windowTitle().toStdString();
        EXPECT_TRUE(dialog->isVisible()) << name;
        EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint) << name;
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << name << ": a fixed size";
        EXPECT_GE(dialog->width(), dialog->minimumSizeHint().width()) << name;
        EXPECT_GE(dialog->height(), dialog->minimumSizeHint().height()) << name;
        EXPECT_LE((dialog->frameGeometry().center() - screen.center()).manhattanLength(), 4)
            << name << " centred";
    }
    requote.Dismiss();

    auto* password = account.findChildren<QLineEdit*>().at(1);
    ASSERT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(
        password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
        '*');
    QPushButton* add = nullptr;
    QPushButton* cancel = nullptr;
    for (QPushButton* button : account.findChildren<QPushButton*>()) {
        if (button->text() == "Add new account") add = button;
        if (button->text() == "Cancel") cancel = button;
    }
    ASSERT_TRUE(add && cancel);
    EXPECT_EQ(add->size(), cancel->size());
    EXPECT_GT(add->width(), add->fontMetrics().horizontalAdvance(add->text()) + 12);
    auto* picture = window.SureDialog().findChild<QLabel*>("Image1");
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull()) << "the question's picture";
}

}  // namespace
