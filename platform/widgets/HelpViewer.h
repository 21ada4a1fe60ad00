#pragma once
// The in-app help window: one non-modal window over a QTextBrowser. Links that
// name no scheme (or a file) are followed inside it; any other address goes to
// the URL opener; Esc closes the window. The help object sees it through
// IHelpViewer, so tests can put a recorder in its place. GUI thread only.
#include <QPointer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class QTextBrowser;
class QUrl;

namespace platform::widgets {

class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    // Loads the page and shows the window in front; answers the window's handle
    // (never 0).
    virtual int32_t ShowPage(const std::filesystem::path& page) = 0;
    // Closes the window; a later ShowPage opens it again.
    virtual void Close() = 0;
};

using HelpViewerFactory = std::function<std::unique_ptr<IHelpViewer>()>;

class HelpViewer : public IHelpViewer {
public:
    HelpViewer();
    ~HelpViewer() override;
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    int32_t ShowPage(const std::filesystem::path& page) override;
    void Close() override;

private:
    void EnsureWindow();
    void FollowLink(const QUrl& link);

    QPointer<QTextBrowser> browser_;
};

}  // namespace platform::widgets
