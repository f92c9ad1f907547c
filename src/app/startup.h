#pragma once

#include <QString>

namespace basBrivamo {

// The program's start routine: refuses to run beside another copy, prepares fonts and the random
// source, installs the real dialogs and link opener, opens the first window and runs the event loop.
int Main(int argc, char *argv[]);

// The message a second copy shows before it ends.
inline const QString AlreadyRunningCaption = QStringLiteral("Terminating...");
QString alreadyRunningText();

// The message of a copy that could not make its lock file for another reason (a full or read-only
// folder, or no folder that only the user can reach, say); it names the file and the cause, and the
// program ends with status 1.
inline const QString LockFailedCaption = QStringLiteral("Cannot Start");
QString lockFailureText(const QString &lockPath, const QString &cause);

// Without a display the program writes one line to standard error and ends with status 1
// before any window is tried.

// Set in the environment, a second copy writes its message to standard error (caption, a line
// break, then the text) instead of showing a box, so that headless runs can check it.
inline constexpr char TerminateMessageToStderrVariable[] = "BRIVAMO_TERMINATE_MESSAGE_TO_STDERR";

} // namespace basBrivamo
