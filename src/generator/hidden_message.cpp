#include "generator/hidden_message.h"

#include "generator/blocked_words.h"
#include "generator/fill_alphabet.h"

#include <algorithm>

namespace brivamo {

qsizetype HiddenMessageLetters(const QString &message, const QStringList &words)
{
    return LettersInAlphabet(message, FillAlphabetFor(words)).size();
}

QString HiddenMessageProblem(const QString &message, const QStringList &words, int side)
{
    qsizetype room = qsizetype(side) * side;
    for (const QString &word : words)
        room -= word.size();
    const qsizetype letters = HiddenMessageLetters(message, words);
    if (letters == 0)
        return QStringLiteral("The hidden message has no letter a puzzle of this list can spell.");
    if (letters > room)
        return QStringLiteral("The hidden message has %1 letters, but a %2 by %2 puzzle of this list "
                              "is sure to have room for only %3.")
            .arg(letters)
            .arg(side)
            .arg(std::max<qsizetype>(room, 0));
    return {};
}

bool HiddenMessageSpellsBlockedWord(const QString &message, const QStringList &words,
                                    const QStringList &blocked)
{
    const QString forwards = LettersInAlphabet(message, FillAlphabetFor(words));
    QString backwards = forwards;
    std::reverse(backwards.begin(), backwards.end());
    const QStringList avoided = BlockedWordsFor(blocked, words);
    return std::any_of(avoided.begin(), avoided.end(), [&](const QString &word) {
        return forwards.contains(word) || backwards.contains(word);
    });
}

} // namespace brivamo
