#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <algorithm>
#include <string>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/DockingPanes.h"

namespace {

using platform::widgets::CommandBar;
using platform::widgets::CommandBarControl;
using platform::widgets::CommandBars;
using platform::widgets::DockingPane;
using platform::widgets::DockingPanes;

QAction& ActionOf(CommandBar& bar, size_t index) {
    // Each control is preceded by its group separator.
    return *bar.Widget().actions().at(static_cast<qsizetype>(index * 2 - 1));
}

struct ShellBars : ::testing::Test {
    ShellBars() {
        window.resize(1000, 700);
        window.setCentralWidget(new QLabel("centre"));
    }
    QApplication& app = widgets_testing::App();
    QMainWindow window;
    CommandBars bars{window};
    DockingPanes panes{window};
};

TEST_F(ShellBars, ControlsRaiseExecuteWithTheirOwnControlAndSharedState) {
    CommandBar& menu = bars.AddMenuBar("Menu Bar");
    CommandBarControl& view = menu.AddControl(CommandBarControl::Popup, 100015, "&View");
    CommandBarControl& inMenu = view.DropDownBar()->AddControl(1, 100043, "Trade");
    CommandBar& tools = bars.AddToolBar("Standard Toolbar", 0);
    CommandBarControl& onBar = tools.AddControl(1, 100043, "Trade");
    tools.AddControl(1, 100042, "Journal").setBeginGroup(true);
    bars.AddAction(100043, "Trade", "", "", "");
    EXPECT_EQ(bars.ActiveMenuBar(), &menu);
    EXPECT_EQ(bars.FindControl(100043), &inMenu);  // drop-downs are searched
    EXPECT_EQ(tools.FindControl(100042), &tools.Control(2));
    EXPECT_EQ(bars.FindControl(999), nullptr);

    std::vector<std::string> log;
    auto c = bars.Execute.Connect([&](CommandBarControl& control) {
        log.push_back(std::to_string(control.Id()) + (&control == &onBar ? "bar" : "menu") +
                      (control.Checked() ? "+" : "-"));
        // The window command decides the new state from the old one.
        control.setChecked(!control.Checked());
    });
    onBar.setChecked(true);
    EXPECT_TRUE(inMenu.Checked());  // one action, every control
    ActionOf(tools, 1).trigger();
    ActionOf(*view.DropDownBar(), 1).trigger();
    EXPECT_EQ(log, (std::vector<std::string>{"100043bar+", "100043menu-"}));
    EXPECT_TRUE(ActionOf(tools, 1).isChecked());

    // A control may delete its own bar from its handler.
    auto c2 = bars.Execute.Connect([&](CommandBarControl& control) {
        if (control.Id() == 100042) tools.Delete();
    });
    ActionOf(tools, 2).trigger();
    widgets_testing::Turn();
    EXPECT_EQ(bars.BarCount(), 1u);
    EXPECT_EQ(bars.FindControl(100042), nullptr);
}

TEST_F(ShellBars, ContextMenusKeysAndStatusPanesDoNotBlock) {
    CommandBar& popup = bars.AddContextMenu(100017, "Accounts Popup");
    popup.AddControl(1, 100018, "Login");
    EXPECT_EQ(bars.FindContextMenu(100017), &popup);
    EXPECT_EQ(bars.FindContextMenu(1), nullptr);
    window.show();
    popup.ShowPopup();  // returns at once
    EXPECT_TRUE(popup.Widget().isVisible());
    static_cast<QMenu&>(popup.Widget()).close();

    std::vector<int32_t> ids;
    auto c = bars.Execute.Connect([&](CommandBarControl& control) { ids.push_back(control.Id()); });
    bars.AddKeyBinding(8, 'R', 100005);
    bars.AddKeyBinding(8 + 4, 'L', 100032);
    bars.AddKeyBinding(8, 0x7FFF, 1);  // no such key: ignored
    QWidget floating;                  // another window of the program
    floating.show();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    QApplication::setActiveWindow(&floating);
    QTest::keyClick(&floating, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ids, (std::vector<int32_t>{100005, 100032}));

    for (int32_t id = 100021; id <= 100026; ++id) bars.AddStatusPane(id);
    bars.setStatusPaneStyle(0, 134217728);
    bars.StatusPane(100026)->setText("Disconnected");
    bars.StatusPane(100026)->setWidth(90);
    EXPECT_EQ(bars.StatusPane(1), nullptr);
    std::vector<std::string> clicks;
    auto c1 =
        bars.StatusPaneClick.Connect([&](auto& pane) { clicks.push_back("click " + pane.Text()); });
    auto c2 = bars.StatusPaneDblClick.Connect(
        [&](auto& pane) { clicks.push_back("dbl " + std::to_string(pane.Id())); });
    auto labels = window.statusBar()->findChildren<QLabel*>();
    QLabel* last = nullptr;
    for (QLabel* l : labels)
        if (l->text() == "Disconnected") last = l;
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->width(), 90);
    QTest::mouseClick(last, Qt::LeftButton);
    QTest::mouseDClick(last, Qt::LeftButton);
    ASSERT_GE(clicks.size(), 2u);
    EXPECT_EQ(clicks.front(), "click Disconnected");
    EXPECT_EQ(clicks.back(), "dbl 100026");
}

