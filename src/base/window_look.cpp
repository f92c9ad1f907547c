#include "base/window_look.h"

#include <QLabel>
#include <QListWidget>

namespace brivamo::WindowLook {

namespace {

QFont FontOf(const QString &designed, double points, bool bold, bool italic)
{
    QFont font;
    font.setFamilies({designed, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

QFont SansSerif(double points, bool bold)
{
    return FontOf(QStringLiteral("MS Sans Serif"), points, bold, false);
}

QFont Arial(double points, bool bold, bool italic)
{
    return FontOf(QStringLiteral("Arial"), points, bold, italic);
}

QListWidget *MakeList(QWidget *parent, const char *name, const QFont &font, QRgb background)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setFont(font);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Black);
    list->setPalette(palette);
    return list;
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QFont &font, QRgb colour)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace brivamo::WindowLook
