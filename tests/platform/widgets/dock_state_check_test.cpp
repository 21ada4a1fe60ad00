// The window's saved state reaches the window only whole: every state it writes
// passes, a damaged one (the texts that crashed the desk at every start among
// them) does not; its floating toolbars come onto a screen within its size.
#include <gtest/gtest.h>

#include <QDataStream>
#include <QDockWidget>
#include <QGuiApplication>
#include <QIODevice>
#include <QMainWindow>
#include <QScreen>
#include <QToolBar>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/DockStateCheck.h"
#include "platform/widgets/DockingPanes.h"

namespace {

using platform::widgets::DockingPane;
using platform::widgets::DockingPanes;
using platform::widgets::DockStateWhole;
using platform::widgets::ToolBarsOnScreens;

// ---- States written byte by byte, as the window writes them ----

QByteArray Ints(std::initializer_list<qint32> values) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    for (qint32 value : values) out << value;
    return bytes;
}
QByteArray Byte(quint8 value) {
    return QByteArray(1, char(value));
}
QByteArray Name(const QString& name, qint32 length) {
    QByteArray bytes = Ints({length});
    for (QChar c : name) bytes += Byte(quint8(c.unicode() >> 8)) + Byte(quint8(c.unicode()));
    return bytes;
}
QByteArray Name(const QString& name) {
    return Name(name, qint32(name.size() * 2));
}
QByteArray Pane(const QString& name, quint8 flags = 1) {
    return Byte(0xfb) + Name(name) + Byte(flags) + Ints({0, 200, 100, 16777215});
}
// A split, or a tab group with the item in front at `front`.
QByteArray Group(const std::vector<QByteArray>& items, quint8 orientation = 2,
                 std::optional<qint32> front = std::nullopt) {
    QByteArray group = front ? Byte(0xfa) + Ints({*front}) : Byte(0xfc);
    group += Byte(orientation) + Ints({qint32(items.size())});
    for (const QByteArray& item : items) group += item;
    return group;
}
QByteArray Split(const QByteArray& group) {
    return Byte(0xfc) + Ints({0, 300, 100, 16777215}) + group;
}
QByteArray Areas(const std::vector<std::pair<qint32, QByteArray>>& areas,
                 qint32 corner = 4 /* top */) {
    QByteArray bytes = Byte(0xfd) + Ints({qint32(areas.size())});
    for (const auto& [area, group] : areas) bytes += Ints({area, 300, 600}) + group;
    return bytes + Ints({600, 400, corner, 4, 8, 8});
}
QByteArray FloatingGroup(const QByteArray& group) {
    return Byte(0xf9) + Ints({10, 10, 400, 300}) + group;
}
QByteArray ToolBars(qint32 area = 2 /* top */, quint32 packed = 0, quint32 sizes = 0) {
    return Byte(0xfc) + Ints({1, area, 1}) + Name("Bar1") + Byte(1) +
           Ints({0, -1, qint32(packed), qint32(sizes)});
}
// Floating: the flag, x and the width; y and the height.
QByteArray FloatingToolBar(QRect r) {
    return ToolBars(2, quint32(r.width()) << 17 | quint32(r.x() + 0x7fff) << 1 | 1,
                    quint32(r.height()) << 16 | quint32(r.y() + 0x7fff));
}
QByteArray State(const QByteArray& areas, const QByteArray& rest = ToolBars()) {
    return Ints({0xff, 2}) + areas + rest;
}

QByteArray Nested(int depth) {
    QByteArray group = Group({Pane("Pane1")});
    for (int i = 0; i < depth; ++i) group = Group({Split(group)}, quint8(1 + i % 2));
    return group;
}

