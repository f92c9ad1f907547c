#include "generator/hidden_message.h"

#include "generator/fill_alphabet.h"
#include "generator/reading_automaton.h"

#include <QHash>

#include <algorithm>

namespace brivamo {

qsizetype HiddenMessageLetters(const QString &message, const QStringList &words)
{
    return LettersInAlphabet(message, FillAlphabetFor(words, message)).size();
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
                              "is sure to have room for only %3: %4 too many.")
            .arg(letters)
            .arg(side)
            .arg(std::max<qsizetype>(room, 0))
            .arg(letters - std::max<qsizetype>(room, 0));
    return {};
}

QString HiddenMessageBlockedWord(const QString &message, const QStringList &words, const QStringList &blocked)
{
    // Compared as the solver reads them, so that look-alike letters of another script count.
    auto readingForm = [](QString text) {
        for (QChar &c : text)
            c = QChar(ReadingLetter(c));
        return text;
    };
    // A blocked word inside a word of the message is allowed there, as inside a listed word;
    // the message's letters run together count as one more word.
    QStringList spelt = WordsInAlphabet(message, FillAlphabetFor(words, message));
    if (spelt.size() > 1)
        spelt << spelt.join(QString());
    QHash<QString, QString> spellings;
    for (const QString &word : spelt)
        spellings.insert(readingForm(word), word);
    for (const QString &word : blocked)
        if (const auto found = spellings.constFind(readingForm(word.toUpper())); found != spellings.cend())
            return *found;
    return {};
}

QString BlockedMessageRefusal(const QString &word)
{
    return QStringLiteral("The hidden message spells \"%1\", a word no puzzle may show; please choose "
                          "another message.")
        .arg(word);
}

} // namespace brivamo
