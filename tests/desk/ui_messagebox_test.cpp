// The desk's message box: its geometry in twips, and boxes that return at once,
// stay open side by side, answer 1, 2 or Esc (2) once and then go away.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "DeskUiTesting.h"
#include "desk/ui/DeskMessages.h"
#include "desk/ui/MsgBoxGeometry.h"
#include "desk/ui/WindowProcedures.h"

namespace {

using namespace OrbanexDesk;
using platform::widgets::MessageBoxWindow;

// Texts wrap from 101 characters; the form is the label plus 1100 by 1400
// twips, at least 3200 wide; one button is centred, two sit 200 apart about the
// middle, 200 below the label.
TEST(MsgBoxGeometry, SizesTheFormToTheLabelAndPlacesTheButtons) {
    EXPECT_FALSE(MsgBoxTextWraps(std::string(100, 'x')));
    EXPECT_TRUE(MsgBoxTextWraps(std::string(101, 'x')));
    std::string accented;
    for (int i = 0; i < 100; ++i) accented += "\xC3\xA9";  // 100 characters, 200 bytes
    EXPECT_FALSE(MsgBoxTextWraps(accented));

    struct Case {
        double labelWidth, labelHeight;
        bool two;
        MsgBoxGeometry expected;
    } const cases[] = {
        {1000, 200, false, {3200, 1600, (3200 - 1000) / 2.0, (3200 - 1000) / 2.0, 640}},
        {2100, 200, false, {3200, 1600, 1100, 1100, 640}},
        {3000, 400, false, {4100, 1800, 1550, 1550, 840}},
        {1000, 200, true, {3200, 1600, 1600 - 1000 - 100, 1700, 640}},
        {5000, 800, true, {6100, 2200, 3050 - 1000 - 100, 3150, 1240}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labelWidth);
        const MsgBoxGeometry g = MsgBoxLayout(240, c.labelWidth, c.labelHeight, 1000, c.two);
        EXPECT_DOUBLE_EQ(g.FormWidth, c.expected.FormWidth);
        EXPECT_DOUBLE_EQ(g.FormHeight, c.expected.FormHeight);
        EXPECT_DOUBLE_EQ(g.Cmd1Left, c.expected.Cmd1Left);
        EXPECT_DOUBLE_EQ(g.CmdTop, c.expected.CmdTop);
        if (c.two) {
            EXPECT_DOUBLE_EQ(g.Cmd2Left, c.expected.Cmd2Left);
            EXPECT_DOUBLE_EQ(g.Cmd2Left - (g.Cmd1Left + 1000), 200);
        }
    }
}

std::string Title(MessageBoxWindow* w) {
    return w ? w->windowTitle().toStdString() : "(closed)";
}

// ShowMessage returns with its box open, on top and not modal; "##DEF##" shows as
// "Alert", other captions as given; each call opens a box of its own.
TEST(DeskMessages, ShowMessageOpensABoxOfItsOwnAndReturnsAtOnce) {
    desk_ui_testing::App();
    DeskMessages messages;
    messages.ShowMessage("First text", kDefaultCaption, false);
    std::shared_ptr<frmMsgBox> first = messages.LastShown();
    messages.SystemMessage("Second text", "Maximum");
    std::shared_ptr<frmMsgBox> second = messages.LastShown();
    ASSERT_TRUE(first && second && first != second);
    MessageBoxWindow* w1 = first->Window();
    MessageBoxWindow* w2 = second->Window();
    ASSERT_TRUE(w1 && w2);
    EXPECT_TRUE(w1->isVisible() && w2->isVisible());
    EXPECT_FALSE(w1->isModal());
    EXPECT_TRUE(w1->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Title(w1), "Alert");
    EXPECT_EQ(Title(w2), "Maximum");
    EXPECT_EQ(w1->Label().text().toStdString(), "First text");
    ASSERT_EQ(w1->ButtonCount(), 1u);
    EXPECT_EQ(w1->Button(1).text().toStdString(), "OK");
    auto* img = w1->findChild<QLabel*>("img");
    ASSERT_NE(img, nullptr);
    EXPECT_FALSE(img->pixmap().isNull());
    // One button sits in the middle of the box.
    const QRect b = w1->Button(1).geometry();
    EXPECT_NEAR(b.center().x(), w1->width() / 2, 1);

    // Dropping every reference keeps the open boxes; a click closes one for good.
    QPointer<MessageBoxWindow> alive1(w1), alive2(w2);
    first.reset();
    second.reset();
    desk_ui_testing::Turn();
    ASSERT_TRUE(alive1 && alive2);
    QTest::mouseClick(&alive1->Button(1), Qt::LeftButton);
    QTest::keyClick(alive2.data(), Qt::Key_Escape);
    desk_ui_testing::Turn();
    EXPECT_TRUE(alive1.isNull() && alive2.isNull());
    EXPECT_EQ(messages.LastShown(), nullptr);
}

// A box answers once: 1 for its first button, 2 for the second or Esc, by the
// mouse or Enter on the focused button; notes and stops also answer 1 at once. Short texts stay on
// one line, long ones wrap.
TEST(DeskMessages, BoxesAnswerOnceAndCloseThemselves) {
    desk_ui_testing::App();
    DeskMessages messages;
    struct Case {
        const char* call;
        const char* act;
        std::vector<int32_t> answers;
        const char* caption;
        size_t buttons;
    } const cases[] = {
        {"question", "button 1", {1}, "Alert", 2},
        {"question", "button 2", {2}, "Alert", 2},
        {"question", "esc", {2}, "Alert", 2},
        {"question", "close", {2}, "Alert", 2},
        {"question", "enter on 1", {1}, "Alert", 2},
        {"question", "enter on 2", {2}, "Alert", 2},
        {"question", "held enter, enter on 2", {2}, "Alert", 2},
        {"note", "button 1", {1, 1}, "Note", 1},
        {"stop", "esc", {1, 2}, "Warning", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " " + c.act);
        std::shared_ptr<IfrmMsgBox> port = messages.NewMsgBox();
        auto* box = dynamic_cast<frmMsgBox*>(port.get());
        ASSERT_NE(box, nullptr);
        std::vector<int32_t> answers;
        auto on = port->ButtonPessed.Connect([&](int32_t b) { answers.push_back(b); });
        const std::string call = c.call, act = c.act;
        if (call == "question") port->GeneralQuestionMsg("Close all?");
        if (call == "note") port->GeneralNoteMsg("Noted");
        if (call == "stop") port->GeneralStopMsg("Stop");
        QPointer<MessageBoxWindow> w(box->Window());
        ASSERT_TRUE(w);
        EXPECT_EQ(Title(w), c.caption);
        EXPECT_EQ(w->ButtonCount(), c.buttons);
        if (c.buttons == 2) {
            EXPECT_EQ(w->Button(1).text().toStdString(), "Yes");
            EXPECT_EQ(w->Button(2).text().toStdString(), "No");
            const QRect b1 = w->Button(1).geometry(), b2 = w->Button(2).geometry();
            EXPECT_NEAR(b2.left() - (b1.left() + b1.width()), TwipsToPixelsX(200), 1);
            EXPECT_NEAR((b1.left() + b2.left() + b2.width()) / 2.0, w->width() / 2.0, 1);
            EXPECT_EQ(b1.top(), b2.top());
        }
        if (act == "button 1") QTest::mouseClick(&w->Button(1), Qt::LeftButton);
        if (act == "button 2") QTest::mouseClick(&w->Button(2), Qt::LeftButton);
        if (act == "esc") QTest::keyClick(&w->Button(1), Qt::Key_Escape);
        if (act == "enter on 1") QTest::keyClick(&w->Button(1), Qt::Key_Enter);
        if (act == "enter on 2") QTest::keyClick(&w->Button(2), Qt::Key_Return);
        if (act == "held enter, enter on 2") {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
            QCoreApplication::sendEvent(&w->Button(1), &repeat);
            QTest::keyClick(&w->Button(2), Qt::Key_Return);
        }
        if (act == "close") w->close();
        EXPECT_FALSE(w && w->isVisible()) << "answered";
        if (w) w->close();  // a second report is never made
        desk_ui_testing::Turn();
        EXPECT_EQ(answers, c.answers);
        EXPECT_TRUE(w.isNull());
        EXPECT_EQ(box->Window(), nullptr);
    }

    for (size_t length : {100u, 101u, 300u}) {
        SCOPED_TRACE(length);
        std::shared_ptr<IfrmMsgBox> port = messages.NewMsgBox();
        auto* box = static_cast<frmMsgBox*>(port.get());
        port->MessageBox(std::string(length, 'w'), "Long", 2, "OK", runtime::Null, false);
        MessageBoxWindow& w = *box->Window();
        EXPECT_EQ(w.Label().wordWrap(), length > 100);
        EXPECT_GE(w.width(), w.Label().geometry().right());
        // A second box on the same object replaces the first without an answer.
        std::vector<int32_t> answers;
        auto on = port->ButtonPessed.Connect([&](int32_t b) { answers.push_back(b); });
        QPointer<MessageBoxWindow> old(&w);
        port->MessageBox("Again", "Long", 2, "OK", runtime::Null, false);
        desk_ui_testing::Turn();
        EXPECT_TRUE(old.isNull());
        ASSERT_NE(box->Window(), nullptr);
        box->Window()->close();
        desk_ui_testing::Turn();
        EXPECT_EQ(answers, std::vector<int32_t>{2});
    }
}

}  // namespace
