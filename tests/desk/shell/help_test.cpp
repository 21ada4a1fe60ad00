// The help object over a recording viewer (which topics reach a window, one
// window reused, nothing outside the help folder), the real help window's links,
// the general-help command, and the shipped pages' links.
#include <gtest/gtest.h>

#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "desk/shell/CHTMLHELP.h"
#include "platform/widgets/HelpViewer.h"
#include "platform/widgets/UrlOpener.h"
#include "tests/platform/widgets/WidgetsTesting.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using namespace OrbanexDesk;
namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

struct ViewerLog {
    int made = 0;
    int closed = 0;
    std::vector<fs::path> shown;
};

class RecordingViewer : public platform::widgets::IHelpViewer {
public:
    explicit RecordingViewer(ViewerLog& log) : log_(log) { ++log_.made; }
    int32_t ShowPage(const fs::path& page) override {
        log_.shown.push_back(page);
        return 77;
    }
    void Close() override { ++log_.closed; }

private:
    ViewerLog& log_;
};

// Records what would have gone to the machine's viewer.
struct OpenerLog {
    std::vector<std::string> urls;
    OpenerLog() {
        platform::widgets::SetUrlOpener([this](const std::string& url) {
            urls.push_back(url);
            return true;
        });
    }
    ~OpenerLog() { platform::widgets::SetUrlOpener({}); }
};

struct Help : ::testing::Test {
    QApplication& app = widgets_testing::App();
    testsupport::TempProgramFolder folder{"desk-help"};
    fs::path help = folder.Path() / "help";
    void SetUp() override {
        WriteFile(help / "Introduction.html",
                  "<p>intro <a href=\"https://example.org/x\">x</a></p>");
        WriteFile(help / "Other.html", "<p>other</p>");
        WriteFile(help / "sub" / "Page.html", "<p>sub</p>");
        WriteFile(folder.Path() / "secret.html", "<p>outside</p>");
    }
};

// Only existing pages inside the help folder reach the window, and one window serves them all.
TEST_F(Help, TopicsInsideTheHelpFolderShowInOneWindowAndAnythingElseGivesZero) {
    fs::create_symlink(folder.Path() / "secret.html", help / "link.html");
    ViewerLog log;
    {
        CHTMLHELP helpObject([&] { return std::make_unique<RecordingViewer>(log); });
        EXPECT_EQ(log.made, 0) << "creation shows nothing";
        const struct {
            std::string topic, helpFile;
            bool shown;
        } cases[] = {
            {"Introduction.html", "", true},
            {"other.HTML", "", true},
            {"sub/Page.html", "", true},
            {"Page.html", "sub", true},
            {"Missing.html", "", false},
            {"sub", "", false},
            {"", "", false},
            {"../secret.html", "", false},
            {"sub/../../secret.html", "", false},
            {"..\\secret.html", "", false},
            {"Page.html", "..", false},
            {"/etc/hostname", "", false},
            {"\\secret.html", "", false},
            {"c:\\secret.html", "", false},
            {std::string("Introduction.html\0x", 19), "", false},
            {"link.html", "", false},
        };
        size_t shown = 0;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.topic + " in '" + c.helpFile + "'");
            helpObject.setHelpFile(c.helpFile);
            const int32_t handle = helpObject.ShowTopic(c.topic);
            if (c.shown) {
                EXPECT_NE(handle, 0);
                ASSERT_EQ(log.shown.size(), ++shown);
                EXPECT_EQ(log.shown.back().parent_path().filename() == "sub",
                          c.topic.starts_with("sub") || c.helpFile == "sub");
            } else {
                EXPECT_EQ(handle, 0);
                EXPECT_EQ(log.shown.size(), shown) << "nothing shown";
            }
        }
        EXPECT_EQ(log.made, 1);
        EXPECT_EQ(log.closed, 0);
    }
    EXPECT_EQ(log.closed, 1) << "the end closes the window";

    // No help folder at all: still 0 and no window.
    fs::remove_all(help);
    ViewerLog none;
    CHTMLHELP empty([&] { return std::make_unique<RecordingViewer>(none); });
    EXPECT_EQ(empty.ShowTopic("Introduction.html"), 0);
    EXPECT_EQ(none.made, 0);
}

// The real window: reused, internal links stay in it, external ones go to the
// opener, F1's command opens the index and the introduction, the end closes it.
TEST_F(Help, RealWindowKeepsInternalLinksAndHandsExternalOnesToTheOpener) {
    OpenerLog opener;
    QPointer<QTextBrowser> browser;
    {
        CHTMLHELP helpObject;
        ShowGeneralHelp(helpObject);
        ASSERT_EQ(opener.urls.size(), 1u);
        EXPECT_EQ(opener.urls[0],
                  QUrl::fromLocalFile(QString::fromStdString((help / "index.html").string()))
                      .toString()
                      .toStdString());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "HelpViewer") browser = qobject_cast<QTextBrowser*>(w);
        ASSERT_TRUE(browser);
        EXPECT_TRUE(browser->isVisible());
        EXPECT_TRUE(browser->source().toLocalFile().endsWith("Introduction.html"));

        Q_EMIT browser->anchorClicked(QUrl("https://example.org/x"));
        ASSERT_EQ(opener.urls.size(), 2u);
        EXPECT_EQ(opener.urls[1], "https://example.org/x");
        EXPECT_TRUE(browser->source().toLocalFile().endsWith("Introduction.html"));

        Q_EMIT browser->anchorClicked(QUrl("sub/Page.html"));
        EXPECT_TRUE(browser->source().toLocalFile().endsWith("sub/Page.html"));
        EXPECT_EQ(opener.urls.size(), 2u);

        // A second topic and a second F1 reuse the window.
        EXPECT_NE(helpObject.ShowTopic("Other.html"), 0);
        ShowGeneralHelp(helpObject);
        int windows = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            windows += w->objectName() == "HelpViewer";
        EXPECT_EQ(windows, 1);
        EXPECT_EQ(opener.urls.size(), 3u);
        EXPECT_TRUE(browser->source().toLocalFile().endsWith("Introduction.html"));
    }
    EXPECT_FALSE(browser) << "the end closes the window";
}

// Every shipped page links only to shipped pages; the two the desk opens exist.
TEST(HelpPages, ShippedPagesLinkOnlyToShippedPages) {
    const fs::path dir = fs::path(ORBANEX_ASSETS_DIR) / "help";
    ASSERT_TRUE(fs::is_regular_file(dir / "index.html"));
    ASSERT_TRUE(fs::is_regular_file(dir / "Introduction.html"));
    const std::regex href("href=\"([^\"#]*)(#[^\"]*)?\"");
    for (const auto& entry : fs::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path());
        const std::string page(std::istreambuf_iterator<char>(in), {});
        for (std::sregex_iterator m(page.begin(), page.end(), href), end; m != end; ++m) {
            const std::string target = (*m)[1];
            if (target.empty() || target.find("://") != std::string::npos) continue;
            EXPECT_TRUE(fs::is_regular_file(dir / target)) << target;
        }
    }
}

}  // namespace
