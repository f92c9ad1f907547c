#include "platform/safe_file.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brivamo {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
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

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray fileNameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// A writer killed before it finished leaves its temporary file behind. The next writer of the same
// target removes those of writers whose process has ended (the number is in the name) and that
// belong to this user: a live writer's file is never touched.
void removeLeftovers(const QByteArray &folder, const QByteArray &fileName, long nameMax)
{
    DIR *entries = ::opendir(folder.constData());
    if (!entries)
        return;
    const QByteArray suffix = QByteArrayLiteral(".tmp");
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith('.') || !name.endsWith(suffix))
            continue;
        const QByteArray stem = name.mid(1, name.size() - 1 - suffix.size());
        const qsizetype dot = stem.lastIndexOf('.');
        if (dot <= 0)
            continue;
        const QByteArray target = stem.left(dot);
        const bool shortened = name.size() >= nameMax - 3 && fileName.startsWith(target);
        if (target != fileName && !shortened)
            continue;
        const QByteArray tag = stem.mid(dot + 1);
        bool isNumber = false;
        const long pid = tag.left(tag.indexOf('-')).toLong(&isNumber);
        if (!isNumber || pid <= 0 || pid == ::getpid() || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const QByteArray path = folder + '/' + name;
        struct stat info
        {
        };
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlink(path.constData());
    }
    ::closedir(entries);
}

} // namespace

QByteArray temporaryFileName(const QByteArray &fileName, const QByteArray &tag, long nameMax)
{
    // "." + name + "." + tag + ".tmp": the name is shortened as far as needed, never cutting a
    // UTF-8 sequence in two.
    const qsizetype room = qsizetype(nameMax) - tag.size() - 6;
    QByteArray name = fileName;
    if (name.size() > room) {
        qsizetype cut = qMax<qsizetype>(room, 0);
        while (cut > 0 && (uchar(name.at(cut)) & 0xC0) == 0x80)
            --cut;
        name.truncate(cut);
    }
    return '.' + name + '.' + tag + ".tmp";
}

QByteArray resolveLinks(const QByteArray &path, QString *error)
{
    // The same bound on links in a row as the system's own path lookup.
    constexpr int MaxLinks = 40;
    QByteArray current = path;
    for (int links = 0; links <= MaxLinks; ++links) {
        struct stat info
        {
        };
        if (::lstat(current.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        QByteArray target(qsizetype(info.st_size > 0 ? info.st_size : PATH_MAX) + 1, Qt::Uninitialized);
        const ssize_t length = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (length < 0 || length >= target.size()) {
            if (error)
                *error = systemReason(length < 0 ? errno : ENAMETOOLONG);
            return {};
        }
        target.truncate(length);
        current = target.startsWith('/') ? target : folderOf(current) + '/' + target;
    }
    if (error)
        *error = systemReason(ELOOP);
    return {};
}

SafeFileWriter::SafeFileWriter(const QByteArray &path, SafeWriteMode mode) : m_target(path), m_mode(mode) {}

SafeFileWriter::~SafeFileWriter()
{
    discard();
}

bool SafeFileWriter::fail(int error)
{
    if (m_error.isEmpty())
        m_error = systemReason(error);
    return false;
}

bool SafeFileWriter::open()
{
    if (failed() || m_fd >= 0)
        return !failed();
    struct stat existing
    {
    };
    m_exists = ::lstat(m_target.constData(), &existing) == 0;
    if (m_exists && m_mode == SafeWriteMode::CreateOnly)
        return fail(EEXIST);
    if (m_exists && !S_ISREG(existing.st_mode)) {
        m_error = QStringLiteral("Something other than a file already carries the name \"%1\".")
                      .arg(QFile::decodeName(fileNameOf(m_target)));
        return false;
    }
    m_permissions = existing.st_mode & 07777;

    // A name of our own next to the target, created exclusively so nothing else is overwritten;
    // 0666 lets the umask decide a new file's permissions.
    const QByteArray folder = folderOf(m_target);
    long nameMax = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (nameMax <= 0)
        nameMax = 255;
    removeLeftovers(folder, fileNameOf(m_target), nameMax);
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const QByteArray tag = QByteArray::number(::getpid()) + '-' +
                               QByteArray::number(QRandomGenerator::global()->generate(), 36);
        m_temporary = folder + '/' + temporaryFileName(fileNameOf(m_target), tag, nameMax);
        m_fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) {
            m_temporary.clear();
            return fail(errno);
        }
    }
    if (m_fd < 0) {
        m_temporary.clear();
        return fail(EEXIST);
    }
    return true;
}

