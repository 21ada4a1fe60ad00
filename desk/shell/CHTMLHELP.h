#pragma once
// The desk-wide help object: pages live under the program folder's "help/"
// (and under HelpFile there when it is set); one reused in-app window shows
// them. Made once at start-up and released at the end of the run, which closes
// the window. Nothing is ever reported: a topic it cannot show yields 0.
// GUI thread only.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/widgets/HelpViewer.h"

namespace OrbanexDesk {

// The command that shows the general help.
constexpr int32_t kCmdGeneralHelp = 100009;

class CHTMLHELP {
public:
    // Without a factory the real help window is used. Creation shows nothing.
    explicit CHTMLHELP(platform::widgets::HelpViewerFactory makeViewer = {});
    ~CHTMLHELP();
    CHTMLHELP(const CHTMLHELP&) = delete;
    CHTMLHELP& operator=(const CHTMLHELP&) = delete;

    // Shows the page `topic` (a path relative to the help folder) in the help
    // window and answers the window's handle; 0, with nothing shown, when the
    // page is missing or the topic is absolute or climbs with "..".
    int32_t ShowTopic(const std::string& topic);

    // A sub-folder of "help/" the topics are looked up in; "" for "help/" itself.
    const std::string& HelpFile() const { return HelpFile_; }
    void setHelpFile(const std::string& value) { HelpFile_ = value; }

    // The page the topic names, when it is an existing file inside the help folder.
    std::optional<std::filesystem::path> TopicPath(const std::string& topic) const;

private:
    platform::widgets::HelpViewerFactory makeViewer_;
    std::unique_ptr<platform::widgets::IHelpViewer> viewer_;
    std::string HelpFile_;
};

// The file URL of the program folder's "help/index.html".
std::string HelpIndexUrl();
// The general help command: the index through the URL opener, then the
// "Introduction.html" topic in the help window; both on every use.
void ShowGeneralHelp(CHTMLHELP& help);

}  // namespace OrbanexDesk
