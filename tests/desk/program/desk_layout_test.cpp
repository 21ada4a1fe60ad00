// The started desk's panes offscreen: what the dealer's first look and the
// pane moves leave of the Accounts List's columns.
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
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

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
// 1600 x 1000 (the window a dealer's screen gives it).
struct ShownDesk {
    static frmMdiNew& Started(MGeneral& desk) {
        desk.Main();
        frmMdiNew& shell = desk.Shell();
        shell.setWindowState(Qt::WindowNoState);
        shell.resize(1600, 1000);
        return shell;
    }
    MGeneral desk;
    frmMdiNew& shell = Started(desk);
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

// The default arrangement at 1600 x 1000 (no layout file): the Accounts List's
// figures fit their columns, and no summary line holds the Trade pane wide.
TEST(DeskLayout, TheFirstStartGivesTheAccountsListRoomForItsColumns) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-first"};
    platform::EventLoop::Ensure();
    ShownDesk shown;
    MGeneral& desk = shown.desk;
    frmMdiNew& shell = shown.shell;
    Settle();
    auto* summary = shell.GetPane(kPaneTrade)->Dock().findChild<QLabel*>("lbmSummaries");
    ASSERT_NE(summary, nullptr);
    summary->setText(QString(300, 'M'));
    Settle();
    EXPECT_LT(shell.GetPane(kPaneTrade)->Dock().minimumSizeHint().width(), 400)
        << "a long summary line must not hold the pane wide";

    const platform::widgets::ListView& list = desk.Accounts().ClientsView();
    const QFontMetrics metrics = list.fontMetrics();
    const int figure = metrics.horizontalAdvance("10,000.00");
    for (int k = kBalanceColumn; k < list.header()->count(); ++k)
        EXPECT_GT(list.header()->sectionSize(k), figure) << "column " << k;
    EXPECT_GT(list.header()->sectionSize(kStatusColumn), metrics.horizontalAdvance("Connected"));

    // The divider above the bottom row drags.
    QDockWidget& accounts = shell.GetPane(kPaneAccountsList)->Dock();
    const int height = accounts.height();
    const QPoint divider(accounts.x() + accounts.width() / 2, accounts.y() - 3);
    QTest::mousePress(&shell, Qt::LeftButton, Qt::NoModifier, divider);
    QTest::mouseMove(&shell, divider - QPoint(0, 60));
    Settle();  // the window moves its dividers on a timer
    QTest::mouseRelease(&shell, Qt::LeftButton, Qt::NoModifier, divider - QPoint(0, 60));
    Settle();
    EXPECT_NEAR(accounts.height(), height + 60, 4);
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

// Sizes changed by the dealer come back at the next start, within a few pixels.
TEST(DeskLayout, ARestartRestoresThePanesSizes) {
    widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-layout-restart"};
    platform::EventLoop::Ensure();
    std::vector<QRect> before;
    {
        ShownDesk shown;
        frmMdiNew& shell = shown.shell;
        Settle();
        shell.resizeDocks({&shell.GetPane(kPaneMarketWatch)->Dock()}, {948}, Qt::Horizontal);
        shell.resizeDocks({&shell.GetPane(kPaneAccountsList)->Dock()}, {300}, Qt::Vertical);
        Settle();
        for (const PaneRow& row : kPaneTable)
            before.push_back(shell.GetPane(row.id)->Dock().geometry());
        int16_t cancel = 1;
        shell.MDIForm_Unload(cancel);
    }
    ShownDesk shown;
    frmMdiNew& shell = shown.shell;
    Settle();
    for (size_t i = 0; i < kPaneTable.size(); ++i) {
        if (!shell.rect().intersects(before[i])) continue;  // behind a tab
        const QRect after = shell.GetPane(kPaneTable[i].id)->Dock().geometry();
        EXPECT_LE((after.topLeft() - before[i].topLeft()).manhattanLength(), 6)
            << kPaneTable[i].title << " " << after.x() << "," << after.y() << " was "
            << before[i].x() << "," << before[i].y();
        EXPECT_LE(std::abs(after.width() - before[i].width()) +
                      std::abs(after.height() - before[i].height()),
                  6)
            << kPaneTable[i].title << " " << after.width() << "x" << after.height() << " was "
            << before[i].width() << "x" << before[i].height();
    }
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
