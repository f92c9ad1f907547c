#include "platform/link_opener_desktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace brivamo {

bool DesktopLinkOpener::open(const QString &link)
{
    const QUrl url(link, QUrl::TolerantMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace brivamo
