// The shell's command bars: the tables put every command where it belongs and
// take no id twice; offscreen, every carrier of every command dispatches it
// exactly once in both interfaces, also after switching back and forth.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QShortcut>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "desk/common/CPaneDisplay.h"
#include "desk/common/PaneTable.h"
#include "desk/sessions/CClientAPIManagers.h"
#include "desk/shell/CDockable.h"
#include "desk/shell/CQuestionBox.h"
#include "desk/shell/CommandBarTables.h"
#include "desk/shell/LayoutFile.h"
#include "desk/shell/frmJournal.h"
#include "desk/shell/frmMdiNew.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/desk/FakeDesk.h"

namespace {

using namespace OrbanexDesk;
using platform::widgets::CommandBar;
using platform::widgets::CommandBarControl;

std::string KeyName(const KeyBinding& k) {
    return "key " + std::to_string(k.flags) + "," + std::to_string(k.keyCode);
}

// Where the tables put each id: popup, context bar, toolbar, ribbon group,
// "system" menu, the split button's drop-down, or a key.
std::map<int32_t, std::set<std::string>> Carriers() {
    std::map<int32_t, std::set<std::string>> carriers;
    auto add = [&](const BarTable& bar) {
        for (const BarItem& item : bar.items) carriers[item.id].insert(bar.title);
    };
    for (const BarTable& bar : kMenuPopups) add(bar);
    for (const BarTable& bar : kContextBars) add(bar);
    for (const BarTable& bar : kToolBars) add(bar);
    for (const RibbonTabTable& tab : kRibbonTabs)
        for (const BarTable& group : tab.groups) add(group);
    for (const BarItem& item : kSystemItems) carriers[item.id].insert("system");
    for (const BarItem& item : kTradePanelItems) carriers[item.id].insert("&Trade Panel");
    for (const KeyBinding& k : kKeyBindings) carriers[k.id].insert(KeyName(k));
    return carriers;
}

// The 34 shell commands and their places.
const std::map<int32_t, std::set<std::string>> kExpected = {
    {100006, {"Accounts Popup"}},
    {100007, {"Accounts Popup"}},
    {100008, {"&File", "key 16,115"}},
    {100009, {"&Help", "Documentations", "key 0,112"}},
    {100010, {"&Help", "About"}},
    {100011, {"&View", "Standard Toolbar", "&Trade Panel"}},
    {100013, {"&View", "Standard Toolbar", "Show / Hide Windows"}},
    {100018, {"Accounts Popup", "Login Toolbar", "system", "Administration"}},
    {100019, {"Accounts Popup", "Login Toolbar", "system", "Administration"}},
    {100020, {"Accounts Popup", "Login Toolbar", "Administration"}},
    {100027, {"System Interface", "key 8,82"}},
    {100029, {"&File", "Login Toolbar", "key 8,76"}},
    {100031, {"trade Popup"}},
    {100032, {"Accounts Popup", "Login Toolbar", "Administration", "key 12,76"}},
    {100033, {"Accounts Popup", "Login Toolbar", "Administration", "key 16,76"}},
    {100034, {"Accounts Popup", "Login Toolbar", "Administration"}},
    {100035, {"trade Popup"}},
    {100036, {"&View", "Standard Toolbar", "Show / Hide Windows"}},
    {100042, {"&View", "Standard Toolbar", "&Trade Panel"}},
    {100043, {"&View", "Standard Toolbar", "&Trade Panel"}},
    {100046, {"Journal popup"}},
    {100047, {"key 0,116"}},
    {100054, {"&View", "Standard Toolbar", "Show / Hide Windows"}},
    {100057, {"Accounts Popup", "Administration"}},
    {100059, {"Pending"}},
    {100060, {"Pending"}},
    {100061, {"&View", "Standard Toolbar", "&Trade Panel"}},
    {100062, {"&View", "Standard Toolbar", "&Trade Panel"}},
    {100063, {"&View", "Standard Toolbar", "Show / Hide Windows"}},
    {100064, {"trade Popup"}},
    {100066, {"system", "Exit"}},
    {100076, {"Show / Hide Windows"}},
    {100077, {"System Interface"}},
    {100078, {"&View", "Standard Toolbar"}},
};

// Every command sits where its place is; no command id names a pane, a bar or a
// status pane; each key is bound once.
TEST(CommandBarTables, CarryEveryCommandInItsPlacesAndTakeNoIdTwice) {
    ASSERT_EQ(kExpected.size(), 34u);
    const auto carriers = Carriers();
    for (const auto& [id, places] : kExpected) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(carriers.count(id));
        EXPECT_EQ(carriers.at(id), places);
    }
    EXPECT_EQ(carriers.size(), kExpected.size()) << "no control outside the command table";

