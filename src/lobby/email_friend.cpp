#include "lobby/email_friend.h"

#include "base/app_info.h"
#include "base/maker_info.h"

#include <QStringList>

namespace brivamo {

QString EmailFriendText()
{
    const QString title = AppTitle;
    const QString subject = QStringLiteral("'") + title + QStringLiteral("' computer game from ") + MakerName;
    const QStringList paragraphs = {
        QStringLiteral("I just came across this word game from ") + MakerName + QStringLiteral(" called '") +
            title + QStringLiteral("' that is really fun, and I thought you might ") +
            QStringLiteral("want to know about it."),
        QStringLiteral("You can download and install it for free at ") + MakerName +
            QStringLiteral("'s web site (") + MakerWebAddress + QStringLiteral("). ") +
            QStringLiteral("The direct download link is"),
        MakerDownloadAddress,
        QStringLiteral("Check it out if you want and tell me what you think about it."),
    };
    return QStringLiteral("?subject=") + subject + QStringLiteral("&body=") +
           paragraphs.join(QStringLiteral("%0D%0A%0D%0A"));
}

} // namespace brivamo
