#include "generator/blocked_words.h"

#include "base/settings.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>

namespace brivamo {

namespace {

// The longest word a square can hold; longer ones could never be read.
constexpr int LongestBlockedWord = 30;

bool isWord(const QString &text)
{
    if (text.size() < 2 || text.size() > LongestBlockedWord)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

QStringList MergeBlockedWords(const QString &builtIn, const QString &userText)
{
    QStringList words;
    QSet<QString> seen;
    auto lines = [](const QString &text) { return text.split(QLatin1Char('\n')); };
    for (const QString &line : lines(builtIn)) {
        const QString word = line.trimmed().toUpper();
        if (isWord(word) && !seen.contains(word)) {
            seen.insert(word);
            words << word;
        }
    }
    for (const QString &line : lines(userText)) {
        QString entry = line.trimmed();
        if (entry.isEmpty() || entry.startsWith(QLatin1Char('#')))
            continue;
        const bool allow = entry.startsWith(QLatin1Char('-'));
        if (allow)
            entry = entry.mid(1).trimmed();
        const QString word = entry.toUpper();
        if (!isWord(word))
            continue;
        if (allow) {
            if (seen.remove(word))
                words.removeAll(word);
        } else if (!seen.contains(word)) {
            seen.insert(word);
            words << word;
        }
    }
    return words;
}

QStringList ReadBlockedWords()
{
    const QString userFile = QDir(basBrivamo::SettingsFolder()).filePath(BlockedWordsFileName);
    return MergeBlockedWords(readText(QStringLiteral(":/words/blocked-words.txt")), readText(userFile));
}

const QStringList &ProgramBlockedWords()
{
    static const QStringList words = ReadBlockedWords();
    return words;
}

QStringList BlockedWordsFor(const QStringList &blocked, const QStringList &words)
{
    QString listed; // every listed word both ways, in capitals, each ended by a line break
    for (const QString &word : words) {
        const QString upper = word.toUpper();
        listed += upper + QLatin1Char('\n');
        QString reversed = upper;
        std::reverse(reversed.begin(), reversed.end());
        listed += reversed + QLatin1Char('\n');
    }
    QStringList kept;
    for (const QString &word : blocked)
        if (!listed.contains(word))
            kept << word;
    return kept;
}

} // namespace brivamo