TEST_F(ShellBars, PanesAttachBeforeShowingAndReportCloseAndSelect) {
    std::vector<std::string> log;
    auto a = panes.AttachPane.Connect([&](DockingPane& pane) {
        log.push_back("attach " + std::to_string(pane.Id()));
        pane.setWidget(new QLabel(QString::fromStdString(pane.Title())));
    });
    auto b = panes.Action.Connect([&](int32_t code, DockingPane& pane, bool& cancel) {
        log.push_back(std::to_string(code) + " " + std::to_string(pane.Id()));
        cancel = pane.Tag() == "keep";
    });
    DockingPane& accounts = panes.CreatePane(1, 300, 200, DockingPanes::Left);
    DockingPane& trade = panes.CreatePane(2, 300, 200, DockingPanes::Bottom);
    DockingPane& pending = panes.CreatePane(3, 300, 200, DockingPanes::Bottom, &trade);
    pending.AttachTo(trade);
    trade.setTitle("Trade");
    EXPECT_EQ(panes.FindPane(3), &pending);
    EXPECT_EQ(panes.FindPane(7), nullptr);
    EXPECT_TRUE(log.empty());  // nothing is needed before the window shows
    window.show();
    EXPECT_EQ(log.size(), 3u);
    EXPECT_TRUE(accounts.Attached() && trade.Attached() && pending.Attached());
    EXPECT_EQ(log[0], "attach 1");

    log.clear();
    trade.Select();
    EXPECT_FALSE(pending.Closed());  // behind a tab is not closed
    accounts.setTag("keep");
    accounts.Close();
    EXPECT_FALSE(accounts.Closed());
    accounts.setTag("");
    accounts.Close();
    EXPECT_TRUE(accounts.Closed());
    accounts.Select();
    EXPECT_FALSE(accounts.Closed());
    EXPECT_EQ(log, (std::vector<std::string>{"14 2", "3 1", "3 1", "14 1"}));
}

