#include "generator/fill_alphabet.h"

#include <algorithm>
#include <utility>

namespace brivamo {

namespace {

void addRange(std::vector<char16_t> &letters, char16_t first, char16_t last, char16_t skip = 0)
{
    for (char16_t c = first; c <= last; ++c)
        if (c != skip)
            letters.push_back(c);
}

// The capitals every text of a script uses; the list's own accented or extra letters join them.
std::vector<char16_t> baseAlphabet(QChar::Script script)
{
    std::vector<char16_t> letters;
    switch (script) {
    case QChar::Script_Latin:
        addRange(letters, u'A', u'Z');
        break;
    case QChar::Script_Greek:
        addRange(letters, u'\u0391', u'\u03A9', u'\u03A2'); // Α to Ω (U+03A2 is unassigned)
        break;
    case QChar::Script_Cyrillic:
        addRange(letters, u'\u0410', u'\u042F'); // А to Я
        break;
    default:
        break;
    }
    return letters;
}

} // namespace

FillAlphabet FillAlphabetFor(const QStringList &words, const QString &message)
{
    // The scripts in the order the list first uses them, Latin always first, and each one's
    // letters beyond its base alphabet in the order they come.
    std::vector<QChar::Script> scripts;
    std::vector<std::vector<char16_t>> extras;
    bool latin = false;
    for (const QString &word : words)
        for (QChar c : word) {
            if (!c.isLetter() || c.isSurrogate())
                continue;
            const QChar upper = c.toUpper();
            const QChar::Script script = upper.script();
            if (script == QChar::Script_Latin) {
                latin = true;
                if (upper >= u'A' && upper <= u'Z')
                    continue;
            }
            auto at = std::find(scripts.begin(), scripts.end(), script);
            if (at == scripts.end()) {
                scripts.push_back(script);
                extras.emplace_back();
                at = scripts.end() - 1;
            }
            auto &own = extras[static_cast<std::size_t>(at - scripts.begin())];
            const std::vector<char16_t> base = baseAlphabet(script);
            if (std::find(base.begin(), base.end(), upper.unicode()) == base.end() &&
                std::find(own.begin(), own.end(), upper.unicode()) == own.end())
                own.push_back(upper.unicode());
        }

    FillAlphabet alphabet;
    // A list without any letter (or of A to Z alone) keeps the fill it always had.
    if (latin || scripts.empty())
        addRange(alphabet.letters, u'A', u'Z');
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        if (scripts[i] != QChar::Script_Latin)
            for (char16_t c : baseAlphabet(scripts[i]))
                alphabet.letters.push_back(c);
        for (char16_t c : extras[i])
            alphabet.letters.push_back(c);
    }
    // The message's letters of the list's scripts join last, so that a message of the
    // alphabet's own letters leaves the fill as it was. Greek capitals drop the tonos, so an
    // accented Greek letter is written plain (LettersInAlphabet).
    if (latin || scripts.empty())
        scripts.push_back(QChar::Script_Latin);
    for (QChar c : message) {
        const QChar upper = c.toUpper();
        const QString decomposed = upper.decomposition();
        if (!upper.isLetter() || upper.isSurrogate() ||
            std::find(scripts.begin(), scripts.end(), upper.script()) == scripts.end() ||
            (upper.script() == QChar::Script_Greek && decomposed.endsWith(QChar(0x0301))))
            continue;
        if (std::find(alphabet.letters.begin(), alphabet.letters.end(), upper.unicode()) ==
            alphabet.letters.end())
            alphabet.letters.push_back(upper.unicode());
    }
    return alphabet;
}

QStringList WordsInAlphabet(const QString &text, const FillAlphabet &alphabet)
{
    auto inAlphabet = [&](char16_t c) {
        return std::find(alphabet.letters.begin(), alphabet.letters.end(), c) != alphabet.letters.end();
    };
    QStringList words;
    QString word;
    for (QChar c : text) {
        // Anything but a letter or an accent ends a word.
        if (!c.isLetter() && !c.isMark()) {
            if (!word.isEmpty())
                words << std::exchange(word, QString());
            continue;
        }
        const QChar upper = c.toUpper();
        // An accented letter the alphabet lacks is written as its plain letter (capitals are
        // often written without accents), when the alphabet has that.
        const QString decomposed = upper.decomposition();
        if (inAlphabet(upper.unicode()))
            word += upper;
        else if (!decomposed.isEmpty() && inAlphabet(decomposed.front().unicode()))
            word += decomposed.front();
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

QString LettersInAlphabet(const QString &text, const FillAlphabet &alphabet)
{
    return WordsInAlphabet(text, alphabet).join(QString());
}

} // namespace brivamo
