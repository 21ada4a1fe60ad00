// The about box over the branding cases: whatever the branding files hold, or
// lack, the box opens; the web address opens through the URL opener; Esc closes
// it. The Alert confirmation answers Enter and Esc.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "desk/AssetsDir.h"
#include "desk/accounts/frmAboutOrbanel.h"
#include "desk/accounts/frmSure.h"
#include "platform/widgets/UrlOpener.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;
namespace fs = std::filesystem;

enum class Picture { Shipped, None, Corrupt, Text, Huge };

struct BrandingCase {
    const char* name;
    std::optional<std::string> datCmo;
    Picture picture;
    const char *company, *web, *email;
};

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void MoveOver(QWidget& widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
}

bool Lit(const QLabel& label) {
    return label.font().underline() && label.palette().color(QPalette::WindowText) == Qt::blue;
}

TEST(AboutBox, OpensOverEveryBrandingCaseAndOpensOnlyTheWebAddress) {
    widgets_testing::App();
    std::vector<std::string> opened;
    platform::widgets::SetUrlOpener([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    const BrandingCase cases[] = {
        {"three lines", "Demo Brokerage\r\nwww.example.com\r\ndealing@example.com\r\n",
         Picture::Shipped, "Demo Brokerage", "www.example.com", "dealing@example.com"},
        {"no file", std::nullopt, Picture::None, "", "", ""},
        {"one line", "Demo Brokerage\r\n", Picture::Corrupt, "Demo Brokerage", "", ""},
        {"a comma in line 1", "Demo, Brokerage\r\nwww.example.com\r\ndealing@example.com\r\n",
         Picture::Shipped, "Demo", "Brokerage", "www.example.com"},
        {"empty file, a text as picture", "", Picture::Text, "", "", ""},
        {"a picture of 100000 x 100000", "Demo Brokerage", Picture::Huge, "Demo Brokerage", "", ""},
        {"markup", "<b>Demo</b>\r\nwww.example.com\r\n<img src=x>\r\n", Picture::None,
         "<b>Demo</b>", "www.example.com", "<img src=x>"},
    };
    for (const BrandingCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempProgramFolder folder{"desk-about"};
        if (c.datCmo) Write(folder.Path() / "manage" / "dat.cmo", *c.datCmo);
        if (c.picture == Picture::Shipped)
            fs::copy_file(fs::path(kAssetsDir) / "Manage" / "ufd.jpg",
                          folder.Path() / "manage" / "ufd.jpg");
        if (c.picture == Picture::Corrupt)
            Write(folder.Path() / "manage" / "ufd.jpg", "\xff\xd8\xff\xe0 not a picture");
        if (c.picture == Picture::Text) Write(folder.Path() / "manage" / "ufd.jpg", "a text");
        // A valid header announcing 100000 x 100000 pixels, and nothing after it.
        if (c.picture == Picture::Huge)
            Write(folder.Path() / "manage" / "ufd.jpg",
                  std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0"
                              "\x08\x02\0\0\0\x27\x30\x9c\x9f",
                              33));

        frmAboutOrbanel box;
        box.ShowForm();
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(box.lblCusName().text().toStdString(), c.company);
        EXPECT_EQ(box.lblCusWeb().text().toStdString(), c.web);
        EXPECT_EQ(box.lblCusEmail().text().toStdString(), c.email);
        for (const QLabel* label : {&box.lblCusName(), &box.lblCusWeb(), &box.lblCusEmail()})
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << "shown as written, never as markup";
        EXPECT_EQ(box.Image1().pixmap().isNull(), c.picture != Picture::Shipped);
        EXPECT_EQ(box.CompanyName(), c.company);
        // What follows the notes sits below them.
        EXPECT_GE(box.lblVersion().y(), box.lblNotes().geometry().bottom());

        opened.clear();
        QTest::mouseClick(&box.lblCusEmail(), Qt::LeftButton);
        EXPECT_TRUE(opened.empty());
        QTest::mouseClick(&box.lblCusWeb(), Qt::LeftButton);
        QTest::mouseClick(&box.lbl_website(), Qt::LeftButton);
        // An empty web label forms no address: nothing opens.
        std::vector<std::string> expected{"http://www.example.org/"};
        if (*c.web) expected.insert(expected.begin(), std::string("http://") + c.web);
        EXPECT_EQ(opened, expected);

        MoveOver(box.lblCusWeb());
        EXPECT_TRUE(Lit(box.lblCusWeb()));
        MoveOver(box.lblCusEmail());
        EXPECT_FALSE(Lit(box.lblCusWeb()));
        EXPECT_FALSE(Lit(box.lblCusEmail()));
        MoveOver(box.lbl_website());
        EXPECT_TRUE(Lit(box.lbl_website()));
        MoveOver(box);
        EXPECT_FALSE(Lit(box.lbl_website()));
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_FALSE(box.isVisible());
    }
    platform::widgets::SetUrlOpener({});
}

// Enter presses the focused button, the confirm button when the question opens;
// Esc answers as the cancel button does.
TEST(SureDialog, EnterPressesTheFocusedButtonAndEscCancels) {
    widgets_testing::App();
    std::string ran;
    frmSure sure({.mnuLogout_all = [&] { ran += "logout all;"; }, .mnuremove_all = {}});
    // (key, on the cancel button, what ran)
    const std::tuple<Qt::Key, bool, const char*> cases[] = {{Qt::Key_Return, false, "logout all;"},
                                                            {Qt::Key_Escape, false, ""},
                                                            {Qt::Key_Enter, true, ""},
                                                            {Qt::Key_Escape, true, ""}};
    for (const auto& [key, onCancel, expected] : cases) {
        SCOPED_TRACE(std::to_string(key) + (onCancel ? " on No" : " on Yes"));
        ran.clear();
        sure.GeneralQuestionMsg("Logout All");
        ASSERT_EQ(sure.focusWidget(), &sure.cmd1());
        if (onCancel) sure.cmd2().setFocus();
        QTest::keyClick(sure.focusWidget(), key);
        EXPECT_FALSE(sure.isVisible());
        EXPECT_EQ(ran, expected);
    }
}

}  // namespace
