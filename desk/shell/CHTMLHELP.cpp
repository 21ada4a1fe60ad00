#include "desk/shell/CHTMLHELP.h"

#include <QString>
#include <QUrl>
#include <QWidget>
#include <system_error>

#include "desk/ui/WindowProcedures.h"
#include "platform/Paths.h"
#include "platform/widgets/UrlOpener.h"
#include "runtime/Error.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHelpFolder = "help";
constexpr const char* kIndexPage = "help/index.html";
constexpr const char* kIntroductionTopic = "Introduction.html";

// A relative path that never climbs: no root, no drive, no "..".
bool StaysBelow(const std::string& path) {
    if (path.find('\0') != std::string::npos || path.find(':') != std::string::npos) return false;
    if (!path.empty() && (path.front() == '/' || path.front() == '\\')) return false;
    std::string parts = path;
    for (char& c : parts)
        if (c == '\\') c = '/';
    for (const std::string& part : runtime::Split(parts, "/"))
        if (part == "..") return false;
    return true;
}

bool Inside(const fs::path& path, const fs::path& folder) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path, ec);
    if (ec) return false;
    const fs::path root = fs::weakly_canonical(folder, ec);
    if (ec) return false;
    const fs::path rel = real.lexically_relative(root);
    return !rel.empty() && *rel.begin() != "..";
}

}  // namespace

CHTMLHELP::CHTMLHELP(platform::widgets::HelpViewerFactory makeViewer)
    : makeViewer_(std::move(makeViewer)) {
    if (!makeViewer_)
        makeViewer_ = [] {
            return std::unique_ptr<platform::widgets::IHelpViewer>(
                std::make_unique<platform::widgets::HelpViewer>());
        };
}

CHTMLHELP::~CHTMLHELP() {
    if (viewer_) viewer_->Close();
}

int32_t CHTMLHELP::ShowTopic(const std::string& topic) {
    const std::optional<fs::path> page = TopicPath(topic);
    if (!page) return 0;
    const bool first = !viewer_;
    if (!viewer_) viewer_ = makeViewer_();
    const int32_t handle = viewer_->ShowPage(*page);
    // The window opens in the middle of the screen, not in a corner of it.
    if (first)
        if (QWidget* window = QWidget::find(static_cast<WId>(handle))) CenterForm(*window);
    return handle;
}

std::optional<fs::path> CHTMLHELP::TopicPath(const std::string& topic) const {
    if (topic.empty() || !StaysBelow(topic) || !StaysBelow(HelpFile_)) return std::nullopt;
    try {
        const fs::path folder = platform::ResolvePath(kHelpFolder);
        const std::string inFolder = HelpFile_.empty() ? topic : HelpFile_ + "/" + topic;
        const fs::path page = platform::ResolvePath(std::string(kHelpFolder) + "/" + inFolder);
        std::error_code ec;
        if (!fs::is_regular_file(page, ec) || !Inside(page, folder)) return std::nullopt;
        return page;
    } catch (const runtime::Error&) {
        return std::nullopt;
    }
}

std::string HelpIndexUrl() {
    const fs::path index = platform::ResolvePath(kIndexPage);
    return QUrl::fromLocalFile(QString::fromStdString(index.string())).toString().toStdString();
}

void ShowGeneralHelp(CHTMLHELP& help) {
    platform::widgets::OpenUrl(HelpIndexUrl());
    help.ShowTopic(kIntroductionTopic);
}

}  // namespace OrbanexDesk
