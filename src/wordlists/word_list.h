#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

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
    bool ok() const { return error.isEmpty(); }
};

} // namespace brivamo

namespace modSupport {

// Limits the lobby keeps for every list.
constexpr int MaxWordsPerList = 25;
constexpr int MinWordsPerList = 1;
// A new list can be created only while the catalogue holds fewer lists than this.
constexpr int MaxCategoriesForCreate = 999;

// The category of the weekday list the store provides, and its file.
inline const QString WeekdaysCategory = QStringLiteral("Weekdays");
inline const QString WeekdaysFileName = QStringLiteral("Weekdays.lst");

// The weekday names Sunday to Saturday, upper case.
QStringList WeekdayWords();

// Writes Weekdays.lst when no weekday list exists (any letter case), so the catalogue is never
// empty; an existing one, perhaps edited by the user, is left alone. Then returns the category
// names of the ordinary, non-hidden *.lst files (extension in any case), sorted ascending without
// regard to case.
brivamo::CatalogueResult ListCategories(const QDir &folder = QDir());

// Reads a list line by line. Lines may end in CR LF, CR or LF; words are kept exactly as
// written (UTF-8, or Latin-1 for a file that is not valid UTF-8). `list.name` is the name as the
// file spells it.
brivamo::WordListResult ReadWordList(const QString &category, const QDir &folder = QDir());

// Replaces the list's file with `words`, each followed by CR LF, or creates "<category>.Lst".
// The new content goes to a temporary file that then replaces the old one, so a failure leaves the
// old list intact. An empty list is refused (it could not be read back).
brivamo::StoreStatus WriteWordList(const QString &category, const QStringList &words,
                                   const QDir &folder = QDir());

// Removes the list's file.
brivamo::StoreStatus DeleteWordList(const QString &category, const QDir &folder = QDir());

// True when a list file of that name exists, compared without regard to case.
bool WordListExists(const QString &category, const QDir &folder = QDir());

// True when the name, upper-cased, is "MONTHS": the one list the lobby does not let the user edit.
bool IsBuiltInList(const QString &category);

} // namespace modSupport