TEST_F(ShellBars, LayoutsAreOneLineAndForeignTextsChangeNothing) {
    CommandBar& standard = bars.AddToolBar("Standard Toolbar", 0);
    CommandBar& login = bars.AddToolBar("Login Toolbar", 0);
    standard.AddControl(1, 100013, "New Position");
    login.AddControl(1, 100018, "Login");
    DockingPane& accounts = panes.CreatePane(1, 300, 200, DockingPanes::Left);
    DockingPane& trade = panes.CreatePane(2, 300, 200, DockingPanes::Bottom);
    window.show();
    bars.RecalcLayout();
    const platform::widgets::BarRect r = standard.WindowRect();
    bars.DockToolBar(login, r.right, r.top, r.right + 50, r.bottom);
    EXPECT_EQ(login.Position(), 0);

    const std::string panesLine = panes.SaveLayout();
    const std::string barsLine = bars.SaveLayout();
    EXPECT_EQ(panesLine.find('\n'), std::string::npos);
    EXPECT_EQ(barsLine, "CB1;1,0;1,0");

    // Change the arrangement, then restore it.
    trade.Close();
    login.setVisible(false);
    const std::string closedLine = panes.SaveLayout();
    accounts.Close();
    const std::string truncated = panesLine.substr(0, panesLine.size() / 2);
    const QByteArray v7 = window.saveState(7);  // the same window, another version
    const std::string otherVersion = "DP1:" + std::to_string(v7.size()) + ":" +
                                     std::to_string(qChecksum(v7)) + ":" +
                                     v7.toBase64().toStdString();
    for (const std::string& bad :
         {std::string(), std::string("garbage"), std::string("DP1:@@@"), std::string("DP1:"),
          truncated, otherVersion, std::string("XX1:") + panesLine.substr(4), panesLine + "AAAA",
          "DP2:0:0:" + panesLine.substr(panesLine.find(':', panesLine.find(':', 4) + 1) + 1)}) {
        EXPECT_FALSE(panes.LoadLayout(bad)) << bad;
        EXPECT_TRUE(accounts.Closed() && trade.Closed());
    }
    for (const std::string& bad :
         {std::string(""), std::string("CB1;1,0"), std::string("CB1;1,0;2,0"),
          std::string("CB1;1,0;1,9"), std::string("CB2;1,0;1,0"), std::string("CB1;1,0;1,0;")}) {
        EXPECT_FALSE(bars.LoadLayout(bad)) << bad;
        EXPECT_TRUE(login.Widget().isHidden());
    }
    ASSERT_TRUE(panes.LoadLayout(panesLine));
    EXPECT_FALSE(accounts.Closed() || trade.Closed());
    EXPECT_TRUE(login.Widget().isHidden());  // the panes' line leaves bars alone
    ASSERT_TRUE(bars.LoadLayout(barsLine));
    EXPECT_FALSE(login.Widget().isHidden());
    ASSERT_TRUE(panes.LoadLayout(closedLine));
    EXPECT_TRUE(trade.Closed());
    EXPECT_FALSE(accounts.Closed());

    // A floating pane saved off every screen comes back where the operator sees it.
    accounts.Dock().setFloating(true);
    accounts.Dock().setGeometry(-20000, -20000, 300, 200);
    widgets_testing::Turn();
    const std::string offScreen = panes.SaveLayout();
    accounts.Dock().setFloating(false);
    ASSERT_TRUE(panes.LoadLayout(offScreen));
    EXPECT_TRUE(!accounts.Dock().isFloating() ||
                QGuiApplication::primaryScreen()->availableGeometry().intersects(
                    accounts.Dock().geometry()));
}

void Settle() {
    for (int i = 0; i < 4; ++i) widgets_testing::Turn();
}

// The layout line with other sizes of its window and room ("w:h:rw:rh").
std::string WithSizes(const std::string& line, const std::string& sizes) {
    size_t state = 0;
    for (int field = 0; field < 5; ++field) state = line.find(':', state) + 1;
    return "DP2:" + sizes + ":" + line.substr(state);
}

