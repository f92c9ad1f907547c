#include "app/lists_home.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

class TestListsHome : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_startFolder = QDir::currentPath();
        QVERIFY(m_home.isValid());
    }
    void cleanup()
    {
        QDir::setCurrent(m_startFolder);
        qunsetenv("XDG_DATA_HOME");
    }

    void folderFollowsXdgDataHome()
    {
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toLocal8Bit());
        QCOMPARE(basBrivamo::listsHomePath(), m_home.filePath(QStringLiteral("data/Brivamo/lists")));
    }

    void folderDefaultsUnderHome()
    {
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(basBrivamo::listsHomePath(),
                 QDir::homePath() + QStringLiteral("/.local/share/Brivamo/lists"));
    }

    // The folder is made on the first start and reused, lists and all, on the next.
    void enteringCreatesThenReusesTheFolder()
    {
        const QString data = m_home.filePath(QStringLiteral("fresh/data"));
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        const QString expected = data + QStringLiteral("/Brivamo/lists");
        QVERIFY(!QDir(expected).exists());

        QString error;
        QVERIFY(basBrivamo::enterListsHome(&error));
        QVERIFY(error.isEmpty());
        QCOMPARE(QDir::currentPath(), QDir(expected).canonicalPath());
        QFile list(QStringLiteral("ZEBRA.lst"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.close();

        QDir::setCurrent(m_startFolder);
        QVERIFY(basBrivamo::enterListsHome(&error));
        QVERIFY(QFile::exists(QStringLiteral("ZEBRA.lst")));
    }

    // A file where the folder should be: the program stays where it was and says why.
    void blockedFolderLeavesTheCurrentFolder()
    {
        const QString data = m_home.filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(data + QStringLiteral("/Brivamo")));
        QFile blocker(data + QStringLiteral("/Brivamo/lists"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());

        const QString before = QDir::currentPath();
        QString cause;
        QVERIFY(!basBrivamo::enterListsHome(&cause));
        QCOMPARE(cause, QString::fromLocal8Bit(std::strerror(ENOTDIR)));
        QVERIFY(basBrivamo::listsHomeFailureLine(cause).contains(data + QStringLiteral("/Brivamo/lists")));
        QCOMPARE(QDir::currentPath(), before);
    }

private:
    QTemporaryDir m_home;
    QString m_startFolder;
};

QTEST_GUILESS_MAIN(TestListsHome)
#include "tst_lists_home.moc"
