#include "lobby/shipped_lists.h"

#include "generator/puzzle_words.h"
#include "platform/safe_file.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace brivamo {

namespace {

bool holdsAnyList(const QDir &folder)
{
    // Any file whose name ends in ".lst" in any letter case counts, hidden ones included: the
    // user has lists of their own then, or had them once.
    QDirIterator it(folder.path(), QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().endsWith(QStringLiteral(".lst"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Writes `bytes` as `fileName` in `folder`, safely and without replacing a file of that name.
QString installFile(const QDir &folder, const QString &fileName, const QByteArray &bytes)
{
    return writeFileSafely(folder.filePath(fileName), bytes, SafeWriteMode::CreateOnly);
}

} // namespace

QStringList ShippedListResources()
{
    QStringList paths;
    QDirIterator it(QStringLiteral(":/lists"), {QStringLiteral("*.lst")}, QDir::Files);
    while (it.hasNext())
        paths.append(it.next());
    paths.sort();
    return paths;
}

QStringList WeekdayListWords(const QLocale &locale)
{
    // Decided by the same check that a puzzle applies to its words, so a list written here can
    // never be refused there; the whole list changes language, never a single day.
    QStringList words = modSupport::WeekdayWords(locale);
    if (FindUnusableWord(words))
        words = modSupport::WeekdayWords(QLocale::c());
    return words;
}

StoreStatus InstallShippedLists(const QDir &folder)
{
    if (!folder.exists() || holdsAnyList(folder))
        return {};
    StoreStatus status;
    for (const QString &path : ShippedListResources()) {
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly))
            continue;
        const QString fileName = QFileInfo(path).fileName();
        if (modSupport::WordListExists(fileName.chopped(4), folder))
            continue;
        const QString error = installFile(folder, fileName, source.readAll());
        if (!error.isEmpty() && status.ok())
            status.error = error;
    }
    return status;
}

} // namespace brivamo
