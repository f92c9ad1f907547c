#include "wordlists/word_list.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace brivamo {

bool WordList::isBuiltIn() const
{
    return modSupport::IsBuiltInList(name);
}

} // namespace brivamo

namespace modSupport {

namespace {

const QString ListExtension = QStringLiteral(".lst");
// A list the program creates carries this spelling of the extension.
const QString NewListExtension = QStringLiteral(".Lst");
const QString Crlf = QStringLiteral("\r\n");

QString quoted(const QString &category)
{
    return QLatin1Char('"') + category + QLatin1Char('"');
}

QString notFoundText(const QString &category)
{
    return QStringLiteral("The word list %1 could not be found.").arg(quoted(category));
}

QString notSavedText(const QString &category, const QString &reason)
{
    return QStringLiteral("The word list %1 could not be saved.").arg(quoted(category)) + Crlf + Crlf +
           reason;
}

bool isListFileName(const QString &fileName)
{
    return fileName.size() > ListExtension.size() && fileName.endsWith(ListExtension, Qt::CaseInsensitive);
}

QString categoryOf(const QString &fileName)
{
    return fileName.chopped(ListExtension.size());
}

// Names that could address anything but a file of this folder are refused outright.
bool isUsableCategory(const QString &category)
{
    return !category.isEmpty() && !category.contains(QLatin1Char('/')) && !category.contains(QChar(0));
}

// The ordinary, non-hidden *.lst files of the folder (extension in any case), or nullopt when
// the folder cannot be read.
std::optional<QStringList> listFileNames(const QDir &folder)
{
    const QFileInfo info(folder.path());
    if (!info.isDir() || !info.isReadable())
        return std::nullopt;
    QStringList names;
    const QStringList entries = folder.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString &entry : entries) {
        if (isListFileName(entry))
            names.append(entry);
    }
    return names;
}

// The file that holds `category`, chosen as the header describes.
std::optional<QString> findListFile(const QDir &folder, const QString &category)
{
    if (!isUsableCategory(category))
        return std::nullopt;
    const std::optional<QStringList> names = listFileNames(folder);
    if (!names)
        return std::nullopt;
    std::optional<QString> best;
    bool bestExact = false;
    for (const QString &name : *names) {
        const QString candidate = categoryOf(name);
        if (candidate.compare(category, Qt::CaseInsensitive) != 0)
            continue;
        const bool exact = candidate == category;
        if (!best || (exact && !bestExact) || (exact == bestExact && name < *best)) {
            best = name;
            bestExact = exact;
        }
    }
    return best;
}

QByteArray encodeWords(const QStringList &words)
{
    QByteArray bytes;
    for (const QString &word : words) {
        bytes += word.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

// Writes through a temporary file in the same folder that replaces the target only once it is
// complete, so a full disk or a crash leaves the previous content in place. Returns the reason of
// a failure, or an empty text.
QString writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

// Splits at CR LF, CR or LF. A final line without an ending is still a line; the ending of the
// last line does not start another one.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: an older hand-made file in a single-byte code page. Latin-1 keeps every byte.
    return QString::fromLatin1(bytes);
}

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

QStringList WeekdayWords()
{
    // English names, not the user's language: every word of the list must stay within A-Z, which
    // the day names of many languages are not. Day 0 of this date system is 30 December 1899, so
    // days 1 to 7 run from Sunday to Saturday.
    const QLocale english(QLocale::English);
    const QDate dayZero(1899, 12, 30);
    QStringList words;
    for (int day = 1; day <= 7; ++day)
        words.append(english.toString(dayZero.addDays(day), QStringLiteral("dddd")).toUpper());
    return words;
}

brivamo::CatalogueResult ListCategories(const QDir &folder)
{
    brivamo::CatalogueResult result;
    std::optional<QStringList> files = listFileNames(folder);
    if (!files) {
        result.error = QStringLiteral("The folder %1 that holds the word lists could not be read.")
                           .arg(quoted(QDir::toNativeSeparators(folder.absolutePath())));
        return result;
    }

    const bool haveWeekdays = std::any_of(files->cbegin(), files->cend(), [](const QString &file) {
        return categoryOf(file).compare(WeekdaysCategory, Qt::CaseInsensitive) == 0;
    });
    if (!haveWeekdays) {
        const QString reason =
            writeAtomically(folder.filePath(WeekdaysFileName), encodeWords(WeekdayWords()));
        if (reason.isEmpty())
            files->append(WeekdaysFileName);
        else
            result.error = notSavedText(WeekdaysCategory, reason);
    }

    for (const QString &file : std::as_const(*files))
        result.names.append(categoryOf(file));
    std::sort(result.names.begin(), result.names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return result;
}

brivamo::WordListResult ReadWordList(const QString &category, const QDir &folder)
{
    brivamo::WordListResult result;
    const std::optional<QString> fileName = findListFile(folder, category);
    if (!fileName) {
        result.error = notFoundText(category);
        return result;
    }
    result.list.name = categoryOf(*fileName);

    QFile file(folder.filePath(*fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("The word list %1 could not be opened.").arg(quoted(result.list.name)) +
                       Crlf + Crlf + file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("The word list %1 could not be read.").arg(quoted(result.list.name)) +
                       Crlf + Crlf + file.errorString();
        return result;
    }
    const QStringList words = splitLines(decode(bytes));
    if (words.isEmpty()) {
        result.error = QStringLiteral("The word list %1 is empty: its file %2 holds no words.")
                           .arg(quoted(result.list.name), quoted(*fileName));
        return result;
    }
    result.list.words = words;
    return result;
}

brivamo::StoreStatus WriteWordList(const QString &category, const QStringList &words, const QDir &folder)
{
    if (!isUsableCategory(category))
        return {QStringLiteral("%1 cannot be used as the name of a word list.").arg(quoted(category))};
    if (words.isEmpty())
        return {notSavedText(category, QStringLiteral("A word list must hold at least one word."))};
    for (const QString &word : words) {
        if (word.contains(QLatin1Char('\r')) || word.contains(QLatin1Char('\n')))
            return {notSavedText(category, QStringLiteral("A word must not span several lines."))};
    }

    const std::optional<QString> existing = findListFile(folder, category);
    const QString fileName = existing ? *existing : category + NewListExtension;
    const QString reason = writeAtomically(folder.filePath(fileName), encodeWords(words));
    if (!reason.isEmpty())
        return {notSavedText(category, reason)};
    return {};
}

brivamo::StoreStatus DeleteWordList(const QString &category, const QDir &folder)
{
    const std::optional<QString> fileName = findListFile(folder, category);
    if (!fileName)
        return {notFoundText(category)};
    QFile file(folder.filePath(*fileName));
    if (!file.remove())
        return {QStringLiteral("The word list %1 could not be deleted.").arg(quoted(category)) + Crlf + Crlf +
                file.errorString()};
    return {};
}

bool WordListExists(const QString &category, const QDir &folder)
{
    return findListFile(folder, category).has_value();
}

bool IsBuiltInList(const QString &category)
{
    // ASCII only: a non-ASCII letter that happens to fold to an ASCII one does not make "MONTHS".
    return isAscii(category) && category.compare(QLatin1String("MONTHS"), Qt::CaseInsensitive) == 0;
}

} // namespace modSupport