// A side's panes docked without a neighbour stand one above the other, as wide as
// the side; each pane keeps its share of the panes' room as the window changes
// size, also from a layout saved at another window size with other bars; a text
// with sizes no window has (a room larger than its window, half empty or too
// small for its panes, a window larger than any screen) changes nothing, one
// saved with no pane docked or in a window below the panes' minimum loads; and
// with no pane at the sides the panes above and below meet, with no blank band
// between them.
TEST(DockingPanesRoom, PanesKeepTheirSharesOfTheRoomAtAnyWindowSize) {
    widgets_testing::App();
    QMainWindow window;
    DockingPanes panes{window};
    DockingPane& left = panes.CreatePane(1, 300, 200, DockingPanes::Left);
    DockingPane& right = panes.CreatePane(2, 300, 200, DockingPanes::Right);
    DockingPane& upper = panes.CreatePane(3, 300, 120, DockingPanes::Bottom);
    DockingPane& lower = panes.CreatePane(4, 300, 200, DockingPanes::Bottom);
    const std::vector<DockingPane*> all{&left, &right, &upper, &lower};
    window.resize(1000, 800);
    window.show();
    Settle();
    EXPECT_GT(lower.Dock().y(), upper.Dock().geometry().bottom());
    EXPECT_EQ(upper.Dock().width(), window.width());
    EXPECT_EQ(lower.Dock().width(), window.width());

    // Each pane's width and height as parts of the room the panes fill.
    const auto shares = [&] {
        QRect room;
        for (DockingPane* pane : all) room |= pane->Dock().geometry();
        std::vector<double> out;
        for (DockingPane* pane : all) {
            out.push_back(double(pane->Dock().width()) / room.width());
            out.push_back(double(pane->Dock().height()) / room.height());
        }
        return out;
    };
    const auto expectShares = [&](const std::vector<double>& expected, const char* what) {
        const std::vector<double> now = shares();
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_NEAR(now[i], expected[i], 0.01)
                << what << ", pane " << i / 2 + 1 << (i % 2 ? " height" : " width");
    };
    panes.SharePanes({{&left, 0.3, 0.4}, {&right, 0.7, 0.4}, {&upper, 1, 0.2}, {&lower, 1, 0.4}});
    Settle();
    const std::vector<double> given = shares();
    EXPECT_NEAR(given[0], 0.3, 0.02);
    EXPECT_NEAR(given[5], 0.2, 0.02);
    for (QSize size : {QSize(1400, 1000), QSize(700, 600), QSize(1000, 800)}) {
        window.resize(size);
        Settle();
        expectShares(given, "resized");
    }

    // Saved in a small window with a toolbar and a status bar, loaded in a larger
    // one without them.
    window.resize(640, 480);
    QToolBar* bar = window.addToolBar("bar");
    bar->setObjectName("bar");
    bar->addAction("Bar");
    window.statusBar()->showMessage("status");
    Settle();
    const std::string saved = panes.SaveLayout();
    bar->hide();
    window.statusBar()->hide();
    panes.SharePanes({{&left, 0.6, 0.3}, {&right, 0.4, 0.3}, {&upper, 1, 0.4}, {&lower, 1, 0.3}});
    window.resize(1300, 900);
    Settle();
    const std::vector<double> before = shares();
    for (const char* sizes :
         {"640:480:641:400", "640:480:0:400", "640:480:10:10", "99999:480:600:400"}) {
        EXPECT_FALSE(panes.LoadLayout(WithSizes(saved, sizes))) << "sizes no window has";
        Settle();
        expectShares(before, sizes);
    }
    ASSERT_TRUE(panes.LoadLayout(saved));
    Settle();
    expectShares(given, "saved at another size");

    // Given less than the panes' minimum, as a window manager may give it.
    window.setMinimumSize(1, 1);
    window.resize(300, 40);
    Settle();
    const std::string squeezed = panes.SaveLayout();
    EXPECT_TRUE(panes.LoadLayout(squeezed)) << squeezed.substr(0, 24);
    window.resize(1300, 900);
    Settle();

    left.Close();
    right.Close();
    Settle();
    EXPECT_EQ(upper.Dock().y(), 0) << "no band above the lower panes";
    EXPECT_EQ(lower.Dock().geometry().bottom(), window.height() - 1);
    upper.Close();
    lower.Close();
    const std::string noRoom = panes.SaveLayout();
    EXPECT_EQ(WithSizes(noRoom, "1300:900:0:0"), noRoom);
    upper.Select();
    EXPECT_TRUE(panes.LoadLayout(noRoom)) << "no pane docked";
    EXPECT_TRUE(upper.Closed());
}

// The pane (or a group's tab bar) the window shows at `at`, or nullptr.
QWidget* PaneAt(QMainWindow& window, QPoint at) {
    for (QWidget* widget = window.childAt(at); widget; widget = widget->parentWidget())
        if (qobject_cast<QDockWidget*>(widget) || qobject_cast<QTabBar*>(widget)) return widget;
    return nullptr;
}

// Points of the window that neither a pane nor a divider between two panes
// (or where two dividers cross) covers: a blank band or strip.
int UncoveredPoints(QMainWindow& window) {
    const int reach = 2 * window.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
    const auto between = [&](QPoint at, QPoint step) {
        return PaneAt(window, at - step) && PaneAt(window, at + step);
    };
    int uncovered = 0;
    for (int x = 0; x < window.width(); x += 3)
        for (int y = 0; y < window.height(); y += 3) {
            const QPoint at(x, y);
            bool covered = PaneAt(window, at) != nullptr;
            for (const QPoint step :
                 {QPoint(reach, 0), QPoint(0, reach), QPoint(reach, reach), QPoint(reach, -reach)})
                covered = covered || between(at, step);
            uncovered += !covered;
        }
    return uncovered;
}

