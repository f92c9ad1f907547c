#include "controls/button_store.h"

#include <QFile>
#include <QSaveFile>

namespace brivamo {

namespace {

qsizetype indexOfKey(const QList<std::pair<QString, QString>> &entries, const QString &key)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].first.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString unquote(const QString &quoted, bool *ok)
{
    QString out;
    *ok = true;
    for (qsizetype i = 1; i + 1 < quoted.size(); ++i) {
        const QChar c = quoted[i];
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (i + 2 >= quoted.size()) { // a backslash escaping the closing quote
            *ok = false;
            break;
        }
        const QChar e = quoted[++i];
        switch (e.unicode()) {
        case 'n':
            out += u'\n';
            break;
        case 'r':
            out += u'\r';
            break;
        case 't':
            out += u'\t';
            break;
        case '\\':
        case '"':
            out += e;
            break;
        default:
            *ok = false;
            out += u'\\';
            out += e;
            break;
        }
    }
    return out;
}

} // namespace

bool PropertyStore::contains(const QString &key) const
{
    return indexOfKey(m_entries, key) >= 0;
}

std::optional<QString> PropertyStore::value(const QString &key) const
{
    const qsizetype i = indexOfKey(m_entries, key);
    if (i < 0)
        return std::nullopt;
    return m_entries[i].second;
}

void PropertyStore::write(const QString &key, const QString &value)
{
    const qsizetype i = indexOfKey(m_entries, key);
    if (i >= 0)
        m_entries[i].second = value;
    else
        m_entries.append({key.toLower(), value});
}

bool PropertyStore::remove(const QString &key)
{
    const qsizetype i = indexOfKey(m_entries, key);
    if (i < 0)
        return false;
    m_entries.removeAt(i);
    return true;
}

QString PropertyStore::readString(const QString &key, const QString &fallback) const
{
    return value(key).value_or(fallback);
}

qint32 PropertyStore::readInt(const QString &key, qint32 fallback) const
{
    if (const auto text = value(key)) {
        if (const auto v = ParseStoredInt(*text))
            return *v;
    }
    return fallback;
}

bool PropertyStore::readBool(const QString &key, bool fallback) const
{
    if (const auto text = value(key)) {
        if (const auto v = ParseStoredBool(*text))
            return *v;
    }
    return fallback;
}

void PropertyStore::writeInt(const QString &key, qint32 value)
{
    write(key, QString::number(value));
}

void PropertyStore::writeBool(const QString &key, bool value)
{
    write(key, FormatStoredBool(value));
}

std::optional<qint32> ParseStoredInt(const QString &text)
{
    QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        if (t.endsWith(u'&'))
            t.chop(1);
        const quint32 v = t.toUInt(&ok, 16);
        return ok ? std::optional<qint32>(qint32(v)) : std::nullopt;
    }
    const qint64 v = t.toLongLong(&ok, 10);
    if (!ok || v < -2147483648LL || v > 4294967295LL)
        return std::nullopt;
    return qint32(quint32(quint64(v)));
}

std::optional<bool> ParseStoredBool(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QLatin1String("-1") ||
        t == QLatin1String("1"))
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QString FormatStoredBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<FontSpec> ParseFontSpec(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() < 2 || parts[0].trimmed().isEmpty())
        return std::nullopt;
    FontSpec fontSpec;
    fontSpec.family = parts[0].trimmed();
    bool ok = false;
    fontSpec.pointSize = parts[1].trimmed().toDouble(&ok);
    if (!ok || fontSpec.pointSize <= 0)
        return std::nullopt;
    for (qsizetype i = 2; i < parts.size(); ++i) {
        const QString flag = parts[i].trimmed().toLower();
        if (flag == QLatin1String("bold"))
            fontSpec.bold = true;
        else if (flag == QLatin1String("italic"))
            fontSpec.italic = true;
        else if (flag == QLatin1String("underline"))
            fontSpec.underline = true;
        else if (flag == QLatin1String("strikeout"))
            fontSpec.strikeout = true;
        else
            return std::nullopt;
    }
    return fontSpec;
}

