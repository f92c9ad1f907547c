#pragma once

#include <QString>
#include <QStringList>

namespace brivamo {

// Words no puzzle may let the solver read: the program's own list (a resource) with the user's
// changes from blocked-words.txt in the settings folder. Each user line holds a word to add, or
// "-WORD" to allow one of the program's; empty lines and lines starting with "#" are notes.
// A line that is not one word of letters is skipped. Words are kept in capitals, each once.

// The name of the user's file, in the settings folder.
inline const QString BlockedWordsFileName = QStringLiteral("blocked-words.txt");

// The program's list changed by the user's file text (either may be empty).
QStringList MergeBlockedWords(const QString &builtIn, const QString &userText);

// The program's list changed by the user's file, read now; a missing or unusable file leaves
// the program's list as it is. The file is read as a word list is: a regular file (after any
// links) of at most a list's size, never waited on. When there is a file but it is not used,
// `warning` (if given) gets one line saying why.
QStringList ReadBlockedWords(QString *warning = nullptr);

// ReadBlockedWords() as read the first time it was asked for in this run of the program; its
// warning, if any, goes to the standard error then.
const QStringList &ProgramBlockedWords();

// The blocked words a puzzle of this list must avoid: those the solver can find only where the
// list did not put them. A blocked word that is a listed word or lies inside one, forwards or
// backwards, was the list maker's choice and is left out.
QStringList BlockedWordsFor(const QStringList &blocked, const QStringList &words);

} // namespace brivamo
