#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/MessageBoxWindow.h"

namespace {

using platform::widgets::MessageBoxWindow;

TEST(LabelButton, ClicksOnReleaseOverItAndReportsHover) {
    widgets_testing::App();
    platform::widgets::LabelButton label;
    label.resize(80, 20);
    label.setForeColor(255);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    label.show();
    std::vector<std::string> log;
    auto c1 = label.Click.Connect([&] { log.push_back("click"); });
    auto c2 = label.MouseEnter.Connect([&] { log.push_back("enter"); });
    auto c3 = label.MouseLeave.Connect([&] { log.push_back("leave"); });
    QTest::mouseClick(&label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseClick(&label, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mousePress(&label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::LeftButton, Qt::NoModifier, QPoint(500, 5));  // dragged off
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&label, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &leave);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "enter", "leave"}));
}

TEST(MessageBoxWindow, StaysOpenWithoutBlockingReportsOnceAndDeletesItself) {
    widgets_testing::App();
    struct Case {
        const char* how;
        int32_t expected;
    } const cases[] = {{"button 1", 1}, {"button 2", 2}, {"esc", 2}, {"close", 2}};
    for (const Case& c : cases) {
        const std::string text = "Account 500 for client <b>john</b> <img src=x>";
        auto* box = new MessageBoxWindow("Alert", text, {"OK", "Cancel"}, 2);
        QPointer<MessageBoxWindow> alive(box);
        std::vector<int32_t> pressed;
        box->ButtonPressed.Connect([&](int32_t n) { pressed.push_back(n); });
        box->show();  // returns at once: nothing waits for the operator
        EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(box->isModal());
        // Texts from files, servers and the operator are never taken as markup.
        EXPECT_EQ(box->Label().text().toStdString(), text);
        EXPECT_EQ(box->Label().textFormat(), Qt::PlainText);
        const std::string how = c.how;
        if (how == "button 1") QTest::mouseClick(&box->Button(1), Qt::LeftButton);
        if (how == "button 2") QTest::mouseClick(&box->Button(2), Qt::LeftButton);
        if (how == "esc") QTest::keyClick(box, Qt::Key_Escape);
        if (how == "close") box->close();
        if (alive) box->close();  // a second report is never made
        EXPECT_EQ(pressed, std::vector<int32_t>{c.expected}) << how;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(alive.isNull()) << how;
    }
}

}  // namespace
