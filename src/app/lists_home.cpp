#include "app/lists_home.h"

#include "base/app_info.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace basBrivamo {

QString listsHomePath()
{
    // The generic location, not the application's own: that one would add the organisation and
    // application names (Brivamo/Brivamo).
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(dataHome).filePath(QStringLiteral("Brivamo/lists"));
}

bool enterListsHome(QString *cause)
{
    const QByteArray path = QFile::encodeName(listsHomePath());
    const auto fail = [cause](int error) {
        if (cause)
            *cause = QString::fromLocal8Bit(std::strerror(error));
        return false;
    };
    std::error_code made;
    std::filesystem::create_directories(path.constData(), made);
    if (made)
        return fail(made.value());
    // A folder that exists but takes no new file (read-only, or not the user's) would only show its
    // failures later, one list at a time.
    if (::access(path.constData(), R_OK | W_OK | X_OK) != 0)
        return fail(errno);
    if (::chdir(path.constData()) != 0)
        return fail(errno);
    return true;
}

QString listsHomeFailureLine(const QString &cause)
{
    return QStringLiteral("The word lists cannot be kept in %1 (%2).").arg(listsHomePath(), cause);
}

QString listsHomeFailureText(const QString &cause)
{
    return brivamo::AppTitle + QStringLiteral(" cannot keep its word lists in the folder\r\n%1\r\n(%2).")
                                   .arg(listsHomePath(), cause);
}

} // namespace basBrivamo
