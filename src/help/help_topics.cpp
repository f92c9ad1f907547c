#include "help/help_topics.h"

#include "base/app_info.h"

namespace brivamo {

const QList<HelpMenuItem> &helpMenuItems()
{
    static const QList<HelpMenuItem> items = {
        {1, QStringLiteral("Overview"), 1000},
        {2, QStringLiteral("-"), 0},
        {3, QStringLiteral("The Brivamo Lobby"), 1100},
        {4, QStringLiteral("Making the Puzzle"), 1200},
        {5, QStringLiteral("-"), 0},
        {6, QStringLiteral("Tech Specs"), 1300},
        {7, QStringLiteral("-"), 0},
        {8, QStringLiteral("About Brivamo"), HelpNumberAbout},
        {9, QStringLiteral("About Ostrel Software"), 1900},
        {10, QStringLiteral("-"), 0},
        {11, QStringLiteral("Email Ostrel Software"), HelpNumberEmail},
        {12, QStringLiteral("Visit Ostrel Software's Web Page"), HelpNumberWebPage},
        {13, QStringLiteral("-"), 0},
        {14, QStringLiteral("E&xit this Menu"), 0},
    };
    return items;
}

const HelpMenuItem *helpMenuItem(int index)
{
    if (index < 1 || index > HelpMenuItemCount)
        return nullptr;
    return &helpMenuItems()[index - 1];
}

HelpAction HelpTopicState::actionFor(int index) const
{
    const HelpMenuItem *item = helpMenuItem(index);
    if (!item)
        return HelpAction::Nothing;
    switch (item->number) {
    case HelpNumberEmail:
        return HelpAction::EmailMaker;
    case HelpNumberWebPage:
        return HelpAction::VisitWebPage;
    case HelpNumberAbout:
        return HelpAction::AboutBox;
    default:
        break;
    }
    // The last item is below the count on purpose: it only closes the menu.
    if (index < HelpMenuItemCount && index != m_currentTopic && !item->isSeparator())
        return HelpAction::ShowTopic;
    return HelpAction::Nothing;
}

bool HelpTopicState::choose(int index)
{
    if (actionFor(index) != HelpAction::ShowTopic)
        return false;
    m_currentTopic = qint16(index);
    return true;
}

QString HelpTopicState::topicCaption() const
{
    const HelpMenuItem *item = helpMenuItem(m_currentTopic);
    return item ? item->caption : QString();
}

qint32 HelpTopicState::topicTextId() const
{
    const HelpMenuItem *item = helpMenuItem(m_currentTopic);
    return item ? item->number : 0;
}

QString HelpTopicState::printHeading() const
{
    return AppTitle + QStringLiteral(", Help Section: ") + topicCaption();
}

QString composeAboutText(const QString &title, int major, int minor, int revision,
                         const QString &fileDescription, const QString &legalNotice)
{
    const QString crlf = QStringLiteral("\r\n");
    return title + crlf + QStringLiteral("Version w") + QString::number(major) + QLatin1Char('.') +
           QString::number(minor) + QLatin1Char('.') + QString::number(revision) + crlf + crlf +
           fileDescription + crlf + QChar(169) + legalNotice + crlf + crlf;
}

} // namespace brivamo
