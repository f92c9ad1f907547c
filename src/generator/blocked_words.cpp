#include "generator/blocked_words.h"

#include "base/settings.h"
#include "wordlists/word_list.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_set>

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

std::u16string_view viewOf(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.constData()), static_cast<std::size_t>(text.size())};
}

QString readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The user's file, read as a word list is (a regular file of list size, never waited on), or an
// empty text with `warning` saying why it is not used. No file at all is no fault.
QString readUserFile(const QString &path, QString &warning)
{
    const modSupport::FileBytes read =
        modSupport::ReadFileBytes(QFile::encodeName(path), modSupport::MaxListFileBytes);
    const auto system = [&] { return QString::fromLocal8Bit(std::strerror(read.error)); };
    QString reason;
    switch (read.fault) {
    case modSupport::FileBytes::Fault::None:
        return QString::fromUtf8(read.bytes);
    case modSupport::FileBytes::Fault::NotOpened:
        if (read.error == ENOENT)
            return {};
        reason = QStringLiteral("it cannot be opened (%1)").arg(system());
        break;
    case modSupport::FileBytes::Fault::NotAFile:
        reason = QStringLiteral("it is not an ordinary file");
        break;
    case modSupport::FileBytes::Fault::TooLarge:
        reason = QStringLiteral("it is larger than %1 MB").arg(modSupport::MaxListFileBytes / (1024 * 1024));
        break;
    case modSupport::FileBytes::Fault::NotRead:
        reason = QStringLiteral("it cannot be read (%1)").arg(system());
        break;
    }
    warning = QStringLiteral("The blocked words file \"%1\" is not used: %2.")
                  .arg(QDir::toNativeSeparators(path), reason);
    return {};
}

} // namespace

QStringList MergeBlockedWords(const QString &builtIn, const QString &userText)
{
    // Words in the order first added; an allowed word leaves a null entry behind, so that a file
    // of many thousand lines costs no more than reading it.
    QStringList entries;
    QHash<QString, qsizetype> at;
    auto lines = [](const QString &text) { return text.split(QLatin1Char('\n')); };
    for (const QString &line : lines(builtIn)) {
        const QString word = line.trimmed().toUpper();
        if (isWord(word) && !at.contains(word)) {
            at.insert(word, entries.size());
            entries << word;
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
            if (const auto found = at.constFind(word); found != at.cend()) {
                entries[*found] = QString();
                at.erase(found);
            }
        } else if (!at.contains(word)) {
            at.insert(word, entries.size());
            entries << word;
        }
    }
    entries.removeAll(QString());
    return entries;
}

QStringList ReadBlockedWords(QString *warning)
{
    const QString userFile = QDir(basBrivamo::SettingsFolder()).filePath(BlockedWordsFileName);
    QString unused;
    const QString userText = readUserFile(userFile, warning ? *warning : unused);
    return MergeBlockedWords(readResource(QStringLiteral(":/words/blocked-words.txt")), userText);
}

const QStringList &ProgramBlockedWords()
{
    static const QStringList words = [] {
        QString warning;
        QStringList read = ReadBlockedWords(&warning);
        if (!warning.isEmpty()) {
            const QByteArray line = "brivamo: " + warning.toUtf8() + '\n';
            std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
        }
        return read;
    }();
    return words;
}

QStringList BlockedWordsFor(const QStringList &blocked, const QStringList &words)
{
    // Every stretch of every listed word, both ways, looked up among the blocked words: a word
    // of a puzzle has at most 30 letters, so this grows with the list, not with list × blocklist.
    std::unordered_set<std::u16string_view> wanted;
    std::size_t longest = 0;
    for (const QString &word : blocked) {
        wanted.emplace(viewOf(word));
        longest = std::max(longest, viewOf(word).size());
    }
    std::unordered_set<std::u16string_view> listed;
    for (const QString &word : words) {
        const QString upper = word.toUpper();
        QString reversed = upper;
        std::reverse(reversed.begin(), reversed.end());
        for (const QString &text : {upper, reversed}) {
            const std::u16string_view whole = viewOf(text);
            for (std::size_t from = 0; from < whole.size(); ++from)
                for (std::size_t length = 1; length <= longest && from + length <= whole.size(); ++length)
                    if (const auto found = wanted.find(whole.substr(from, length)); found != wanted.end())
                        listed.insert(*found);
        }
    }
    QStringList kept;
    for (const QString &word : blocked)
        if (!word.isEmpty() && !listed.contains(viewOf(word)))
            kept << word;
    return kept;
}

} // namespace brivamo
