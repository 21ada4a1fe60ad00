// The real desk's help command and the manage-positions form: F1 opens the
// shipped index through the URL opener and the introduction in the help window;
// the form shows its captions and column shares and its controls do nothing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <filesystem>
#include <string>
#include <vector>

#include "desk/AssetsDir.h"
#include "desk/MGeneralMain.h"
#include "desk/positions/frmManagePos.h"
#include "desk/shell/CHTMLHELP.h"
#include "desk/shell/frmMdiNew.h"
#include "platform/widgets/CommandBars.h"
#include "platform/widgets/Grid.h"
#include "platform/widgets/LabelButton.h"
#include "platform/widgets/Twips.h"
#include "platform/widgets/UrlOpener.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;
namespace fs = std::filesystem;

QTextBrowser* HelpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "HelpViewer") return qobject_cast<QTextBrowser*>(w);
    return nullptr;
}

// F1's command: the index's file URL to the opener, then the introduction in-app;
// Esc closes the help window, the next use opens it again, the desk's end closes it.
TEST(ProgramHelp, GeneralHelpCommandOpensTheIndexAndShowsTheIntroduction) {
    QApplication& app = widgets_testing::App();
    (void)app;
    testsupport::TempProgramFolder folder{"desk-help"};
    fs::copy(fs::path(kAssetsDir) / "help", folder.Path() / "help", fs::copy_options::recursive);
    std::vector<std::string> opened;
    platform::widgets::SetUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    {
        MGeneral desk;
        desk.Main();
        auto& popup = desk.Shell().CommandBars().AddContextMenu(100017, "Help Test");
        auto& control =
            popup.AddControl(platform::widgets::CommandBarControl::Button, kCmdGeneralHelp, "");
        for (int use = 1; use <= 2; ++use) {
            SCOPED_TRACE(use);
            desk.Shell().CommandBars_Execute(control);
            ASSERT_EQ(opened.size(), static_cast<size_t>(use));
            EXPECT_EQ(opened.back(), HelpIndexUrl());
            EXPECT_TRUE(QUrl(QString::fromStdString(opened.back()))
                            .toLocalFile()
                            .endsWith("/help/index.html"));
            ASSERT_TRUE(HelpWindow());
            EXPECT_TRUE(HelpWindow()->isVisible());
            EXPECT_TRUE(HelpWindow()->source().toLocalFile().endsWith("help/Introduction.html"));
            EXPECT_FALSE(HelpWindow()->toPlainText().isEmpty());
            if (use == 1) {
                QTest::keyClick(HelpWindow(), Qt::Key_Escape);
                widgets_testing::Turn();
                EXPECT_FALSE(HelpWindow() && HelpWindow()->isVisible());
            }
        }
        desk.Shell().close();
    }
    platform::widgets::SetUrlOpener({});
    EXPECT_FALSE(HelpWindow());
}

// Captions at load, the grid 50 twips narrower than the form, the close pane's
// column shares on resize, and controls that change nothing.
TEST(ManagePositions, ShowsCaptionsAndSharesAndIgnoresItsControls) {
    QApplication& app = widgets_testing::App();
    (void)app;
    frmManagePos form;
    auto* grid = form.findChild<platform::widgets::Grid*>("MSH");
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->width(), form.width() - platform::widgets::TwipsToPixelsX(form, 50));
    std::vector<std::string> captions;
    for (size_t col = 0; col < 4; ++col) captions.push_back(form.MSH().TextMatrix(0, col));
    EXPECT_EQ(captions, (std::vector<std::string>{"Account", "Status", "Amount", "Action"}));
    EXPECT_EQ(form.findChild<QLabel*>("Label2")->text(), "Symbol");
    EXPECT_EQ(form.findChild<QComboBox*>("Combo1")->placeholderText(), "Select Symbol");
    auto* button = form.findChild<platform::widgets::LabelButton*>("LblCheck");
    EXPECT_EQ(button->text(), "Manage All Selected");
    EXPECT_TRUE(form.Displayed());
    form.setDisplayed(false);
    EXPECT_FALSE(form.Displayed());

    form.resize(1000, 300);
    form.show();
    widgets_testing::Turn();
    // The columns share the inside of the frame beside a vertical scroll bar.
    const int inside =
        grid->width() - 2 * grid->frameWidth() - grid->verticalScrollBar()->sizeHint().width();
    const double width = platform::widgets::PixelsToTwipsX(form, inside);
    const double shares[] = {0.15, 0.40, 0.10, 0.35};
    for (size_t col = 0; col < 4; ++col)
        EXPECT_NEAR(form.MSH().ColWidth(col), width * shares[col], 1) << col;

    QTest::mouseClick(button, Qt::LeftButton);
    form.findChild<QCheckBox*>("chkAllClients")->click();
    EXPECT_EQ(form.MSH().Rows(), 2u);
    EXPECT_EQ(form.MSH().TextMatrix(1, 0), "");
    EXPECT_FALSE(form.isHidden());
}

}  // namespace
