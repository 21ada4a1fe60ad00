#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <string>
#include <vector>

#include "WidgetsTesting.h"
#include "platform/widgets/FileChooser.h"

namespace {

using platform::widgets::FileChooser;
using Names = std::vector<std::string>;

QFileDialog* OpenDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) return d;
    return nullptr;
}

// Filters in the "Description|pattern" form become the dialog's name filters.
TEST(FileChooser, FiltersBecomeNameFilters) {
    struct Case {
        const char* filter;
        QStringList expected;
    } cases[] = {
        {"Text Files (*.buf)|*.buf|All Files (*.*)|*.*", {"Text Files (*.buf)", "All Files (*.*)"}},
        {"Lists|*.buf;*.txt", {"Lists (*.buf *.txt)"}},
        {"", {}},
        {"Odd|", {"Odd ()"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileChooser::NameFilters(c.filter), c.expected) << c.filter;
}

// A script answers in place of the dialog, seeing what it was asked, and the
// answer arrives from the loop, not inside Show; a cancel keeps the last name.
TEST(FileChooser, ScriptAnswersFromTheLoop) {
    widgets_testing::App();
    std::vector<FileChooser::Request> asked;
    std::vector<std::optional<std::string>> answers = {"/tmp/a.buf", std::nullopt};
    FileChooser::SetScript([&](const FileChooser::Request& r) {
        asked.push_back(r);
        auto a = answers.front();
        answers.erase(answers.begin());
        return a;
    });
    FileChooser chooser;
    chooser.DialogTitle = "Load File";
    chooser.InitDir = "/home";
    chooser.Filter = "Text Files (*.buf)|*.buf";
    Names got;
    auto c = chooser.Chosen.Connect([&](const std::string& p) { got.push_back(p); });
    chooser.Show(FileChooser::Mode::Open);
    EXPECT_TRUE(got.empty());
    QTest::qWait(20);
    chooser.Show(FileChooser::Mode::Save);
    QTest::qWait(20);
    FileChooser::SetScript({});
    EXPECT_EQ(got, (Names{"/tmp/a.buf", ""}));
    EXPECT_EQ(chooser.FileName, "/tmp/a.buf");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].mode, FileChooser::Mode::Open);
    EXPECT_EQ(asked[0].DialogTitle + "|" + asked[0].InitDir + "|" + asked[0].Filter,
              "Load File|/home|Text Files (*.buf)|*.buf");
    EXPECT_EQ(asked[1].mode, FileChooser::Mode::Save);
    EXPECT_EQ(asked[1].FileName, "/tmp/a.buf");
}

// The real dialog opens without blocking, with the title, folder and filters
// asked; a cancel reports "" once and a chosen file its path.
TEST(FileChooser, DialogReportsCancelAndChoiceOnce) {
    widgets_testing::App();
    const std::string dir = QDir::tempPath().toStdString();
    FileChooser chooser;
    chooser.DialogTitle = "Load File";
    chooser.InitDir = dir;
    chooser.Filter = "Text Files (*.buf)|*.buf|All Files (*.*)|*.*";
    Names got;
    auto c = chooser.Chosen.Connect([&](const std::string& p) { got.push_back(p); });

    chooser.Show(FileChooser::Mode::Open);
    QFileDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Load File");
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(),
              QDir(QString::fromStdString(dir)).absolutePath().toStdString());
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"Text Files (*.buf)", "All Files (*.*)"}));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    dialog->reject();
    QTest::qWait(20);
    EXPECT_EQ(got, Names{""});

    chooser.Show(FileChooser::Mode::Save);
    dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    const std::string target = dir + "/chooser-test-out.buf";
    dialog->selectFile(QString::fromStdString(target));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its own
    QTest::qWait(20);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1], target);
    EXPECT_EQ(chooser.FileName, target);
    EXPECT_EQ(OpenDialog(), nullptr);
}

}  // namespace
