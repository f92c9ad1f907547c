#include "lobby_support.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

WorkingFolder::WorkingFolder() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

WorkingFolder::~WorkingFolder()
{
    QDir::setCurrent(m_previous);
}

void WorkingFolder::writeList(const QString &fileName, const QStringList &words) const
{
    QFile file(dir().filePath(fileName));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(listBytes(words));
}

QByteArray WorkingFolder::bytes(const QString &fileName) const
{
    QFile file(dir().filePath(fileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WorkingFolder::exists(const QString &fileName) const
{
    return QFile::exists(dir().filePath(fileName));
}

QStringList WorkingFolder::listFiles() const
{
    return dir().entryList({QStringLiteral("*.lst"), QStringLiteral("*.Lst"), QStringLiteral("*.LST")},
                           QDir::Files, QDir::Name);
}

QByteArray listBytes(const QStringList &words)
{
    QByteArray bytes;
    for (const QString &word : words)
        bytes += word.toLatin1() + "\r\n";
    return bytes;
}

QStringList numberedWords(int count)
{
    QStringList words;
    for (int i = 0; i < count; ++i) {
        QString word;
        for (int n = i, digits = 0; digits < 3; ++digits, n /= 26)
            word.prepend(QChar(u'A' + n % 26));
        words.append(word);
    }
    return words;
}

void recoverFromProgramEnd()
{
    // exec() clears the pending request when it starts and again when it returns.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}