QString FormatFontSpec(const FontSpec &font)
{
    QString out = font.family + u',' + QString::number(font.pointSize, 'g', 6);
    if (font.bold)
        out += QLatin1String(",Bold");
    if (font.italic)
        out += QLatin1String(",Italic");
    if (font.underline)
        out += QLatin1String(",Underline");
    if (font.strikeout)
        out += QLatin1String(",Strikeout");
    return out;
}

QString QuoteStoredValue(const QString &value)
{
    bool needsQuotes = value != value.trimmed() || value.startsWith(u'"');
    for (const QChar c : value) {
        if (c.unicode() < 32)
            needsQuotes = true;
    }
    if (!needsQuotes)
        return value;
    QString out = QStringLiteral("\"");
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        default:
            out += c;
            break;
        }
    }
    out += u'"';
    return out;
}

ButtonDefinitions ButtonDefinitions::parse(const QString &text, QStringList *problems)
{
    ButtonDefinitions defs;
    PropertyStore *current = nullptr;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        auto complain = [&](const QString &why) {
            if (problems)
                problems->append(QStringLiteral("line %1: %2").arg(n + 1).arg(why));
        };
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']') || line.size() < 3) {
                complain(QStringLiteral("malformed section header"));
                current = nullptr;
                continue;
            }
            current = &defs.store(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) {
            complain(QStringLiteral("expected key=value"));
            continue;
        }
        if (!current) {
            complain(QStringLiteral("setting outside a [control] section"));
            continue;
        }
        const QString key = line.left(eq).trimmed();
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
            bool ok = true;
            value = unquote(value, &ok);
            if (!ok)
                complain(QStringLiteral("bad escape in quoted value"));
        }
        current->write(key, value);
    }
    return defs;
}

std::optional<ButtonDefinitions> ButtonDefinitions::load(const QString &path, QStringList *problems)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(QString::fromUtf8(file.readAll()), problems);
}

QString ButtonDefinitions::serialize() const
{
    QString out;
    for (const auto &[name, store] : m_sections) {
        if (!out.isEmpty())
            out += u'\n';
        out += u'[' + name + QLatin1String("]\n");
        for (const auto &[key, value] : store.entries())
            out += key + u'=' + QuoteStoredValue(value) + u'\n';
    }
    return out;
}

bool ButtonDefinitions::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(serialize().toUtf8());
    return file.commit();
}

const PropertyStore *ButtonDefinitions::find(const QString &controlName) const
{
    for (const auto &section : m_sections) {
        if (section.first.compare(controlName, Qt::CaseInsensitive) == 0)
            return &section.second;
    }
    return nullptr;
}

PropertyStore &ButtonDefinitions::store(const QString &controlName)
{
    for (auto &section : m_sections) {
        if (section.first.compare(controlName, Qt::CaseInsensitive) == 0)
            return section.second;
    }
    m_sections.append({controlName, PropertyStore()});
    return m_sections.last().second;
}

QStringList ButtonDefinitions::controlNames() const
{
    QStringList names;
    for (const auto &section : m_sections)
        names.append(section.first);
    return names;
}

std::optional<QChar> AccessKeyOf(const QString &caption)
{
    if (caption.size() <= 1)
        return std::nullopt;
    const qsizetype a = caption.indexOf(u'&');
    if (a < 0 || a == caption.size() - 1)
        return std::nullopt;
    if (caption[a + 1] != u'&')
        return caption[a + 1].toLower();
    const qsizetype b = caption.indexOf(u'&', a + 2);
    if (b < 0 || b == caption.size() - 1)
        return std::nullopt;
    if (caption[b + 1] == u'&')
        return std::nullopt;
    return caption[b + 1].toLower();
}

} // namespace brivamo
