#include "platform/links.h"

#include <QDesktopServices>

namespace kmx::platform {

QUrl urlForLink(const QString& address) {
    const QString text = address.trimmed();
    if (text.isEmpty()) return {};
    if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
        QUrl url(text, QUrl::TolerantMode);
        return url.isValid() && url.path().size() > 0 ? url : QUrl();
    }
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid() || url.host().isEmpty()) return {};
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"))
        return url;
    return {};
}

void DesktopLinkOpener::open(const QString& address) {
    const QUrl url = urlForLink(address);
    if (url.isValid()) QDesktopServices::openUrl(url);
}

}  // namespace kmx::platform
