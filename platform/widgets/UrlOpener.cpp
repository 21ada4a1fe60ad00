#include "platform/widgets/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform::widgets {

namespace {
UrlOpenerFunction& Installed() {
    static UrlOpenerFunction opener;
    return opener;
}
}  // namespace

bool OpenUrl(const std::string& url) {
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    if (!address.isValid() || address.isRelative()) return false;
    // "http://" and an empty caption behind it is no address a viewer could show.
    const QString scheme = address.scheme().toLower();
    if ((scheme == "http" || scheme == "https") && address.host().isEmpty()) return false;
    if (const auto& opener = Installed()) return opener(url);
    return QDesktopServices::openUrl(address);
}

void SetUrlOpener(UrlOpenerFunction opener) {
    Installed() = std::move(opener);
}

}  // namespace platform::widgets
