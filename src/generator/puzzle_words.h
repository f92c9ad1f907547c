#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace brivamo {

// Why a list cannot be made into a puzzle: the first word that cannot be used, shown safely
// (control and invisible characters escaped, a long word shortened), and the reason.
struct UnusableWord
{
    qsizetype index = -1; // position in the list; -1 when the list holds no words at all
    QString shownWord;
    QString reason; // a sentence fragment such as "it is empty"

    // One line: The word "…" cannot be used in a puzzle: <reason>.
    QString message() const;
};

// A puzzle cell holds one capital letter. A word is usable when it has 1 to 30 characters and
// every one is an upper-case letter (A to Z, or an accented or other capital such as É, Ñ or Ж
// that is a single character); anything else (digits, spaces, punctuation, control codes, a
// combining mark, emoji, the "·" the solution shows in empty cells) makes a wrong puzzle.
// Returns the first word that is not usable, or nothing when every word is.
std::optional<UnusableWord> FindUnusableWord(const QStringList &words);

// Why the words cannot be hidden in a square of the given side (1 to 30), or an empty string when
// they might: a word longer than the side, or more letters, counted without any shared cell, than
// a square of that side could ever hold. One pass over the list, so a list far too long for any
// square is refused before anything costlier is done with it.
QString SquareFitProblem(const QStringList &words, int side);

// A word as it may be shown in a message: characters that would not show, or would not show as
// themselves (controls, invisible and combining characters, spaces other than a plain one), are
// written as \xNN, \uNNNN or \UNNNNNNNN, and a word of more than 20 characters is cut to its
// first 20 followed by "…".
QString ShownWord(const QString &word);

} // namespace brivamo
