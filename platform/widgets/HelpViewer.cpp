#include "platform/widgets/HelpViewer.h"

#include <QKeyEvent>
#include <QString>
#include <QTextBrowser>
#include <QUrl>

#include "platform/widgets/UrlOpener.h"

namespace platform::widgets {

namespace {
constexpr int kWidth = 720;
constexpr int kHeight = 560;

// Esc closes the window, as it does the desk's other small windows.
class HelpWindow : public QTextBrowser {
protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QTextBrowser::keyPressEvent(event);
    }
};
}  // namespace

HelpViewer::HelpViewer() = default;

HelpViewer::~HelpViewer() {
    Close();
}

int32_t HelpViewer::ShowPage(const std::filesystem::path& page) {
    EnsureWindow();
    browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
    const auto handle = static_cast<int32_t>(browser_->winId());
    return handle ? handle : 1;
}

void HelpViewer::Close() {
    delete browser_.data();
}

void HelpViewer::EnsureWindow() {
    if (browser_) return;
    browser_ = new HelpWindow;
    browser_->setObjectName("HelpViewer");
    browser_->setWindowTitle("Help");
    browser_->setAttribute(Qt::WA_DeleteOnClose);
    // Every click comes here, so that nothing leaves the window unasked.
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    browser_->resize(kWidth, kHeight);
    QObject::connect(browser_.data(), &QTextBrowser::anchorClicked, browser_.data(),
                     [this](const QUrl& link) { FollowLink(link); });
}

void HelpViewer::FollowLink(const QUrl& link) {
    if (link.isRelative() || link.isLocalFile()) {
        const QUrl target = browser_->source().resolved(link);
        // An anchor on the page shown only scrolls.
        if (target.adjusted(QUrl::RemoveFragment) ==
                browser_->source().adjusted(QUrl::RemoveFragment) &&
            target.hasFragment())
            browser_->scrollToAnchor(target.fragment());
        else
            browser_->setSource(target);
        return;
    }
    OpenUrl(link.toString().toStdString());
}

}  // namespace platform::widgets
