#include "base/shared_routines.h"

#include "base/maker_info.h"

namespace modStandard {

double MinOf(double a, double b)
{
    return a <= b ? a : b;
}

double MaxOf(double a, double b)
{
    return a >= b ? a : b;
}

QList<QPoint> tileOrigins(QSize surface, QSize tile)
{
    QList<QPoint> origins;
    if (tile.width() <= 0 || tile.height() <= 0)
        return origins;
    for (int x = 0; x <= surface.width(); x += tile.width())
        for (int y = 0; y <= surface.height(); y += tile.height())
            origins.append(QPoint(x, y));
    return origins;
}

QString linkFor(int kind, const QString &target)
{
    switch (kind) {
    case LinkEmail:
        return QStringLiteral("mailto:") + (target.isEmpty() ? brivamo::MakerEmail : target);
    case LinkWebPage:
        return QStringLiteral("http://") + (target.isEmpty() ? brivamo::MakerWebAddress : target);
    default:
        return QString();
    }
}

} // namespace modStandard
