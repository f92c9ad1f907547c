#pragma once

#include <QByteArray>
#include <QString>

// Writing a small file so that it is either wholly new or untouched: the bytes go to a temporary
// file in the same folder, every step is checked (each write, fsync, close), and only then does
// the temporary file take the target's name. A full disk, a crash or a power cut therefore leaves
// the previous content in place.

namespace brivamo {

enum class SafeWriteMode {
    Replace,    // the target may exist and is replaced
    CreateOnly, // fails when the target already exists
};

// Writes `bytes` as `path`. A new file gets 0666 less the umask; a replaced one keeps its mode.
// Returns an empty text on success, otherwise the system's reason.
QString writeFileSafely(const QString &path, const QByteArray &bytes,
                        SafeWriteMode mode = SafeWriteMode::Replace);

} // namespace brivamo
