#include "generator/puzzle_words.h"

#include "generator/puzzle_grid.h"

#include <algorithm>

namespace brivamo {

namespace {

constexpr qsizetype ShownCharacters = 20;

// The code point starting at `i`, and how many UTF-16 units it takes. A lone surrogate comes
// back as itself, one unit long.
char32_t codePointAt(const QString &text, qsizetype i, qsizetype &units)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    units = 1;
    return c.unicode();
}

bool isCapitalLetter(char32_t codePoint)
{
    // A cell holds a single UTF-16 unit: letters beyond it cannot go into the grid.
    return codePoint <= 0xFFFF && !QChar::isSurrogate(codePoint) &&
           QChar::category(codePoint) == QChar::Letter_Uppercase;
}

bool needsEscape(char32_t codePoint)
{
    if (QChar::isSurrogate(codePoint) || !QChar::isPrint(codePoint) || QChar::isMark(codePoint))
        return true;
    return QChar::category(codePoint) == QChar::Separator_Space && codePoint != u' ';
}

QString escaped(char32_t codePoint)
{
    if (codePoint == u'\\')
        return QStringLiteral("\\\\");
    if (!needsEscape(codePoint))
        return QString::fromUcs4(&codePoint, 1);
    const QString hex = QString::number(uint(codePoint), 16).toUpper();
    if (codePoint < 0x100)
        return QStringLiteral("\\x") + hex.rightJustified(2, u'0');
    if (codePoint <= 0xFFFF)
        return QStringLiteral("\\u") + hex.rightJustified(4, u'0');
    return QStringLiteral("\\U") + hex.rightJustified(8, u'0');
}

// How a single character is named in a reason.
QString namedCharacter(char32_t codePoint)
{
    if (codePoint == u' ')
        return QStringLiteral("a space");
    return u'"' + escaped(codePoint) + u'"';
}

} // namespace

QString ShownWord(const QString &word)
{
    QString shown;
    qsizetype characters = 0;
    for (qsizetype i = 0, units = 1; i < word.size(); i += units) {
        const char32_t codePoint = codePointAt(word, i, units);
        if (characters == ShownCharacters)
            return shown + QChar(0x2026);
        shown += escaped(codePoint);
        ++characters;
    }
    return shown;
}

QString UnusableWord::message() const
{
    if (index < 0)
        return QStringLiteral("The list holds no words to make a puzzle from.");
    if (shownWord.isEmpty())
        return QStringLiteral("The list holds an empty word, which cannot be used in a puzzle.");
    return QStringLiteral("The word \"%1\" cannot be used in a puzzle: %2.").arg(shownWord, reason);
}

std::optional<UnusableWord> FindUnusableWord(const QStringList &words)
{
    if (words.isEmpty())
        return UnusableWord{};
    for (qsizetype index = 0; index < words.size(); ++index) {
        const QString &word = words[index];
        QString reason;
        if (word.isEmpty())
            reason = QStringLiteral("it is empty");
        for (qsizetype i = 0, units = 1; i < word.size() && reason.isEmpty(); i += units) {
            const char32_t codePoint = codePointAt(word, i, units);
            if (!isCapitalLetter(codePoint))
                reason = QStringLiteral("it holds %1, which is not a capital letter")
                             .arg(namedCharacter(codePoint));
        }
        // Every character is now a single unit: the size counts letters.
        if (reason.isEmpty() && word.size() > PuzzleGrid::MaxSide)
            reason = QStringLiteral("it has %1 letters, and a puzzle takes words of at most %2")
                         .arg(word.size())
                         .arg(PuzzleGrid::MaxSide);
        if (!reason.isEmpty())
            return UnusableWord{index, ShownWord(word), reason};
    }
    return std::nullopt;
}

QString SquareFitProblem(const QStringList &words, int side)
{
    // A cell lies on four lines, so even words crossing at every letter along all of them hold
    // four letters a cell; twice that leaves room for words lying inside others (CAT in CATTLE).
    // Real puzzles share a few cells at most, and a list beyond this only costs time and memory.
    const qsizetype mostLetters = 8 * qsizetype(side) * side;
    qsizetype longest = 0;
    qsizetype letters = 0;
    for (const QString &word : words) {
        longest = std::max(longest, word.size());
        letters += word.size();
    }
    if (longest > side)
        return QStringLiteral("The square size must lie between %1 and %2.")
            .arg(longest)
            .arg(PuzzleGrid::MaxSide);
    if (letters > mostLetters)
        return QStringLiteral("The list's %1 words hold %2 letters, far more than a %3 by %3 square "
                              "can hide; a list may hold at most %4 letters for it.")
            .arg(words.size())
            .arg(letters)
            .arg(side)
            .arg(mostLetters);
    return {};
}

} // namespace brivamo
