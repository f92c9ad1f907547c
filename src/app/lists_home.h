#pragma once

#include <QString>

// Where the program keeps its lists when it is started from the desktop menu. Started from a
// shell, it works on the lists of the current folder; the desktop entry passes --lists-home
// instead, so the lists live in one folder of the user's own rather than wherever the menu
// happened to start it.
namespace basBrivamo {

inline const QString ListsHomeOption = QStringLiteral("--lists-home");

// Whether the command line asks for the per-user list folder.
bool wantsListsHome(int argc, char *argv[]);

// The per-user list folder: $XDG_DATA_HOME/Brivamo/lists ($HOME/.local/share/Brivamo/lists when
// XDG_DATA_HOME is not set).
QString listsHomePath();

// Creates the per-user list folder if needed and makes it the current folder. On failure the
// current folder stays as it was, `error` (if given) says why, and false is returned.
bool enterListsHome(QString *error = nullptr);

} // namespace basBrivamo