TEST(DockStateCheck, StatesWhoseEveryByteReadsAsTheFormatPassAndNoOtherDoes) {
    const QByteArray pane = Group({Pane("Pane1")});
    const QByteArray tabs = Group({Pane("Pane1"), Pane("Pane2")}, 2, 1);
    const struct {
        const char* name;
        QByteArray state;
        bool whole;
    } cases[] = {
        {"one pane", State(Areas({{0, pane}})), true},
        {"every area, tabs, a split, a floating pane and one without a name",
         State(Areas({{0, tabs},
                      {1, Group({Split(Group({Pane("Pane3"), Pane("", 0)}, 1))})},
                      {2, Group({Pane("Pane4", 3)})},
                      {3, Group({Pane("Pane5")}, 1, -1)}})),
         true},
        {"a floating tab group", State(Areas({}), FloatingGroup(tabs) + ToolBars()), false},
        {"splits as deep as they may go", State(Areas({{0, Nested(32)}})), true},
        {"splits deeper", State(Areas({{0, Nested(33)}})), false},
        {"area 4", State(Areas({{4, pane}})), false},
        {"area -1", State(Areas({{-1, pane}})), false},
        {"an area twice", State(Areas({{1, pane}, {1, Group({})}})), false},
        {"five areas", State(Areas({{0, pane}, {1, {}}, {2, {}}, {3, {}}, {4, {}}})), false},
        {"a corner no area", State(Areas({{0, pane}}, 3)), false},
        {"no group", State(Areas({{0, Byte(0xfb)}})), false},
        {"orientation 3", State(Areas({{0, Group({Pane("Pane1")}, 3)}})), false},
        {"the front tab past the last", State(Areas({{0, Group({Pane("Pane1")}, 2, 1)}})), false},
        {"more items than the bytes hold",
         State(Byte(0xfd) + Ints({1, 0, 300, 600}) + Byte(0xfc) + Byte(2) + Ints({1000}) +
               Pane("Pane1") + Ints({600, 400, 4, 4, 8, 8})),
         false},
        {"pane flags 4", State(Areas({{0, Group({Pane("Pane1", 4)})}})), false},
        {"a name of odd length",  // whole but for its length
         State(Areas({{0, Group({Byte(0xfb) + Ints({3}) + Byte(0) + Byte('P') + Byte(0) + Byte(1) +
                                 Ints({0, 1, 0, 0})})}})),
         false},
        {"a name past the end", State(Areas({{0, Group({Byte(0xfb) + Name("P", 4000)})}})), false},
        {"a pane docked and in a floating group",
         State(Areas({{0, pane}}), FloatingGroup(tabs) + ToolBars()), false},
        {"a floating pane of negative size",
         State(Areas({{0, Group({Byte(0xfb) + Name("Pane1") + Byte(3) + Ints({0, 0, -5, 10})})}})),
         false},
        {"a size no window has",
         State(Byte(0xfd) + Ints({1, 0, 300, 1 << 30}) + pane + Ints({600, 400, 4, 4, 8, 8})),
         false},
        {"toolbar area 4", State(Areas({{0, pane}}), ToolBars(4)), false},
        {"a floating toolbar", State(Areas({{0, pane}}), FloatingToolBar({0, 0, 1200, 40})), true},
        {"no toolbars", State(Areas({{0, pane}}), {}), false},
        {"a byte after the toolbars", State(Areas({{0, pane}}), ToolBars() + Byte(0)), false},
        // The two texts that crashed the desk at every start.
        {"26 bytes", QByteArray::fromBase64("AAAA/wAAAAL9AAAAAgD//z3nAwAAAAABA/w="), false},
        {"27 bytes", QByteArray::fromBase64("AAAA/wAAAAL9AAAAVHlwZSAxAAAAAAAA1fwA"), false},
    };
    for (const auto& c : cases) EXPECT_EQ(DockStateWhole(c.state), c.whole) << c.name;
}