    std::set<int32_t> others;
    for (const PaneRow& row : kPaneTable) others.insert(row.id);
    for (const BarTable& bar : kMenuPopups) others.insert(bar.id);
    for (const BarTable& bar : kContextBars) others.insert(bar.id);
    for (const RibbonTabTable& tab : kRibbonTabs)
        for (const BarTable& group : tab.groups) others.insert(group.id);
    for (const StatusPaneRow& pane : kStatusPanes) others.insert(pane.id);
    others.insert({kBarToolBars, kSystemButton});
    for (const auto& [id, places] : carriers) EXPECT_FALSE(others.count(id)) << id;

    std::set<std::pair<int32_t, int32_t>> keys;
    for (const KeyBinding& k : kKeyBindings)
        EXPECT_TRUE(keys.insert({k.flags, k.keyCode}).second) << KeyName(k);
}

// A shell over bare views in a program folder of its own.
struct Desk {
    void Start() {
        for (const PaneRow& row : kPaneTable) {
            views.push_back(std::make_unique<CPaneDisplay>(row.id, [this] { return shell.get(); }));
            shell->RegisterPane(
                row.id, [] { return new QWidget; }, views.back().get());
        }
        shell->Show(state);
    }
    CommandBar& Ribbon() { return *shell->Dockable().RibbonBar(); }
    std::vector<CommandBar*> ToolBars() {
        std::vector<CommandBar*> bars;
        for (size_t i = 1; i <= shell->CommandBars().BarCount(); ++i)
            if (shell->CommandBars().Bar(i).BarKind() == CommandBar::Kind::ToolBar)
                bars.push_back(&shell->CommandBars().Bar(i));
        return bars;
    }
    bool AnyToolBarShown() {
        for (CommandBar* bar : ToolBars())
            if (bar->Visible()) return true;
        return false;
    }

    DeskState state;
    std::vector<std::unique_ptr<CPaneDisplay>> views;
    std::unique_ptr<frmMdiNew> shell = std::make_unique<frmMdiNew>();
};

struct CommandBarsOnScreen : ::testing::Test {
    QApplication& app = widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-command-bars"};
};

// One use of one control: what it fires and how.
struct Use {
    int32_t id;
    std::string carrier;
    std::function<void()> fire;
};

void AddControls(std::vector<Use>& uses, CommandBar& bar, const std::string& carrier,
                 const std::function<void(CommandBarControl&)>& fire) {
    for (size_t i = 1; i <= bar.ControlCount(); ++i) {
        CommandBarControl& c = bar.Control(i);
        if (c.Type() != CommandBarControl::Popup)
            uses.push_back({c.Id(), carrier, [&c, fire] { fire(c); }});
        if (c.DropDownBar())
            AddControls(uses, *c.DropDownBar(), carrier,
                        [](CommandBarControl& item) { item.Action()->trigger(); });
    }
}

std::vector<Use> ProUses(Desk& d) {
    std::vector<Use> uses;
    CommandBar& ribbon = d.Ribbon();
    EXPECT_TRUE(ribbon.Visible());
    AddControls(uses, ribbon, "system", [](CommandBarControl&) {});
    for (size_t t = 1; t <= ribbon.TabCount(); ++t)
        for (size_t g = 1; g <= ribbon.Tab(t).GroupCount(); ++g)
            AddControls(uses, ribbon.Tab(t).Group(g), "ribbon", [](CommandBarControl& c) {
                ASSERT_NE(c.ToolButton(), nullptr);
                c.ToolButton()->click();
            });
    return uses;
}

std::vector<Use> SimpleUses(Desk& d) {
    std::vector<Use> uses;
    AddControls(uses, *d.shell->CommandBars().ActiveMenuBar(), "menu",
                [](CommandBarControl& c) { c.Action()->trigger(); });
    for (CommandBar* bar : d.ToolBars()) {
        EXPECT_TRUE(bar->Visible());
        auto* toolBar = static_cast<QToolBar*>(&bar->Widget());
        AddControls(uses, *bar, "toolbar", [toolBar](CommandBarControl& c) {
            auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(c.Action()));
            ASSERT_NE(button, nullptr);
            button->click();
        });
    }
    return uses;
}

