// The views and small classes no command shows: the three lists' columns and
// their widths across resizes, the story viewer's Esc and line breaks, and the
// name/value pairs and queue node.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desk/shell/CQueueNod.h"
#include "desk/shell/CStrings.h"
#include "desk/shell/frmAlerts.h"
#include "desk/shell/frmHistory.h"
#include "desk/shell/frmMailbox.h"
#include "desk/shell/frmStory.h"
#include "desk/ui/ListProcedures.h"
#include "platform/widgets/LabelButton.h"
#include "runtime/Convert.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"
#include "tests/platform/widgets/WidgetsTesting.h"

namespace {

using namespace OrbanexDesk;

struct DormantViews : ::testing::Test {
    QApplication& app = widgets_testing::App();
};

std::vector<std::string> Captions(platform::widgets::ListView& list) {
    std::vector<std::string> out;
    for (size_t i = 1; i <= list.Store().ColumnCount(); ++i)
        out.push_back(list.Store().ColumnText(i));
    return out;
}

// Each list's columns; widths wait for the command bars, then follow the form,
// and a column the operator dragged keeps its share.
TEST_F(DormantViews, ListsShowTheirColumnsAndKeepWidthSharesAcrossResizes) {
    bool built = false;
    const auto barsBuilt = [&] { return built; };
    const struct {
        std::function<std::unique_ptr<ShellListForm>()> make;
        const char* list;
        std::vector<std::string> captions;
        std::string widths;
    } cases[] = {
        {[&] { return std::make_unique<frmAlerts>(barsBuilt); },
         "lvwAlerts",
         {"Symbol", "Alert Condition", "Counter", "Timeout", "Last Hit", "Max Iterations"},
         "15,15,15,15,15,15"},
        {[&] { return std::make_unique<frmMailbox>(nullptr, barsBuilt); },
         "lvwMails",
         {"From", "Subject", "Data/Time", ""},
         "20,35,20,10"},
        {[&] { return std::make_unique<frmHistory>(barsBuilt); },
         "lvwHistory",
         {"Ticket", "Type", "Time", "Symbol", "Amount", "B/S", "Open Time", "Open / SL",
          "Close / TP", "DP/WD/AJ", "Com", "Int", "PL / Description"},
         "8,3,12,12,6,5,12,6,6,8,5,4,10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        built = false;
        auto form = c.make();
        platform::widgets::ListView& list = form->List();
        EXPECT_EQ(list.objectName().toStdString(), c.list);
        EXPECT_EQ(Captions(list), c.captions);
        EXPECT_EQ(list.Store().Count(), 0u) << "the load's row is gone again";
        EXPECT_EQ(form->ColumnWidthsPer(), c.widths);

        form->resize(900, 300);
        form->show();
        widgets_testing::Turn();
        const double before = list.ColumnWidth(1);
        form->resize(1000, 320);
        widgets_testing::Turn();
        EXPECT_EQ(list.ColumnWidth(1), before) << "no layout before the command bars";

        built = true;
        form->resize(1000, 300);
        widgets_testing::Turn();
        EXPECT_EQ(list.geometry().right(), form->rect().right()) << "the list fills the form";
        const std::vector<std::string> shares = runtime::Split(c.widths, ",");
        double total = ListWidthTwips(list);
        for (size_t k = 0; k < shares.size(); ++k)
            EXPECT_NEAR(list.ColumnWidth(k + 1), total * runtime::Val(shares[k]) / 100, 1) << k;

        // The operator widens the first column to a third; a resize keeps that share.
        list.setColumnWidth(1, total / 3);
        form->resize(1400, 300);
        widgets_testing::Turn();
        total = ListWidthTwips(list);
        EXPECT_NEAR(list.ColumnWidth(1), total / 3, total * 0.01);
        EXPECT_NEAR(runtime::Val(runtime::Split(form->ColumnWidthsPer(), ",")[0]), 100.0 / 3, 1);
    }
}

// The mailbox's buttons carry their captions and the flag is only stored.
TEST_F(DormantViews, MailboxButtonsAndDisplayedFlag) {
    frmMailbox mailbox;
    std::vector<std::string> captions;
    for (const char* name : {"lbbAll", "lbbNone", "lbbUnread", "lbbRead", "lbbNewMail", "lbbReply",
                             "lbbDeleteForEver"})
        captions.push_back(
            mailbox.findChild<platform::widgets::LabelButton*>(name)->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"All", "None", "Unseen", "Seen", "New", "Reply",
                                                  "Delete"}));
    EXPECT_EQ(mailbox.findChild<QLabel*>("lblSelect")->text(), "Select");
    EXPECT_FALSE(mailbox.Displayed());
    mailbox.setDisplayed(true);
    EXPECT_TRUE(mailbox.Displayed());
}

// Esc in the form, its text box or a picture unloads the story; other keys do not.
TEST_F(DormantViews, StoryUnloadsOnEscFromItsFormTextAndPictures) {
    for (const char* target : {"", "txtStory", "picMINI", "picAFX", "imgFeed"}) {
        SCOPED_TRACE(target);
        QPointer<frmStory> story = new frmStory;
        EXPECT_EQ(story->windowTitle(), "Story");
        story->show();
        QWidget* receiver = *target ? story->findChild<QWidget*>(target) : story.data();
        ASSERT_TRUE(receiver);
        QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QCoreApplication::sendEvent(receiver, &other);
        EXPECT_TRUE(story->isVisible());
        story->resize(700, 500);
        EXPECT_EQ(story->txtStory().width(), 700 - 8) << "the text follows the form";
        EXPECT_GT(story->lblSubject().geometry().right(), 600);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(receiver, &esc);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(story) << "unloaded";
        delete story.data();
    }
}

TEST(SmallClasses, LineBreaksPairsAndQueueNode) {
    // Every CR becomes two CR LF pairs, also the CR of an existing CR LF.
    const std::pair<std::string, std::string> breaks[] = {
        {"", ""},
        {"ab", "ab"},
        {"a\rb", "a\r\n\r\nb"},
        {"a\r\nb", "a\r\n\r\n\nb"},
        {"\r\r", "\r\n\r\n\r\n\r\n"},
        {"a\nb", "a\nb"},
    };
    for (const auto& [in, out] : breaks) EXPECT_EQ(ExpandCarriageReturns(in), out);

    CString pair;
    pair.setParam("a");
    pair.setDelimeter("=");
    pair.setPAramVal("1");
    EXPECT_EQ(pair.DataRow(), "a=1");

    CQueueNod node;
    for (int32_t token : {0, 7, -1}) {
        node.setToken(token);
        EXPECT_EQ(node.ID(), "-1");
    }
    EXPECT_EQ(node.toString(), "To String");

    CStrings list;
    list.Add("a", "=", "1");
    list.Add("b", ":", "2");
    list.Add("c", "-", "3");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(2)->DataRow(), "b:2");
    list.Remove(2);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(2)->DataRow(), "c-3");
    EXPECT_EQ(list.Children().Count(), 2);
    for (int32_t bad : {0, 3, -1}) {
        EXPECT_THROW(list.Item(bad), runtime::Error) << bad;
        EXPECT_THROW(list.Remove(bad), runtime::Error) << bad;
    }
    EXPECT_EQ(list.Count(), 2);
}

}  // namespace
