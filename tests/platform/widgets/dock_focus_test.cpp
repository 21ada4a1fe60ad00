// A pane behind another tab of its group takes neither the focus nor a key,
// whatever brings the other tab to the front, while it stays open; the focus a
// pane held goes with the front, and focus elsewhere stays.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/DockingPanes.h"

namespace {

using platform::widgets::DockingPane;
using platform::widgets::DockingPanes;

QWidget* Form(const std::string& name) {
    auto* form = new QWidget;
    auto* layout = new QVBoxLayout(form);
    for (const char* control : {"edit", "other"}) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::fromStdString(name + " " + control));
        layout->addWidget(edit);
    }
    auto* button = new QPushButton("Buy");
    button->setObjectName(QString::fromStdString(name + " button"));
    layout->addWidget(button);
    return form;
}

// Three panes in one tab group on the left (New Position, New Entry Order,
// Close Postion's places), one alone on the right.
struct TabGroup : ::testing::Test {
    TabGroup() {
        window.resize(1000, 700);
        auto attach =
            panes.AttachPane.Connect([](DockingPane& pane) { pane.setWidget(Form(pane.Title())); });
        left = &panes.CreatePane(1, 300, 200, DockingPanes::Left);
        middle = &panes.CreatePane(2, 300, 200, DockingPanes::Left);
        right = &panes.CreatePane(3, 300, 200, DockingPanes::Left);
        alone = &panes.CreatePane(4, 300, 200, DockingPanes::Right);
        middle->AttachTo(*left);
        right->AttachTo(*middle);
        for (auto [pane, title] : {std::pair{left, "a"}, {middle, "b"}, {right, "c"}, {alone, "d"}})
            pane->setTitle(title);
        left->Select();
        window.show();
        QApplication::setActiveWindow(&window);
        widgets_testing::Turn();
    }
    // The pane whose form holds `w`, or nullptr.
    DockingPane* PaneOf(QWidget* w) const {
        for (DockingPane* pane : {left, middle, right, alone})
            if (w && pane->Dock().isAncestorOf(w)) return pane;
        return nullptr;
    }
    QWidget& Control(DockingPane& pane, const char* control) const {
        return *pane.Dock().findChild<QWidget*>(
            QString::fromStdString(pane.Title() + " " + control));
    }
    void ClickTab(DockingPane& pane) {
        for (QTabBar* bar : window.findChildren<QTabBar*>())
            for (int i = 0; i < bar->count(); ++i)
                if (bar->isVisible() && bar->tabText(i).toStdString() == pane.Title())
                    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        widgets_testing::Turn();
    }
    // The panes the focus reached in `presses` presses of the key from where it is.
    std::vector<std::string> Reached(Qt::Key key, Qt::KeyboardModifiers modifiers, int presses) {
        std::vector<std::string> reached;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            DockingPane* pane = PaneOf(QApplication::focusWidget());
            reached.push_back(pane ? pane->Title() : "");
        }
        return reached;
    }

    QApplication& app = widgets_testing::App();
    QMainWindow window;
    DockingPanes panes{window};
    DockingPane *left, *middle, *right, *alone;
};

TEST_F(TabGroup, PanesBehindTakeNoFocusNorKeyAndTheFocusGoesWithTheFront) {
    struct Road {
        const char* name;
        std::function<void(TabGroup&, DockingPane&)> front;
    };
    const std::vector<Road> roads{
        {"tab click", [](TabGroup& t, DockingPane& pane) { t.ClickTab(pane); }},
        {"select", [](TabGroup&, DockingPane& pane) { pane.Select(); }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        road.front(*this, *left);
        Control(*left, "button").setFocus();
        road.front(*this, *middle);
        ASSERT_EQ(PaneOf(QApplication::focusWidget()), middle);
        EXPECT_EQ(QApplication::focusWidget(), &Control(*middle, "edit")) << "its first control";
        for (DockingPane* pane : {left, middle, right})
            EXPECT_FALSE(pane->Closed()) << pane->Title();

        // Nothing reaches the panes behind, by Tab or by a key to their controls.
        for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier})
            for (const std::string& title : Reached(Qt::Key_Tab, modifiers, 20))
                EXPECT_TRUE(title != "a" && title != "c") << "Tab reached " << title;
        bool pressed = false;
        auto& buy = static_cast<QPushButton&>(Control(*left, "button"));
        const QMetaObject::Connection press =
            QObject::connect(&buy, &QPushButton::clicked, [&] { pressed = true; });
        buy.setFocus();
        QTest::keyClick(&buy, Qt::Key_Space);
        EXPECT_FALSE(pressed || buy.hasFocus());

        // Back to the front, the pane's focus comes back where it was.
        road.front(*this, *left);
        EXPECT_EQ(QApplication::focusWidget(), &Control(*left, "button"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_TRUE(pressed);
        QObject::disconnect(press);

        // Focus in another pane stays there.
        Control(*alone, "other").setFocus();
        road.front(*this, *right);
        EXPECT_EQ(QApplication::focusWidget(), &Control(*alone, "other"));
        road.front(*this, *left);
    }
}

// A dialog over the window keeps the focus; the window's own focus goes with
// the front for when the dialog is gone. A layout loaded keeps the panes
// behind out of the keys' way.
TEST_F(TabGroup, ADialogKeepsTheFocusAndALoadedLayoutKeepsThePanesBehindAway) {
    Control(*left, "other").setFocus();
    QDialog dialog(&window);
    auto* field = new QLineEdit(&dialog);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    field->setFocus();
    middle->Select();
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(PaneOf(window.focusWidget()), middle);
    dialog.hide();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(PaneOf(QApplication::focusWidget()), middle);

    const std::string middleInFront = panes.SaveLayout();
    right->Select();
    ASSERT_TRUE(panes.LoadLayout(middleInFront));
    widgets_testing::Turn();
    Control(*middle, "other").setFocus();
    for (const std::string& title : Reached(Qt::Key_Tab, Qt::NoModifier, 20))
        EXPECT_TRUE(title != "a" && title != "c") << "Tab reached " << title;
    EXPECT_EQ(panes.SaveLayout(), middleInFront) << "nothing of the panes' state is saved";
}

}  // namespace