std::vector<Use> CommonUses(Desk& d) {
    std::vector<Use> uses;
    for (const BarTable& table : kContextBars)
        AddControls(uses, *d.shell->CommandBars().FindContextMenu(table.id), "context",
                    [](CommandBarControl& c) { c.Action()->trigger(); });
    for (const KeyBinding& k : kKeyBindings) {
        Qt::KeyboardModifiers modifiers;
        if (k.flags & 4) modifiers |= Qt::ShiftModifier;
        if (k.flags & 8) modifiers |= Qt::ControlModifier;
        if (k.flags & 16) modifiers |= Qt::AltModifier;
        const auto key =
            static_cast<Qt::Key>(k.keyCode >= 112 ? Qt::Key_F1 + (k.keyCode - 112) : k.keyCode);
        uses.push_back({k.id, "key", [&d, key, modifiers] {
                            QApplication::setActiveWindow(d.shell.get());
                            QTest::keyClick(d.shell.get(), key, modifiers);
                        }});
    }
    return uses;
}

// Every carrier of every command dispatches it exactly once, in both interfaces
// and after two round trips between them.
TEST_F(CommandBarsOnScreen, EveryCarrierDispatchesItsCommandOnceInBothInterfaces) {
    Desk d;
    d.Start();
    frmMdiNew& shell = *d.shell;
    std::vector<int32_t> log;
    for (const auto& [id, places] : kExpected)
        shell.AddCommandHandler(id, [&log, &shell, id = id] {
            log.push_back(id);
            if (id == 100077) shell.ResetMenuBar();
            if (id == 100078) shell.CreateRibbonBar();
        });
    std::map<int32_t, std::set<std::string>> reached;
    auto sweep = [&](std::vector<Use> uses) {
        for (const Use& use : uses) {
            if (use.id == 100077 || use.id == 100078) continue;  // they switch: below
            SCOPED_TRACE(use.carrier + " " + std::to_string(use.id));
            log.clear();
            use.fire();
            widgets_testing::Turn();
            EXPECT_EQ(log, std::vector<int32_t>{use.id});
            reached[use.id].insert(use.carrier);
        }
    };
    auto toSimple = [&] {
        log.clear();
        d.Ribbon().FindControl(100077)->ToolButton()->click();
        widgets_testing::Turn();
        EXPECT_EQ(log, std::vector<int32_t>{100077});
        EXPECT_EQ(shell.Dockable().RibbonBar(), nullptr);
        EXPECT_EQ(d.ToolBars().size(), 2u) << "the old toolbars went";
        EXPECT_TRUE(shell.CommandBars().ActiveMenuBar()->Visible());
        reached[100077].insert("ribbon");
    };
    auto toPro = [&](bool byToolbar) {
        log.clear();
        CommandBarControl* pro = byToolbar ? d.ToolBars()[0]->FindControl(100078)
                                           : shell.GetCommandBarControl(kBarView, 100078);
        pro->Action()->trigger();
        widgets_testing::Turn();
        EXPECT_EQ(log, std::vector<int32_t>{100078});
        EXPECT_FALSE(d.AnyToolBarShown());
        EXPECT_FALSE(shell.CommandBars().ActiveMenuBar()->Visible());
        reached[100078].insert(byToolbar ? "toolbar" : "menu");
    };

    EXPECT_FALSE(d.AnyToolBarShown()) << "the desk starts with the ribbon";
    EXPECT_FALSE(shell.CommandBars().ActiveMenuBar()->Visible());
    sweep(ProUses(d));
    sweep(CommonUses(d));
    toSimple();
    sweep(SimpleUses(d));
    toPro(false);
    toSimple();
    toPro(true);
    sweep(ProUses(d));
    sweep(CommonUses(d));
    toSimple();
    sweep(SimpleUses(d));
    sweep(CommonUses(d));

    for (const auto& [id, places] : kExpected) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(reached.count(id));
    }
    std::set<std::string> keys;
    for (QShortcut* s : shell.findChildren<QShortcut*>())
        if (s->isEnabled()) {
            EXPECT_TRUE(keys.insert(s->key().toString().toStdString()).second);
        }
    EXPECT_EQ(keys.size(), std::size(kKeyBindings)) << "one shortcut per key";

    // Binding a bound key again moves it: only the new command runs.
    shell.CommandBars().AddKeyBinding(8, 'R', 100047);
    log.clear();
    QApplication::setActiveWindow(&shell);
    QTest::keyClick(&shell, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(log, std::vector<int32_t>{100047});
    EXPECT_EQ(shell.CommandBars().KeyBindingCount(), std::size(kKeyBindings));
}

