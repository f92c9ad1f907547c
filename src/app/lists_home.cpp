#include "app/lists_home.h"

#include <QDir>
#include <QStandardPaths>

namespace basBrivamo {

bool wantsListsHome(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && QString::fromLocal8Bit(argv[i]) == ListsHomeOption)
            return true;
    }
    return false;
}

QString listsHomePath()
{
    // The generic location, not the application's own: that one would add the organisation and
    // application names (Brivamo/Brivamo).
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(dataHome).filePath(QStringLiteral("Brivamo/lists"));
}

bool enterListsHome(QString *error)
{
    const QString path = listsHomePath();
    if (!QDir().mkpath(path)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(path);
        return false;
    }
    if (!QDir::setCurrent(path)) {
        if (error)
            *error = QStringLiteral("cannot change into the folder %1").arg(path);
        return false;
    }
    return true;
}

} // namespace basBrivamo
