#include "base/app_icon.h"

namespace brivamo {

QIcon AppIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/brivamo_64.png"), QSize(64, 64));
    icon.addFile(QStringLiteral(":/pictures/brivamo_128.png"), QSize(128, 128));
    return icon;
}

} // namespace brivamo