// "Trade" hides its shown pane and unchecks itself and "&Trade Panel" on every
// control; the saved simple layout brings no toolbar back beside the ribbon.
TEST_F(CommandBarsOnScreen, TradeUnchecksEverywhereAndTheRibbonComesBackAlone) {
    {
        Desk d;
        d.Start();
        frmMdiNew& shell = *d.shell;
        for (int32_t id : {kPaneAccountsList, kPaneJournal, kPanePendingOrder, kPaneNetTrade})
            shell.SelectPane(id);
        shell.MnuDefultShown();
        shell.UpdateShowAllCheck();
        CommandBarControl* split = d.Ribbon().FindControl(kCmdShowAll);
        ASSERT_TRUE(split->Action()->isChecked());
        ASSERT_FALSE(shell.PaneClosed(kPaneTrade));

        d.Ribbon().FindControl(100043)->Action()->trigger();  // the drop-down's "&Trade"
        EXPECT_TRUE(shell.PaneClosed(kPaneTrade));
        EXPECT_FALSE(shell.CommandChecked(100043));
        EXPECT_FALSE(split->Action()->isChecked());
        EXPECT_FALSE(d.Ribbon().FindControl(100043)->Action()->isChecked());
        EXPECT_FALSE(shell.GetCommandBarControl(kBarView, 100043)->Action()->isChecked());

        split->ToolButton()->click();
        EXPECT_FALSE(shell.PaneClosed(kPaneTrade));
        EXPECT_TRUE(split->Action()->isChecked());
        split->ToolButton()->click();
        for (int32_t id :
             {kPaneAccountsList, kPaneJournal, kPanePendingOrder, kPaneTrade, kPaneNetTrade})
            EXPECT_TRUE(shell.PaneClosed(id)) << id;
        EXPECT_FALSE(split->Action()->isChecked());

        // The simple interface: "Trade" on the toolbar shows the pane; the menu agrees.
        shell.ResetMenuBar();
        widgets_testing::Turn();
        CommandBar* standard = d.ToolBars().at(0);
        standard->FindControl(100043)->Action()->trigger();
        EXPECT_FALSE(shell.PaneClosed(kPaneTrade));
        EXPECT_TRUE(shell.GetCommandBarControl(kBarView, 100043)->Action()->isChecked());

        // The connection pane's click opens the add-account dialog; the time pane's does not.
        int adds = 0;
        shell.AddCommandHandler(100029, [&] { ++adds; });
        shell.CommandBars().StatusPaneClick(*shell.CommandBars().StatusPane(100026));
        shell.CommandBars().StatusPaneDblClick(*shell.CommandBars().StatusPane(100025));
        shell.CommandBars().StatusPaneClick(*shell.CommandBars().StatusPane(100024));
        EXPECT_EQ(adds, 2);

        // Popups by id, at once.
        shell.ShowPopup(kBarTradePopup);
        EXPECT_TRUE(shell.CommandBars().FindContextMenu(kBarTradePopup)->Widget().isVisible());
        static_cast<QMenu&>(shell.CommandBars().FindContextMenu(kBarTradePopup)->Widget()).close();
        shell.ShowPopup(4242);
        QApplication::setActiveWindow(&shell);
        QTest::keyClick(&shell, Qt::Key_F4, Qt::AltModifier);  // unloads as the close does
    }
    // Two toolbars saved shown: the old ones went with the switch.
    const auto lines = ReadLayoutLines(folder.Path() / "Manage" / "Interface.vfx");
    EXPECT_EQ(lines[1], "CB1;1,0;1,0");
    Desk again;
    again.Start();
    EXPECT_TRUE(again.Ribbon().Visible());
    EXPECT_FALSE(again.AnyToolBarShown());
    EXPECT_EQ(again.ToolBars().size(), 2u);
}

