#include "help/help_texts.h"

#include <QFile>

namespace brivamo {

QList<int> helpTextIds()
{
    return {HelpOverview, HelpLobby, HelpMakingPuzzle, HelpTechSpecs, HelpAboutMaker};
}

QString helpText(int id)
{
    if (!helpTextIds().contains(id))
        return QString();
    QFile file(QStringLiteral(":/help/%1.txt").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QLatin1Char('\r'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

} // namespace brivamo
