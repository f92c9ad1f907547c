#pragma once

#include <QString>
#include <QStringList>

namespace brivamo {

// The letters of `message` that a puzzle of `words` spells in its fill (LettersInAlphabet with the
// list's fill alphabet).
qsizetype HiddenMessageLetters(const QString &message, const QStringList &words);

// Why `message` cannot be hidden in a square of `side` made of `words`, or an empty text when it
// can be tried: it has no letter the list's fill can spell, or more letters than such a square is
// sure to leave to the fill (its cells less the words' letters; crossing words only add room).
QString HiddenMessageProblem(const QString &message, const QStringList &words, int side);

} // namespace brivamo