// The popup commands read the selected row of their list and reach the panes
// through the ports; market orders get their note and nothing else.
TEST_F(CommandBarsOnScreen, PopupCommandsActOnTheSelectedRowThroughThePorts) {
    testsupport::FakeDesk fake(CClientAPIManagers::Factory());
    frmJournal journal;
    DeskPorts ports = fake.Ports();
    ports.frmJournal = &journal;
    DeskServices services(ports, CClientAPIManagers::Factory());
    std::vector<std::string> asked;
    CQuestionBox question(services.Ports(), services.State(),
                          {.GeneralQuestionMsg = [&](const std::string& t) { asked.push_back(t); },
                           .HideMsgBox = {},
                           .DeleteManagedOrder = {}});
    Desk d;
    d.shell->setDesk(&services);
    d.shell->setQuestionBox(&question);
    d.Start();
    frmMdiNew& shell = *d.shell;

    auto& stores = fake.stores();
    auto& position = stores.lvwOpenPos.Add("T55", "55");
    for (auto [i, text] : {std::pair<size_t, const char*>{1, "1001"}, {4, "0.3"}, {5, "EURUSD"}})
        position.setSubItems(i, text);
    position.setSelected(true);
    for (const char* name : {"GBPUSD", "EURUSD"}) stores.cbsymbols.AddItem(name);
    stores.cblimitordersymbols.AddItem("GBPUSD");
    auto& limit = stores.lvwPending.Add("P7", "7");
    limit.setSubItems(1, "1002");
    limit.setSubItems(2, "Buy Limit");
    auto& market = stores.lvwPending.Add("P8", "8");
    market.setSubItems(1, "1002");
    market.setSubItems(2, "Buy");
    journal.Add("a line", 1001, false);

    struct Case {
        const char* name;
        int32_t id;
        platform::ListItem* pending;
        std::vector<std::string> log;
    } cases[] = {
        {"new position selects the symbol", 100035, nullptr, {}},
        {"new entry order empties the pane; its list lacks the symbol",
         100064,
         nullptr,
         {"limit.cmdcancel_Click"}},
        {"edit a market order",
         100060,
         &market,
         {"message|##DEF##|You can not edit market orders"}},
        {"edit an entry order", 100060, &limit, {"limit.cmdcancel_Click", "limit.EdirMode"}},
        {"cancel a market order",
         100059,
         &market,
         {"message|##DEF##|You can not cancel market orders"}},
        {"cancel an entry order asks", 100059, &limit, {"limit.cmdcancel_Click"}},
        {"close a position of an account without a session", 100031, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.pending) c.pending->setSelected(true);
        fake.Take();
        shell.RunCommand(c.id);
        std::vector<std::string> log;
        for (const std::string& line : fake.Take())
            if (line.rfind("shell.", 0) != 0) log.push_back(line);
        EXPECT_EQ(log, c.log);
    }
    EXPECT_EQ(stores.cbsymbols.ListIndex(), 1);
    EXPECT_EQ(stores.cblimitordersymbols.ListCount(), 1u) << "a missing symbol is not added";
    EXPECT_EQ(stores.cblimitordersymbols.ListIndex(), -1);
    EXPECT_FALSE(shell.PaneClosed(kPaneNewEntryOrder));
    EXPECT_EQ(asked, std::vector<std::string>{"Are you sure you want to cancel order number 7?"});
    EXPECT_EQ(services.State().CancelOrderAccount, 1002);
    EXPECT_EQ(services.State().CancelOrderID, 7);
    EXPECT_EQ(question.QuestionType(), CQuestionBox::kCancelOrder);

    ASSERT_EQ(journal.lvwJournal().Count(), 1u);
    shell.RunCommand(100046);
    EXPECT_EQ(journal.lvwJournal().Count(), 0u) << "Clear empties the journal list";
    // Nothing selected: the commands end quietly.
    stores.lvwOpenPos.Clear();
    stores.lvwPending.Clear();
    fake.Take();
    for (int32_t id : {100031, 100035, 100059, 100060, 100064}) shell.RunCommand(id);
    for (const std::string& line : fake.Take())
        EXPECT_TRUE(line == "limit.cmdcancel_Click" || line.rfind("shell.", 0) == 0) << line;
}

}  // namespace
