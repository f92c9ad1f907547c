#include "wordlists/word_list.h"

#include "wordlists/safe_file.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <functional>
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

// How a list file's text is stored. Files the program creates are UTF-8; a hand-made file may be
// Latin-1 (or mix it with UTF-8 line by line), or UTF-16 with a byte-order mark.
enum class TextForm { Bytes, Utf16Le, Utf16Be };

// A list file taken apart: its words and, for each, the bytes it was read from, so a rewrite gives
// back every word the user did not change exactly as it was.
struct ParsedList
{
    TextForm form = TextForm::Bytes;
    QByteArray prefix; // the byte-order mark, if any
    QStringList words;
    QList<QByteArray> raw;
    QString error; // why the file cannot be used as a list at all
};

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf16LeBom("\xFF\xFE");
const QByteArray Utf16BeBom("\xFE\xFF");

// A blank or whitespace-only line is what editors leave behind, not a word.
bool isBlank(const QString &line)
{
    return std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.isSpace(); });
}

QString decodeLine(const QByteArray &line)
{
    // Stateless: a sequence cut off at the end of the line is an error, not something to wait for.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(line);
    if (!utf8.hasError())
        return text;
    // Not UTF-8: an older hand-made line in a single-byte code page. Latin-1 keeps every byte.
    return QString::fromLatin1(line);
}

void addLine(ParsedList &parsed, const QString &word, const QByteArray &raw)
{
    if (isBlank(word))
        return;
    parsed.words.append(word);
    parsed.raw.append(raw);
}

// Splits at CR LF, CR or LF. A final line without an ending is still a line; the ending of the
// last line does not start another one.
template <typename Text, typename Unit>
void forEachLine(const Text &text, Unit cr, Unit lf, const std::function<void(qsizetype, qsizetype)> &line)
{
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const Unit c = text.at(i);
        if (c != cr && c != lf)
            continue;
        line(start, i - start);
        if (c == cr && i + 1 < size && text.at(i + 1) == lf)
            ++i;
        start = i + 1;
    }
    if (start < size)
        line(start, size - start);
}

ParsedList parseList(const QByteArray &bytes)
{
    ParsedList parsed;
    if (bytes.startsWith(Utf16LeBom) || bytes.startsWith(Utf16BeBom)) {
        const bool little = bytes.startsWith(Utf16LeBom);
        parsed.form = little ? TextForm::Utf16Le : TextForm::Utf16Be;
        parsed.prefix = bytes.left(2);
        const QByteArray body = bytes.mid(2);
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = utf16(body);
        if (utf16.hasError() || body.size() % 2 != 0) {
            parsed.error = QStringLiteral("it is marked as UTF-16 text but is not valid UTF-16");
            return parsed;
        }
        forEachLine(text, QChar(u'\r'), QChar(u'\n'), [&](qsizetype at, qsizetype length) {
            const QString word = text.mid(at, length);
            addLine(parsed, word, QByteArray());
        });
        return parsed;
    }
    qsizetype from = 0;
    if (bytes.startsWith(Utf8Bom)) {
        parsed.prefix = Utf8Bom;
        from = Utf8Bom.size();
    }
    const QByteArray body = bytes.mid(from);
    forEachLine(body, '\r', '\n', [&](qsizetype at, qsizetype length) {
        const QByteArray raw = body.mid(at, length);
        addLine(parsed, decodeLine(raw), raw);
    });
    return parsed;
}

QByteArray encodeUtf16(const QString &text, TextForm form)
{
    QStringEncoder encoder(form == TextForm::Utf16Le ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
                           QStringEncoder::Flag::Stateless);
    return encoder(text);
}