bool SafeFileWriter::write(const char *data, qint64 size)
{
    if (failed() || m_fd < 0)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (written == 0)
            return fail(EIO);
        data += written;
        size -= written;
    }
    return true;
}

QString SafeFileWriter::commit()
{
    if (const QString error = finish(); !error.isEmpty())
        return error;
    return place();
}

QString SafeFileWriter::finish()
{
    if (!failed() && m_fd < 0 && m_temporary.isEmpty())
        open();
    if (failed()) {
        discard();
        return m_error;
    }
    if (m_fd < 0)
        return {};
    if ((m_exists && ::fchmod(m_fd, m_permissions) != 0) || ::fsync(m_fd) != 0) {
        fail(errno);
        discard();
        return m_error;
    }
    if (::close(std::exchange(m_fd, -1)) != 0) {
        fail(errno);
        discard();
        return m_error;
    }
    return {};
}

QString SafeFileWriter::place()
{
    if (failed() || m_fd >= 0 || m_temporary.isEmpty())
        return failed() ? m_error : systemReason(EBADF);
    if (m_mode == SafeWriteMode::CreateOnly) {
        // link() refuses an existing target, unlike rename().
        if (::link(m_temporary.constData(), m_target.constData()) != 0) {
            fail(errno);
            discard();
            return m_error;
        }
        ::unlink(m_temporary.constData());
    } else if (::rename(m_temporary.constData(), m_target.constData()) != 0) {
        fail(errno);
        discard();
        return m_error;
    }
    m_temporary.clear();
    syncFolder(folderOf(m_target));
    return {};
}

void SafeFileWriter::discard()
{
    const int saved = errno;
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
    errno = saved;
}

SafeFileSet::~SafeFileSet()
{
    discard();
}

void SafeFileSet::discard()
{
    for (const std::unique_ptr<SafeFileWriter> &file : m_files)
        file->discard();
    m_files.clear();
}

void SafeFileSet::fail(const SafeFileWriter &writer, const QString &reason)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1: %2").arg(QFile::decodeName(writer.target()), reason);
    discard();
}

bool SafeFileSet::add(std::unique_ptr<SafeFileWriter> writer)
{
    if (failed())
        return false;
    if (const QString error = writer->finish(); !error.isEmpty()) {
        fail(*writer, error);
        return false;
    }
    m_files.push_back(std::move(writer));
    return true;
}

bool SafeFileSet::add(const QByteArray &path, const QByteArray &bytes)
{
    auto writer = std::make_unique<SafeFileWriter>(path);
    if (writer->open())
        writer->write(bytes.constData(), bytes.size());
    return add(std::move(writer));
}

QString SafeFileSet::commit()
{
    // Every file is finished, so a rename in the same folder is all that is left to fail, and
    // only when something new took a target's name meanwhile.
    for (std::size_t i = 0; i < m_files.size() && !failed(); ++i)
        if (const QString error = m_files[i]->place(); !error.isEmpty())
            fail(*m_files[i], error);
    m_files.clear();
    return m_error;
}

QString writeFileSafely(const QByteArray &path, const QByteArray &bytes, SafeWriteMode mode)
{
    SafeFileWriter writer(path, mode);
    if (writer.open())
        writer.write(bytes.constData(), bytes.size());
    return writer.commit();
}

QString writeFileSafely(const QString &path, const QByteArray &bytes, SafeWriteMode mode)
{
    return writeFileSafely(QFile::encodeName(path), bytes, mode);
}

} // namespace brivamo
