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

// The word of the message, in capitals, that is itself a blocked word (as the solver reads
// letters; the message's letters run together count as a word too), or an empty text. A blocked
// word merely inside a word of the message is allowed there, as inside a listed word, so only
// such a message is refused.
QString HiddenMessageBlockedWord(const QString &message, const QStringList &words,
                                 const QStringList &blocked);

// The one line refusing a message that spells the blocked word `word`.
QString BlockedMessageRefusal(const QString &word);

} // namespace brivamo
