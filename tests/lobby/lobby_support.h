#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary working folder for one test: the current directory while it lives.
class WorkingFolder
{
public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    QDir dir() const { return QDir(m_dir.path()); }
    // Writes a list file with each word followed by CR LF.
    void writeList(const QString &fileName, const QStringList &words) const;
    QByteArray bytes(const QString &fileName) const;
    bool exists(const QString &fileName) const;
    // The *.lst files, sorted by name.
    QStringList listFiles() const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// The bytes of a list file holding `words`.
QByteArray listBytes(const QStringList &words);

// `count` distinct valid words: AAA, AAB, ...
QStringList numberedWords(int count);

// Ending the program asks the event loop to quit; without a running loop the request stays
// pending and would end every local event loop of later tests at once. This clears it.
void recoverFromProgramEnd();
