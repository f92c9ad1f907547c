#include "app/frm_title_page_texts.h"

namespace brivamo {

QString formatVersionPart(int number)
{
    return number == 0 ? QString() : QString::number(number);
}

QString versionLabelText(int major, int minor, int revision)
{
    return QStringLiteral("Version w") + formatVersionPart(major) + QLatin1Char('.') +
           formatVersionPart(minor) + QLatin1Char('.') + formatVersionPart(revision);
}

QString copyrightLabelText(const QString &legalNotice)
{
    return QChar(169) + legalNotice;
}

QString welcomeText(const QString &appTitle, const QString &overview)
{
    return QStringLiteral("Welcome! Are you a new ") + appTitle + QStringLiteral(" user? ") +
           QStringLiteral("Let's take a moment for a quick overview...") + QStringLiteral("\r\n\r\n") +
           overview;
}

QString emailTooltip(const QString &makerName)
{
    return QStringLiteral(" Click here to Email ") + makerName + QStringLiteral("! ");
}

QString webTooltip(const QString &makerName)
{
    return QStringLiteral(" Click here to visit ") + makerName + QStringLiteral("! ");
}

} // namespace brivamo
