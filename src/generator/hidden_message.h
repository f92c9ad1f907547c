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

// True when the message's letters, run together forwards or backwards, hold one of the blocked
// words this list must avoid (BlockedWordsFor): the fill would show it wherever no word's letters
// break the run, so nearly every attempt at the puzzle fails.
bool HiddenMessageSpellsBlockedWord(const QString &message, const QStringList &words,
                                    const QStringList &blocked);

} // namespace brivamo
