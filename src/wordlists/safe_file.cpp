#include "wordlists/safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brivamo {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes and removes the temporary file of a failed write; the caller's errno survives.
void discard(int fd, const QByteArray &temporary)
{
    const int saved = errno;
    if (fd >= 0)
        ::close(fd);
    ::unlink(temporary.constData());
    errno = saved;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Makes the rename itself durable; a failure here leaves a complete file either way, so it is
// not reported.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QString writeFileSafely(const QString &path, const QByteArray &bytes, SafeWriteMode mode)
{
    const QByteArray target = QFile::encodeName(path);
    const QFileInfo info(path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());

    struct stat existing
    {
    };
    const bool exists = ::lstat(target.constData(), &existing) == 0;
    if (exists && mode == SafeWriteMode::CreateOnly)
        return systemReason(EEXIST);
    if (exists && !S_ISREG(existing.st_mode))
        return QStringLiteral("Something other than a file already carries the name %1.")
            .arg(info.fileName());

    // A name of our own next to the target, created exclusively so nothing else is overwritten;
    // 0666 lets the umask decide a new file's permissions.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "/." + QFile::encodeName(info.fileName()) + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return systemReason(errno);
    }
    if (fd < 0)
        return systemReason(EEXIST);

    if (!writeAll(fd, bytes) || (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) || ::fsync(fd) != 0) {
        const int error = errno;
        discard(fd, temporary);
        return systemReason(error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        discard(-1, temporary);
        return systemReason(error);
    }

    if (mode == SafeWriteMode::CreateOnly) {
        // link() refuses an existing target, unlike rename().
        if (::link(temporary.constData(), target.constData()) != 0) {
            const int error = errno;
            discard(-1, temporary);
            return systemReason(error);
        }
        ::unlink(temporary.constData());
    } else if (::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        discard(-1, temporary);
        return systemReason(error);
    }
    syncFolder(folder);
    return {};
}

} // namespace brivamo
