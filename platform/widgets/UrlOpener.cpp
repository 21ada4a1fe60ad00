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
    if (const auto& opener = Installed()) return opener(url);
    const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    if (!address.isValid() || address.isRelative()) return false;
    return QDesktopServices::openUrl(address);
}

void SetUrlOpener(UrlOpenerFunction opener) {
    Installed() = std::move(opener);
}

}  // namespace platform::widgets
