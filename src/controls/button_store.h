#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace brivamo {

// The settings of one stored control: key/value texts in the order they were written. Keys are
// compared without regard to case and kept in lower case.
class PropertyStore
{
public:
    bool contains(const QString &key) const;
    // The stored text, or nothing when the key is absent.
    std::optional<QString> value(const QString &key) const;
    // Replaces the value of an existing key in place, or appends the key.
    void write(const QString &key, const QString &value);
    bool remove(const QString &key);
    const QList<std::pair<QString, QString>> &entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool operator==(const PropertyStore &) const = default;

    QString readString(const QString &key, const QString &fallback) const;
    qint32 readInt(const QString &key, qint32 fallback) const;
    bool readBool(const QString &key, bool fallback) const;

    void writeInt(const QString &key, qint32 value);
    void writeBool(const QString &key, bool value);

private:
    QList<std::pair<QString, QString>> m_entries;
};

// Value texts of the store. Integers are written in decimal and read in decimal or in
// hexadecimal ("&H00C0C0C0&" or "0xC0C0C0"); Booleans are written "True"/"False" and read
// also as -1, 1 and 0.
std::optional<qint32> ParseStoredInt(const QString &text);
std::optional<bool> ParseStoredBool(const QString &text);
QString FormatStoredBool(bool value);

// A font as stored: "Family,Size[,Bold][,Italic][,Underline][,Strikeout]", size in points.
struct FontSpec
{
    QString family;
    double pointSize = 8.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const FontSpec &) const = default;
};
std::optional<FontSpec> ParseFontSpec(const QString &text);
QString FormatFontSpec(const FontSpec &font);

// The stored definitions of one window's controls, one section per control:
//
//   # comment (also ";")
//   [cmdMakePuzzle]
//   btype=14
//   tx=&Make Puzzle
//   tx2="  text with outer spaces,\r\nescapes \\ \" \t "
//
// Section names and keys are compared without regard to case. Whitespace around keys and
// values is dropped; a value in double quotes keeps it and understands the escapes \\ \" \r
// \n \t. Unquoted values are taken literally. serialize() writes keys in lower case and quotes
// only what needs it, so parse(serialize()) gives back the same stores.
class ButtonDefinitions
{
public:
    static ButtonDefinitions parse(const QString &text, QStringList *problems = nullptr);
    // Reads a file or a resource (":/buttons/frmLobby.txt"); nothing when it cannot be read.
    static std::optional<ButtonDefinitions> load(const QString &path, QStringList *problems = nullptr);

    QString serialize() const;
    bool save(const QString &path) const;

    const PropertyStore *find(const QString &controlName) const;
    PropertyStore &store(const QString &controlName); // created at the end when missing
    QStringList controlNames() const;
    bool operator==(const ButtonDefinitions &) const = default;

private:
    QList<std::pair<QString, PropertyStore>> m_sections;
};

QString QuoteStoredValue(const QString &value);

// The access key of a caption: the character after the first single "&" in lower case, with
// "&&" standing for a literal ampersand. Only the first two ampersands are examined.
std::optional<QChar> AccessKeyOf(const QString &caption);

} // namespace brivamo
