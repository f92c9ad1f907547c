#pragma once

#include <QString>

// Checks for what the user types as a word or a category name, and the texts of the
// messages that refuse an entry. Nothing here shows a window: the caller shows the
// message (stop icon, a single OK button) through its dialogs.

namespace modSupport {

// Length bounds the lobby uses.
constexpr qint16 WordMinLength = 3;
constexpr qint16 WordMaxLength = 20;
constexpr qint16 CategoryMinLength = 2;
constexpr qint16 CategoryMaxLength = 8;

// Caption of the message that refuses an invalid entry.
inline const QString InvalidEntryCaption = QStringLiteral("Error");

// Message shown when a new category name is already taken by a list file.
inline const QString DuplicateEntryCaption = QStringLiteral("Duplicate Entry");
inline const QString DuplicateEntryText = QStringLiteral("That category name\r\nalready exists!");

// Outcome of ValidateEntry. When `valid` is false, `text` and `caption` hold the message to show.
struct EntryVerdict
{
    bool valid = false;
    QString text;
    QString caption;
};

// Decides whether `entry` (already stripped, not empty) may be stored as a word or category
// name: its length in characters must lie within [shortest, longest] and every character must
// be a letter A-Z in either case. Accented and other non-ASCII letters fail. A length fault is
// reported before a letter fault. The caller upper-cases a valid entry itself before storing it.
EntryVerdict ValidateEntry(const QString &entry, qint16 shortest, qint16 longest);

} // namespace modSupport