// The bytes of a list file holding `words`. Words found in `previous` (the file being replaced)
// take the bytes they were read from; others are written in the file's own form, UTF-8 for a
// file of single bytes.
QByteArray encodeWords(const QStringList &words, const ParsedList &previous)
{
    QByteArray bytes = previous.prefix;
    if (previous.form != TextForm::Bytes) {
        const QByteArray ending = encodeUtf16(QStringLiteral("\r\n"), previous.form);
        for (const QString &word : words)
            bytes += encodeUtf16(word, previous.form) + ending;
        return bytes;
    }
    QHash<QString, QList<QByteArray>> original;
    for (qsizetype i = 0; i < previous.words.size(); ++i)
        original[previous.words.at(i)].append(previous.raw.at(i));
    for (const QString &word : words) {
        auto found = original.find(word);
        QByteArray raw;
        if (found != original.end() && !found->isEmpty())
            raw = found->takeFirst();
        else
            raw = word.toUtf8();
        // A first word that itself begins like a byte-order mark keeps it only behind a real one.
        if (bytes.isEmpty() &&
            (raw.startsWith(Utf8Bom) || raw.startsWith(Utf16LeBom) || raw.startsWith(Utf16BeBom)))
            bytes = Utf8Bom;
        bytes += raw;
        bytes += "\r\n";
    }
    return bytes;
}

// Where a rewrite of `fileName` goes: the file itself or, when it is a link to a list file of
// this same folder, that file. Nothing outside the folder is ever created or written through a
// link; `reason` says why when there is no target.
std::optional<QString> writeTarget(const QDir &folder, const QString &fileName, QString &reason)
{
    const QString path = folder.filePath(fileName);
    const QFileInfo info(path);
    if (!info.isSymbolicLink())
        return path;
    const QString resolved = info.canonicalFilePath();
    if (resolved.isEmpty()) {
        reason = QStringLiteral("Its file %1 is a link to a file that does not exist.").arg(quoted(fileName));
        return std::nullopt;
    }
    const QFileInfo target(resolved);
    if (target.isFile() && target.absolutePath() == QDir(folder.absolutePath()).canonicalPath())
        return resolved;
    reason =
        QStringLiteral("Its file %1 is a link to a file outside the lists folder, which is never changed.")
            .arg(quoted(fileName));
    return std::nullopt;
}

QString tooLargeText(const QString &name, const QString &fileName, qint64 size)
{
    const auto megabytes = [](qint64 bytes) {
        return QLocale::c().toString(double(bytes) / (1024 * 1024), 'f', bytes % (1024 * 1024) ? 1 : 0);
    };
    return QStringLiteral("The word list %1 is too large to open.").arg(quoted(name)) + Crlf + Crlf +
           QStringLiteral("Its file %1 holds %2 MB; a word list may hold at most %3 MB.")
               .arg(quoted(fileName), megabytes(size), megabytes(MaxListFileBytes));
}

// True the first time the weekday list cannot be written into `folder` during this run.
bool firstWeekdaysFailure(const QDir &folder)
{
    static QMutex mutex;
    static QSet<QString> reported;
    const QMutexLocker lock(&mutex);
    const QString key = folder.absolutePath();
    if (reported.contains(key))
        return false;
    reported.insert(key);
    return true;
}

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

QStringList WeekdayWords(const QLocale &locale)
{
    // Day 0 of this date system is 30 December 1899, so days 1 to 7 run from Sunday to Saturday.
    const QDate dayZero(1899, 12, 30);
    QStringList words;
    for (int day = 1; day <= 7; ++day)
        words.append(locale.toUpper(locale.toString(dayZero.addDays(day), QStringLiteral("dddd"))));
    return words;
}

brivamo::CatalogueResult ListCategories(const QDir &folder, const QStringList &weekdays)
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
        QString reason;
        const std::optional<QString> target = writeTarget(folder, WeekdaysFileName, reason);
        if (target)
            reason = brivamo::writeFileSafely(*target, encodeWords(weekdays, ParsedList()));
        if (reason.isEmpty())
            files->append(WeekdaysFileName);
        else if (firstWeekdaysFailure(folder))
            // Every reload would fail the same way: saying it once is enough.
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

