#pragma once

#include <QDir>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The word-list store: one plain text file "<Category>.lst" per category, one word per line,
// in a folder (the current working directory unless the caller names another).
//
// Names are matched without regard to letter case, as the user sees them. The file system is
// case-sensitive, so the store scans the folder for matches. When several files match a name
// (Zoo.lst and ZOO.lst), the one whose category part is spelled exactly like the name asked for
// wins; otherwise, and among several exact spellings (Zoo.lst and Zoo.LST), the file name that
// sorts first by character code wins. Each catalogue entry therefore always addresses its own
// file, and a rewrite or removal never touches a file it did not pick.
//
// The store shows nothing itself: every failure comes back as a user-readable reason.

namespace brivamo {

// One category: its name and its words in file order.
struct WordList
{
    QString name;
    QStringList words;

    bool isBuiltIn() const;
};

// Outcome of an operation that yields nothing: an empty `error` means success.
struct StoreStatus
{
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The catalogue. `names` holds what could be listed even when `error` is set (for instance when
// the weekday list could not be written).
struct CatalogueResult
{
    QStringList names;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// A list read from its file. On failure `list.words` is empty and `error` says why; an empty
// file is a failure, never an empty list.
struct WordListResult
{
    WordList list;
    QString error;
    bool empty = false; // the file was read and holds no words: nothing in it could be lost
    bool ok() const { return error.isEmpty(); }
};

} // namespace brivamo

namespace modSupport {

// Limits the lobby keeps for every list.
constexpr int MaxWordsPerList = 25;
constexpr int MinWordsPerList = 1;
// A new list can be created only while the catalogue holds fewer lists than this.
constexpr int MaxCategoriesForCreate = 999;
// A list file larger than this is reported instead of read: no list the program makes comes near
// it, and a huge file (a log saved as ".lst", say) must not stall the lobby.
constexpr qint64 MaxListFileBytes = 4 * 1024 * 1024;

// The category of the weekday list the store provides, and its file.
inline const QString WeekdaysCategory = QStringLiteral("Weekdays");
inline const QString WeekdaysFileName = QStringLiteral("Weekdays.lst");

// The weekday names Sunday to Saturday as `locale` writes them (English under the C locale),
// upper-cased in that locale.
QStringList WeekdayWords(const QLocale &locale = QLocale());

// Writes Weekdays.lst holding `weekdays` when no weekday list exists (any letter case), so the
// catalogue is never empty; an existing one, perhaps edited by the user, is left alone. A failure
// to write it is reported once per folder and run, not at every reload. Then returns the category
// names of the non-hidden *.lst files (extension in any case), sorted ascending without regard to
// case: regular files and links to anything but a folder. A file name that is not UTF-8 is shown
// as Latin-1 and still reached by its own bytes. The lobby passes names a puzzle can be made of
// (WeekdayListWords).
brivamo::CatalogueResult ListCategories(const QDir &folder = QDir(),
                                        const QStringList &weekdays = WeekdayWords());

// A file's bytes as ReadFileBytes read them, or why it did not.
struct FileBytes
{
    enum class Fault {
        None,
        NotOpened, // it could not be looked at or opened (error: the system's reason, ENOENT: none there)
        NotAFile,  // it is not a regular file once every link is followed (a pipe, a device, a folder)
        TooLarge,  // it holds more than the limit (size: as much as was found)
        NotRead,   // reading failed (error: the system's reason)
    };
    Fault fault = Fault::None;
    QByteArray bytes;
    qint64 size = 0;
    int error = 0;
};

// Reads a whole file that holds at most `limit` bytes, as every list is read: a regular file
// only, after following links, opened without waiting, and no more than the limit read.
FileBytes ReadFileBytes(const QByteArray &path, qint64 limit);

// Reads a list line by line. Lines may end in CR LF, CR or LF; blank and whitespace-only lines
// are not words and are skipped; every other line is a word kept exactly as written. Each line is
// UTF-8, or Latin-1 when it is not valid UTF-8; a file with a UTF-16 byte-order mark is UTF-16.
// A file of more than MaxListFileBytes is refused, and so is anything but a regular file (a link
// to a pipe or a device), without waiting on it. `list.name` is the name as the file spells it.
brivamo::WordListResult ReadWordList(const QString &category, const QDir &folder = QDir());

// Replaces the list's file with `words`, each followed by CR LF, or creates "<category>.Lst".
// Words the file already holds are written back as the very bytes they were read from (and a
// UTF-16 file stays UTF-16); new words are UTF-8. Blank words are dropped. The new content goes
// to a temporary file that then replaces the old one once it is safely on disk, so any failure
// leaves the old list intact. An empty list is refused (it could not be read back), and so is a
// write through a link to anything outside the folder.
brivamo::StoreStatus WriteWordList(const QString &category, const QStringList &words,
                                   const QDir &folder = QDir());

// Removes the list's file.
brivamo::StoreStatus DeleteWordList(const QString &category, const QDir &folder = QDir());

// True when a list file of that name exists, compared without regard to case.
bool WordListExists(const QString &category, const QDir &folder = QDir());

// A word list that writing some other output (a PDF file, say) to a path would destroy.
struct OverwrittenList
{
    QString fileName; // the list's file as the user sees its name
    bool sameFile;    // the path is another name (a hard link) of that very file
};

// Follows every link from `path` to the file that writing there would really replace, and names
// the list it would destroy: a list file anywhere (its name ends in ".lst", any case), or a list
// of `folder` by another name (the same file, as a hard link is).
std::optional<OverwrittenList> ListOverwrittenBy(const QByteArray &path, const QDir &folder = QDir());

// True when the name, upper-cased, is "MONTHS": the one list the lobby does not let the user edit.
bool IsBuiltInList(const QString &category);

} // namespace modSupport