// A floating toolbar larger than the largest screen (its picture 8 GB at most),
// off every screen or without a side comes onto the screen it overlaps most,
// else the first, within that screen's size; the rest of the state stays.
TEST(DockStateCheck, FloatingToolBarsComeOntoAScreenWithinItsSize) {
    const QList<QRect> screens = {{0, 0, 1600, 1000}, {1600, 0, 1280, 1024}};
    const QByteArray pane = Group({Pane("Pane1")});
    const struct {
        const char* name;
        QRect bar, fitted;
    } cases[] = {
        {"on the first", {100, 100, 1200, 40}, {100, 100, 1200, 40}},
        {"on the second", {1700, 50, 1200, 40}, {1700, 50, 1200, 40}},
        {"as tall as the tallest", {0, 0, 1500, 1024}, {0, 0, 1500, 1024}},
        {"16384 x 1024", {0, 0, 16384, 1024}, {0, 0, 1600, 1000}},
        {"16384 x 16384", {0, 0, 16384, 16384}, {0, 0, 1600, 1000}},
        {"thicker than the tallest alone", {100, 0, 200, 2000}, {100, 0, 200, 1000}},
        {"the most of it on the second", {1000, 0, 16384, 100}, {1600, 0, 1280, 100}},
        {"off every screen", {20000, 20000, 200, 40}, {1400, 960, 200, 40}},
        {"above and left of them", {-5000, -5000, 200, 40}, {0, 0, 200, 40}},
        {"of no size (the window keeps its docked one)", {-32764, -32767, 0, 0}, {0, 0, 1, 1}},
        {"of no width, past their right", {20000, 100, 0, 40}, {1599, 100, 1, 40}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToolBarsOnScreens(State(Areas({{0, pane}}), FloatingToolBar(c.bar)), screens),
                  State(Areas({{0, pane}}), FloatingToolBar(c.fitted)))
            << c.name;
    const QByteArray damaged = State(Areas({{4, pane}}), FloatingToolBar({0, 0, 16384, 1024}));
    EXPECT_EQ(ToolBarsOnScreens(damaged, screens), damaged);
}

// Whatever the panes and the toolbar went through, and whichever version the
// window writes, the state it writes passes; cut short or lengthened, it does not.
TEST(DockStateCheck, EveryStateTheWindowWritesPasses) {
    widgets_testing::App();
    QMainWindow window;
    window.resize(1000, 700);
    DockingPanes panes{window};
    DockingPane& left = panes.CreatePane(1, 300, 200, DockingPanes::Left);
    DockingPane& tabbed = panes.CreatePane(2, 300, 200, DockingPanes::Left);
    DockingPane& right = panes.CreatePane(3, 300, 200, DockingPanes::Right);
    DockingPane& bottom = panes.CreatePane(4, 300, 200, DockingPanes::Bottom);
    QToolBar* toolBar = window.addToolBar("Bar");
    toolBar->setObjectName("Bar1");
    toolBar->addAction("Bar");
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"before the window shows", [] {}},
        {"shown", [&] { window.show(); }},
        {"tabbed", [&] { tabbed.AttachTo(left); }},
        {"split beside",
         [&] { window.splitDockWidget(&right.Dock(), &bottom.Dock(), Qt::Vertical); }},
        {"closed", [&] { left.Close(); }},
        {"floating", [&] { right.Dock().setFloating(true); }},
        {"a toolbar on the left, hidden",
         [&] {
             window.addToolBar(Qt::LeftToolBarArea, toolBar);
             toolBar->hide();
         }},
        {"with a pane this window lacks",  // kept as a place for it
         [&] {
             QMainWindow other;
             QDockWidget* dock = new QDockWidget(&other);
             dock->setObjectName("Pane99");
             other.addDockWidget(Qt::TopDockWidgetArea, dock);
             ASSERT_TRUE(window.restoreState(other.saveState(2), 2));
         }},
    };
    QByteArray state;
    for (const auto& [name, step] : steps) {
        step();
        widgets_testing::Turn();
        for (int version : {1, 2}) EXPECT_TRUE(DockStateWhole(window.saveState(version))) << name;
        state = window.saveState(2);
    }
    ASSERT_TRUE(state.contains(Name("Pane99").mid(4))) << "the place is kept";
    // Loaded, a floating toolbar larger than the screen comes onto it; the panes load.
    window.addToolBar(Qt::TopToolBarArea, toolBar);
    toolBar->show();
    const QByteArray giant = State(Areas({{0, Group({Pane("Pane1"), Pane("Pane2", 0)})}}),
                                   FloatingToolBar({0, 0, 16384, 1024}));
    ASSERT_TRUE(panes.LoadLayout("DP1:" + std::to_string(giant.size()) + ":" +
                                 std::to_string(qChecksum(giant)) + ":" +
                                 giant.toBase64().toStdString()));
    widgets_testing::Turn();
    EXPECT_TRUE(tabbed.Closed());
    EXPECT_TRUE(toolBar->isFloating());
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(toolBar->geometry()))
        << toolBar->geometry().width() << " x " << toolBar->geometry().height();
    for (qsizetype size = 0; size < state.size(); ++size)
        EXPECT_FALSE(DockStateWhole(state.first(size))) << "cut to " << size << " bytes";
    EXPECT_FALSE(DockStateWhole(state + '\0'));
}

}  // namespace
