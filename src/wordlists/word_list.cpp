#include "wordlists/word_list.h"

#include "platform/file_names.h"
#include "platform/safe_file.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A list file as the folder holds it: its name as the user sees it and the bytes the file system
// knows it by. Names that are not UTF-8 are shown as Latin-1 but opened by their own bytes.
struct ListFile
{
    QString name;
    QByteArray raw;
};

QString categoryOf(const QString &fileName)
{
    return fileName.chopped(ListExtension.size());
}

QString categoryOf(const ListFile &file)
{
    return categoryOf(file.name);
}

bool isListFileName(const QByteArray &raw)
{
    return raw.size() > ListExtension.size() && raw.right(ListExtension.size()).toLower() == ".lst";
}

// Names that could address anything but a file of this folder are refused outright.
bool isUsableCategory(const QString &category)
{
    return !category.isEmpty() && !category.contains(QLatin1Char('/')) && !category.contains(QChar(0));
}

QByteArray folderBytes(const QDir &folder)
{
    return QFile::encodeName(folder.path());
}

QByteArray pathOf(const QDir &folder, const QByteArray &raw)
{
    return folderBytes(folder) + '/' + raw;
}

// The path with every link resolved, or empty when it leads nowhere.
QByteArray canonicalPath(const QByteArray &path)
{
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return {};
    const QByteArray result(resolved);
    std::free(resolved);
    return result;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What the catalogue shows: regular files, and links to anything that exists but a folder (a link
// to something that cannot be read as a list is shown so that the user can see it and delete it;
// reading it reports why it is no list). Hidden files are left out.
bool isListedEntry(int folderFd, const char *name)
{
    struct stat info
    {
    };
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISREG(info.st_mode))
        return true;
    if (!S_ISLNK(info.st_mode) || ::fstatat(folderFd, name, &info, 0) != 0)
        return false;
    return !S_ISDIR(info.st_mode);
}

// The *.lst files of the folder (extension in any case), or nullopt when the folder cannot be read.
std::optional<QList<ListFile>> listFiles(const QDir &folder)
{
    DIR *dir = ::opendir(folderBytes(folder).constData());
    if (!dir)
        return std::nullopt;
    QList<ListFile> files;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.') || !isListFileName(raw) || !isListedEntry(::dirfd(dir), entry->d_name))
            continue;
        files.append({brivamo::DecodeFileName(raw), raw});
    }
    ::closedir(dir);
    return files;
}

