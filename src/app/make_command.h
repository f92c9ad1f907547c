#pragma once

#include <QByteArray>
#include <QList>

namespace brivamo {

// Runs the headless command line on the arguments after the program's name (--make ...); returns
// the process exit status. The arguments are never handed to Qt.
int runMakeCommand(const QList<QByteArray> &arguments);

} // namespace brivamo
