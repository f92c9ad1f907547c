#include "app/instance_folder.h"

#include "platform/file_names.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace basBrivamo {

namespace {

QString name(const QByteArray &path)
{
    return brivamo::DecodeFileName(path);
}

// The system's reason for the last failure on `path`.
QString systemError(const QByteArray &path)
{
    return QStringLiteral("%1: %2").arg(name(path), QString::fromLocal8Bit(std::strerror(errno)));
}

// Why `path` is not a folder of the user's own (the folder itself, not a link) that no one else
// may enter; empty when it is.
QString privateFolderProblem(const QByteArray &path)
{
    struct stat info
    {
    };
    if (::lstat(path.constData(), &info) != 0)
        return systemError(path);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(name(path));
    if (info.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user").arg(name(path));
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("other users may enter %1").arg(name(path));
    return {};
}

} // namespace

InstanceFolder instanceFolder(const QByteArray &runtimeDir, const QByteArray &cacheHome,
                              const QByteArray &home)
{
    if (runtimeDir.startsWith('/') && privateFolderProblem(runtimeDir).isEmpty())
        return {name(runtimeDir), {}};
    const QByteArray cache = cacheHome.startsWith('/') ? cacheHome : home + "/.cache";
    const QByteArray folder = cache + "/brivamo";
    if (!cache.startsWith('/'))
        return {name(folder), QStringLiteral("no home folder is set")};

    // Whoever may write in the cache folder could put a folder of their own in place of ours.
    ::mkdir(cache.constData(), 0700);
    struct stat info
    {
    };
    if (::stat(cache.constData(), &info) != 0)
        return {name(folder), systemError(cache)};
    if ((info.st_uid != ::geteuid() && info.st_uid != 0) || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {name(folder), QStringLiteral("other users may write in %1").arg(name(cache))};
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return {name(folder), systemError(folder)};
    return {name(folder), privateFolderProblem(folder)};
}

} // namespace basBrivamo