// The file that holds `category`, chosen as the header describes.
std::optional<ListFile> findListFile(const QDir &folder, const QString &category)
{
    if (!isUsableCategory(category))
        return std::nullopt;
    const std::optional<QList<ListFile>> files = listFiles(folder);
    if (!files)
        return std::nullopt;
    std::optional<ListFile> best;
    bool bestExact = false;
    for (const ListFile &file : *files) {
        const QString candidate = categoryOf(file);
        if (candidate.compare(category, Qt::CaseInsensitive) != 0)
            continue;
        const bool exact = candidate == category;
        if (!best || (exact && !bestExact) || (exact == bestExact && file.raw < best->raw)) {
            best = file;
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

// Where a rewrite of the list file `file` goes: the file itself or, when it is a link to a list
// file of this same folder, that file. Nothing outside the folder is ever created or written
// through a link; `reason` says why when there is no target.
std::optional<QByteArray> writeTarget(const QDir &folder, const ListFile &file, QString &reason)
{
    const QByteArray path = pathOf(folder, file.raw);
    struct stat info
    {
    };
    if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    const QByteArray resolved = canonicalPath(path);
    if (resolved.isEmpty()) {
        reason =
            QStringLiteral("Its file %1 is a link to a file that does not exist.").arg(quoted(file.name));
        return std::nullopt;
    }
    if (resolved.left(resolved.lastIndexOf('/')) == canonicalPath(folderBytes(folder))) {
        if (::stat(resolved.constData(), &info) == 0 && S_ISREG(info.st_mode))
            return resolved;
        reason = QStringLiteral("Its file %1 is a link to something that is not an ordinary file.")
                     .arg(quoted(file.name));
        return std::nullopt;
    }
    reason =
        QStringLiteral("Its file %1 is a link to a file outside the lists folder, which is never changed.")
            .arg(quoted(file.name));
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
    std::optional<QList<ListFile>> files = listFiles(folder);
    if (!files) {
        result.error = QStringLiteral("The folder %1 that holds the word lists could not be read.")
                           .arg(quoted(QDir::toNativeSeparators(folder.absolutePath())));
        return result;
    }

    const bool haveWeekdays = std::any_of(files->cbegin(), files->cend(), [](const ListFile &file) {
        return categoryOf(file).compare(WeekdaysCategory, Qt::CaseInsensitive) == 0;
    });
    if (!haveWeekdays) {
        const ListFile weekdaysFile{WeekdaysFileName, QFile::encodeName(WeekdaysFileName)};
        QString reason;
        const std::optional<QByteArray> target = writeTarget(folder, weekdaysFile, reason);
        if (target)
            reason = brivamo::writeFileSafely(*target, encodeWords(weekdays, ParsedList()));
        if (reason.isEmpty())
            files->append(weekdaysFile);
        else if (firstWeekdaysFailure(folder))
            // Every reload would fail the same way: saying it once is enough.
            result.error = notSavedText(WeekdaysCategory, reason);
    }

    for (const ListFile &file : std::as_const(*files))
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

QString notOpenedText(const QString &name, const QString &reason)
{
    return QStringLiteral("The word list %1 could not be opened.").arg(quoted(name)) + Crlf + Crlf + reason;
}

QString notReadText(const QString &name, const QString &reason)
{
    return QStringLiteral("The word list %1 could not be read.").arg(quoted(name)) + Crlf + Crlf + reason;
}

// Opens a file for reading only when it is a regular file: a link to a pipe or a device would
// otherwise block or never end. The open itself does not wait (a pipe without a writer), and the
// file opened is checked to be the one that was looked at. Returns -1 with the fault set.
int openRegularFile(const QByteArray &path, FileBytes &read)
{
    struct stat looked
    {
    };
    if (::stat(path.constData(), &looked) != 0) {
        read.fault = FileBytes::Fault::NotOpened;
        read.error = errno;
        return -1;
    }
    if (!S_ISREG(looked.st_mode)) {
        read.fault = FileBytes::Fault::NotAFile;
        return -1;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        read.fault = FileBytes::Fault::NotOpened;
        read.error = errno;
        return -1;
    }
    struct stat opened
    {
    };
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != looked.st_ino ||
        opened.st_dev != looked.st_dev) {
        ::close(fd);
        read.fault = FileBytes::Fault::NotAFile;
        return -1;
    }
    return fd;
}

} // namespace

FileBytes ReadFileBytes(const QByteArray &path, qint64 limit)
{
    FileBytes read;
    const int fd = openRegularFile(path, read);
    if (fd < 0)
        return read;
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat info
    {
    };
    ::fstat(fd, &info);
    if (info.st_size > limit) {
        read.fault = FileBytes::Fault::TooLarge;
        read.size = info.st_size;
        return read;
    }
    // In pieces, stopping past the limit: a file that grows while it is read is still caught,
    // and no buffer of the limit's size is set aside for a file of a few words.
    read.bytes.reserve(qsizetype(info.st_size) + 1);
    char piece[64 * 1024];
    while (read.bytes.size() <= limit) {
        const ssize_t got = ::read(fd, piece, sizeof piece);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            read.fault = FileBytes::Fault::NotRead;
            read.error = errno;
            read.bytes.clear();
            return read;
        }
        if (got == 0)
            break;
        read.bytes.append(piece, got);
    }
    if (read.bytes.size() > limit) {
        read.fault = FileBytes::Fault::TooLarge;
        read.size = read.bytes.size();
        read.bytes.clear();
    }
    return read;
}

namespace {

// Reads and takes apart the list file `file` of `folder`, within the size a list may have.
ReadOutcome readListFile(const QDir &folder, const ListFile &file, const QString &name)
{
    ReadOutcome outcome;
    FileBytes read = ReadFileBytes(pathOf(folder, file.raw), MaxListFileBytes);
    switch (read.fault) {
    case FileBytes::Fault::None:
        break;
    case FileBytes::Fault::NotOpened:
        outcome.error = notOpenedText(name, systemReason(read.error));
        return outcome;
    case FileBytes::Fault::NotAFile:
        outcome.error = notOpenedText(
            name, QStringLiteral("Its file %1 is not an ordinary file.").arg(quoted(file.name)));
        return outcome;
    case FileBytes::Fault::TooLarge:
        outcome.error = tooLargeText(name, file.name, read.size);
        return outcome;
    case FileBytes::Fault::NotRead:
        outcome.error = notReadText(name, systemReason(read.error));
        return outcome;
    }
    outcome.parsed = parseList(read.bytes);
    if (!outcome.parsed.error.isEmpty()) {
        outcome.error = QStringLiteral("The word list %1 could not be read: %2.")
                            .arg(quoted(name), outcome.parsed.error) +
                        Crlf + Crlf +
                        QStringLiteral("Save its file %1 as UTF-8 text.").arg(quoted(file.name));
        return outcome;
    }
    if (outcome.parsed.words.isEmpty()) {
        outcome.error = QStringLiteral("The word list %1 is empty: its file %2 holds no words.")
                            .arg(quoted(name), quoted(file.name));
        outcome.empty = true;
    }
    return outcome;
}

} // namespace

brivamo::WordListResult ReadWordList(const QString &category, const QDir &folder)
{
    brivamo::WordListResult result;
    const std::optional<ListFile> file = findListFile(folder, category);
    if (!file) {
        result.error = notFoundText(category);
        return result;
    }
    result.list.name = categoryOf(*file);
    ReadOutcome read = readListFile(folder, *file, result.list.name);
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

    const std::optional<ListFile> existing = findListFile(folder, category);
    const QString newName = category + NewListExtension;
    const ListFile file = existing ? *existing : ListFile{newName, QFile::encodeName(newName)};
    QString reason;
    const std::optional<QByteArray> target = writeTarget(folder, file, reason);
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
    const std::optional<ListFile> file = findListFile(folder, category);
    if (!file)
        return {notFoundText(category)};
    if (::unlink(pathOf(folder, file->raw).constData()) != 0)
        return {QStringLiteral("The word list %1 could not be deleted.").arg(quoted(category)) + Crlf + Crlf +
                systemReason(errno)};
    return {};
}

bool WordListExists(const QString &category, const QDir &folder)
{
    return findListFile(folder, category).has_value();
}

std::optional<OverwrittenList> ListOverwrittenBy(const QByteArray &path, const QDir &folder)
{
    const QByteArray target = brivamo::resolveLinks(path);
    if (target.isEmpty())
        return std::nullopt;
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1);
    if (isListFileName(name))
        return OverwrittenList{brivamo::DecodeFileName(name), false};
    struct stat written
    {
    };
    if (::stat(target.constData(), &written) != 0)
        return std::nullopt;
    for (const ListFile &file : listFiles(folder).value_or(QList<ListFile>())) {
        struct stat list
        {
        };
        if (::stat(pathOf(folder, file.raw).constData(), &list) == 0 && list.st_dev == written.st_dev &&
            list.st_ino == written.st_ino)
            return OverwrittenList{file.name, true};
    }
    return std::nullopt;
}

bool IsBuiltInList(const QString &category)
{
    // ASCII only: a non-ASCII letter that happens to fold to an ASCII one does not make "MONTHS".
    return isAscii(category) && category.compare(QLatin1String("MONTHS"), Qt::CaseInsensitive) == 0;
}

} // namespace modSupport
