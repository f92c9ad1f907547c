#pragma once

#include <QString>

// Where the program keeps its lists when it is started from the desktop menu. Started from a
// shell, it works on the lists of the current folder; the desktop entry passes --lists-home
// instead, so the lists live in one folder of the user's own rather than wherever the menu
// happened to start it.
namespace basBrivamo {

inline const QString ListsHomeOption = QStringLiteral("--lists-home");

// The per-user list folder: $XDG_DATA_HOME/Brivamo/lists ($HOME/.local/share/Brivamo/lists when
// XDG_DATA_HOME is not set).
QString listsHomePath();

// Creates the per-user list folder if needed, checks that lists can be read and written there and
// makes it the current folder. On failure the current folder stays as it was, `cause` (if given)
// holds the system's reason, and false is returned: the program then ends rather than work on
// lists anywhere else.
bool enterListsHome(QString *cause = nullptr);

// What the program says when the folder cannot be used: one line for the standard error and the
// text of its message box.
QString listsHomeFailureLine(const QString &cause);
QString listsHomeFailureText(const QString &cause);

} // namespace basBrivamo
