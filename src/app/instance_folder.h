#pragma once

#include <QByteArray>
#include <QString>

namespace basBrivamo {

// The folder of the instance lock and of the running copy's socket. Only the user can reach it, so
// no one else can take the lock's name, pose as a running copy or listen in its place.
struct InstanceFolder
{
    QString path;    // the folder, named also when it cannot be used
    QString problem; // empty when it can be used, otherwise why not
};

// From the values of XDG_RUNTIME_DIR, XDG_CACHE_HOME and HOME: the runtime folder when it is a
// folder of the user's own that no one else may enter; otherwise "brivamo" in the cache folder
// (~/.cache), made private if need be.
InstanceFolder instanceFolder(const QByteArray &runtimeDir, const QByteArray &cacheHome,
                              const QByteArray &home);

} // namespace basBrivamo
