#include "wordlists/validation.h"

#include <QList>

namespace modSupport {

namespace {

const QString Crlf = QStringLiteral("\r\n");

QString lengthReason(qint16 shortest, qint16 longest)
{
    return QStringLiteral("The word must be from") + Crlf + QString::number(shortest) +
           QStringLiteral(" to ") + QString::number(longest) + QStringLiteral(" characters long!");
}

const QString LettersOnlyReason = QStringLiteral("Letters only, please!");

QString invalidEntryText(const QString &quoted, const QString &reason)
{
    return QLatin1Char('\'') + quoted + QLatin1Char('\'') + Crlf + Crlf +
           QStringLiteral("is not a valid entry.") + Crlf + Crlf + reason;
}

bool isAsciiUpperLetter(char32_t c)
{
    return c >= U'A' && c <= U'Z';
}

} // namespace

EntryVerdict ValidateEntry(const QString &entry, qint16 shortest, qint16 longest)
{
    // Count characters, not UTF-16 units, so a letter outside the basic plane is one character.
    const QList<uint> characters = entry.toUcs4();
    const qsizetype length = characters.size();
    if (length < shortest || length > longest)
        return {false, invalidEntryText(entry, lengthReason(shortest, longest)), InvalidEntryCaption};

    // Upper-case one character at a time (no expansions such as a sharp s becoming two letters),
    // so the quoted entry keeps the user's characters.
    QList<uint> upper;
    upper.reserve(length);
    bool lettersOnly = true;
    for (const uint c : characters) {
        const char32_t mapped = QChar::toUpper(char32_t(c));
        // Only ASCII letters count: some non-ASCII letters upper-case to A-Z (a long s, a dotless i).
        if (c >= 0x80 || !isAsciiUpperLetter(mapped))
            lettersOnly = false;
        upper.append(uint(mapped));
    }
    if (!lettersOnly) {
        const QString quoted =
            QString::fromUcs4(reinterpret_cast<const char32_t *>(upper.constData()), upper.size());
        return {false, invalidEntryText(quoted, LettersOnlyReason), InvalidEntryCaption};
    }
    return {true, QString(), QString()};
}

} // namespace modSupport
