#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// Writing a file so that it is either wholly new or untouched: the bytes go to a temporary file in
// the same folder, every step is checked (each write, fsync, close), and only then does the
// temporary file take the target's name. A full disk, a crash or a power cut therefore leaves the
// previous content in place. Paths are given as the bytes the file system holds, so that names
// that are not valid UTF-8 are written where they belong.

namespace brivamo {

enum class SafeWriteMode {
    Replace,    // the target may exist and is replaced
    CreateOnly, // fails when the target already exists
};

// One file written in pieces. open() makes the temporary file; write() may be called any number of
// times; commit() puts the file in place. Once a step has failed, later writes do nothing and
// commit() reports the first failure. A writer destroyed without a successful commit() removes its
// temporary file and leaves the target alone.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(const QByteArray &path, SafeWriteMode mode = SafeWriteMode::Replace);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    bool open();
    bool write(const char *data, qint64 size);
    // Empty on success, otherwise the system's reason: finish() then place().
    QString commit();
    // Makes the written bytes durable and closes the temporary file, which then waits for place().
    // Empty on success, otherwise the system's reason (the temporary file is then gone).
    QString finish();
    // Gives the finished temporary file the target's name.
    QString place();
    // Removes the temporary file; the target stays as it was.
    void discard();

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    // The temporary file's path (empty before open()).
    QByteArray temporaryPath() const { return m_temporary; }
    QByteArray target() const { return m_target; }

private:
    bool fail(int error);

    QByteArray m_target;
    SafeWriteMode m_mode;
    QByteArray m_temporary;
    int m_fd = -1;
    bool m_exists = false;
    unsigned m_permissions = 0;
    QString m_error;
};

// Several files that change together or not at all, such as the pages of a class set: each is
// written and finished on its own temporary file, and only once every one of them is finished do
// they all take their names. A failure before that leaves every target as it was.
class SafeFileSet
{
public:
    SafeFileSet() = default;
    ~SafeFileSet();
    SafeFileSet(const SafeFileSet &) = delete;
    SafeFileSet &operator=(const SafeFileSet &) = delete;

    // Takes a writer that holds all of its file's bytes and finishes it. False once any file of
    // the set has failed: the set then discards every file and error() names the one that failed.
    bool add(std::unique_ptr<SafeFileWriter> writer);
    // Writes `bytes` as `path` into the set.
    bool add(const QByteArray &path, const QByteArray &bytes);
    // Puts every file in place; empty on success, otherwise error().
    QString commit();
    // Removes every temporary file of the set; the targets stay as they were.
    void discard();
    // "FILE: reason" for the first file that failed; empty while all is well.
    QString error() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }

private:
    void fail(const SafeFileWriter &writer, const QString &reason);

    std::vector<std::unique_ptr<SafeFileWriter>> m_files;
    QString m_error;
};

// Writes `bytes` as `path` in one go. A new file gets 0666 less the umask; a replaced one keeps its
// mode. Returns an empty text on success, otherwise the system's reason.
QString writeFileSafely(const QByteArray &path, const QByteArray &bytes,
                        SafeWriteMode mode = SafeWriteMode::Replace);
QString writeFileSafely(const QString &path, const QByteArray &bytes,
                        SafeWriteMode mode = SafeWriteMode::Replace);

// Where writing to `path` really lands: a link in its last place is followed, and the next one,
// and so on, to a name that is no link (which need not exist yet). Empty, with `error` (if given)
// saying why, when the links go round in a circle or cannot be read.
QByteArray resolveLinks(const QByteArray &path, QString *error = nullptr);

// The name of the temporary file for a target called `fileName` (bytes) in a folder whose names
// may hold at most `nameMax` bytes: hidden, marked by `tag` (the writer's process number, a dash
// and a random part), and never longer than the limit however long the target's name is.
QByteArray temporaryFileName(const QByteArray &fileName, const QByteArray &tag, long nameMax);

} // namespace brivamo