// Drags the divider along the pane's inner edge (the one facing the window's
// middle) by `by` pixels towards the middle; returns how much the pane grew.
int DragInnerEdge(QMainWindow& window, QDockWidget& pane, int32_t side, int by) {
    const QRect rect = pane.geometry();
    const bool across = side == DockingPanes::Left || side == DockingPanes::Right;
    const int sign = side == DockingPanes::Left || side == DockingPanes::Top ? 1 : -1;
    const QPoint at = side == DockingPanes::Left    ? QPoint(rect.right() + 3, rect.center().y())
                      : side == DockingPanes::Right ? QPoint(rect.left() - 3, rect.center().y())
                      : side == DockingPanes::Top   ? QPoint(rect.center().x(), rect.bottom() + 3)
                                                    : QPoint(rect.center().x(), rect.top() - 3);
    const QPoint to = at + (across ? QPoint(sign * by, 0) : QPoint(0, sign * by));
    const int before = across ? rect.width() : rect.height();
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(&window, to);
    Settle();
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, to);
    Settle();
    return (across ? pane.width() : pane.height()) - before;
}

// Whatever sides the panes are docked on, they fill the window with no blank
// band or strip, before and after the window changes size and comes back, and
// every divider between them drags both ways.
TEST(DockingPanesRoom, PanesFillTheWindowAndEveryDividerMovesBothWaysOnAnySides) {
    widgets_testing::App();
    const struct {
        const char* name;
        std::vector<int32_t> sides;  // a side repeated: a tab of the group before
    } cases[] = {
        {"top and bottom", {DockingPanes::Top, DockingPanes::Bottom}},
        {"left alone", {DockingPanes::Left}},
        {"right alone", {DockingPanes::Right}},
        {"left and right", {DockingPanes::Left, DockingPanes::Right}},
        {"a tab group left over the bottom",
         {DockingPanes::Left, DockingPanes::Left, DockingPanes::Bottom}},
        {"top over the right", {DockingPanes::Top, DockingPanes::Right}},
        {"all four sides",
         {DockingPanes::Left, DockingPanes::Right, DockingPanes::Top, DockingPanes::Bottom}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QMainWindow window;
        DockingPanes panes{window};
        std::vector<DockingPane*> created;
        for (size_t i = 0; i < c.sides.size(); ++i) {
            created.push_back(&panes.CreatePane(int32_t(i + 1), 300, 200, c.sides[i]));
            if (i > 0 && c.sides[i] == c.sides[i - 1]) created.back()->AttachTo(*created[i - 1]);
        }
        window.resize(1000, 800);
        window.show();
        Settle();
        EXPECT_EQ(UncoveredPoints(window), 0) << "at first";
        std::vector<QRect> first;
        for (DockingPane* pane : created) first.push_back(pane->Dock().geometry());
        for (const QSize size : {QSize(1300, 900), QSize(1000, 800)}) {
            window.resize(size);
            Settle();
            EXPECT_EQ(UncoveredPoints(window), 0) << size.width() << " x " << size.height();
        }
        for (size_t i = 0; i < created.size(); ++i)
            EXPECT_EQ(created[i]->Dock().geometry(), first[i]) << "pane " << i + 1 << " back";

        for (size_t i = 0; i < created.size(); ++i) {
            const int32_t side = c.sides[i];
            const bool across = side == DockingPanes::Left || side == DockingPanes::Right;
            const bool facing = std::any_of(c.sides.begin(), c.sides.end(), [&](int32_t other) {
                return other != side && (!across || other == (side ^ 1));
            });
            if (!facing || (i > 0 && c.sides[i - 1] == side)) continue;
            EXPECT_NEAR(DragInnerEdge(window, created[i]->Dock(), side, 80), 80, 2)
                << "pane " << i + 1 << " grown";
            EXPECT_NEAR(DragInnerEdge(window, created[i]->Dock(), side, -80), -80, 2)
                << "pane " << i + 1 << " shrunk";
            EXPECT_EQ(UncoveredPoints(window), 0) << "after dragging pane " << i + 1;
        }
    }
}

}  // namespace