namespace {

struct ReadOutcome
{
    ParsedList parsed;
    QString error; // a complete message for the user
    bool empty = false;
};

// Reads and takes apart the list file `fileName` of `folder`, within the size a list may have.
ReadOutcome readListFile(const QDir &folder, const QString &fileName, const QString &name)
{
    ReadOutcome outcome;
    QFile file(folder.filePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.error = QStringLiteral("The word list %1 could not be opened.").arg(quoted(name)) + Crlf +
                        Crlf + file.errorString();
        return outcome;
    }
    if (file.size() > MaxListFileBytes) {
        outcome.error = tooLargeText(name, fileName, file.size());
        return outcome;
    }
    // In pieces, stopping past the limit: a file that grows while it is read is still caught,
    // and no buffer of the limit's size is set aside for a list of a few words.
    QByteArray bytes;
    bytes.reserve(qsizetype(file.size()) + 1);
    while (bytes.size() <= MaxListFileBytes) {
        const QByteArray piece = file.read(64 * 1024);
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError) {
        outcome.error = QStringLiteral("The word list %1 could not be read.").arg(quoted(name)) + Crlf +
                        Crlf + file.errorString();
        return outcome;
    }
    if (bytes.size() > MaxListFileBytes) {
        outcome.error = tooLargeText(name, fileName, bytes.size());
        return outcome;
    }
    outcome.parsed = parseList(bytes);
    if (!outcome.parsed.error.isEmpty()) {
        outcome.error = QStringLiteral("The word list %1 could not be read: %2.")
                            .arg(quoted(name), outcome.parsed.error) +
                        Crlf + Crlf + QStringLiteral("Save its file %1 as UTF-8 text.").arg(quoted(fileName));
        return outcome;
    }
    if (outcome.parsed.words.isEmpty()) {
        outcome.error = QStringLiteral("The word list %1 is empty: its file %2 holds no words.")
                            .arg(quoted(name), quoted(fileName));
        outcome.empty = true;
    }
    return outcome;
}

} // namespace

brivamo::WordListResult ReadWordList(const QString &category, const QDir &folder)
{
    brivamo::WordListResult result;
    const std::optional<QString> fileName = findListFile(folder, category);
    if (!fileName) {
        result.error = notFoundText(category);
        return result;
    }
    result.list.name = categoryOf(*fileName);
    ReadOutcome read = readListFile(folder, *fileName, result.list.name);
    if (!read.error.isEmpty()) {
        result.error = read.error;
        result.empty = read.empty;
        return result;
    }
    result.list.words = std::move(read.parsed.words);
    return result;
}

brivamo::StoreStatus WriteWordList(const QString &category, const QStringList &words, const QDir &folder)
{
    if (!isUsableCategory(category))
        return {QStringLiteral("%1 cannot be used as the name of a word list.").arg(quoted(category))};
    QStringList kept;
    for (const QString &word : words) {
        if (word.contains(QLatin1Char('\r')) || word.contains(QLatin1Char('\n')))
            return {notSavedText(category, QStringLiteral("A word must not span several lines."))};
        if (!isBlank(word))
            kept.append(word);
    }
    if (kept.isEmpty())
        return {notSavedText(category, QStringLiteral("A word list must hold at least one word."))};

    const std::optional<QString> existing = findListFile(folder, category);
    const QString fileName = existing ? *existing : category + NewListExtension;
    QString reason;
    const std::optional<QString> target = writeTarget(folder, fileName, reason);
    if (!target)
        return {notSavedText(category, reason)};
    // The words the user did not change go back as the bytes they were read from.
    ParsedList previous;
    if (existing) {
        ReadOutcome read = readListFile(folder, *existing, categoryOf(*existing));
        if (read.error.isEmpty())
            previous = std::move(read.parsed);
    }
    reason = brivamo::writeFileSafely(*target, encodeWords(kept, previous));
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
