#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the real program several times side by side, headless, each copy with the same runtime
// folder (where the instance lock lives) and its own empty settings folder.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    QString m_binary;
    QTemporaryDir m_runtime;

    QProcessEnvironment environment(const QString &home) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        env.insert(QStringLiteral("BRIVAMO_TERMINATE_MESSAGE_TO_STDERR"), QStringLiteral("1"));
        return env;
    }

    void start(QProcess &process, const QTemporaryDir &home)
    {
        process.setProcessEnvironment(environment(home.path()));
        process.setWorkingDirectory(home.path());
        process.start(m_binary, {});
        QVERIFY(process.waitForStarted());
    }

    QString lockPath() const { return m_runtime.filePath(QStringLiteral("brivamo.lock")); }

    // The process id written in the lock, 0 when there is none.
    qint64 lockOwner() const
    {
        QFile file(lockPath());
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return file.readLine().trimmed().toLongLong();
    }

    // Waits until `process` holds the lock (and so has passed its start-up check).
    bool waitForLock(const QProcess &process)
    {
        return QTest::qWaitFor(
                   [&] {
                       return lockOwner() == process.processId() || process.state() == QProcess::NotRunning;
                   },
                   20000) &&
               process.state() == QProcess::Running;
    }

private slots:
    void initTestCase()
    {
        m_binary = qEnvironmentVariable("BRIVAMO_BINARY");
        if (m_binary.isEmpty())
            QSKIP("BRIVAMO_BINARY is not set");
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondCopyStopsAndKilledCopyDoesNotBlock()
    {
        QTemporaryDir firstHome, secondHome, thirdHome;
        QProcess first;
        start(first, firstHome);
        QVERIFY2(waitForLock(first), first.readAllStandardError().constData());

        QProcess second;
        start(second, secondHome);
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(second.readAllStandardError().contains(
                     "Terminating...\nBrivamo is already loaded\r\nand running on your computer!\n"),
                 "the second copy did not give the message");
        // It touched no setting or file of its own.
        QCOMPARE(QDir(secondHome.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
        QCOMPARE(first.state(), QProcess::Running);

        // A killed copy leaves its lock behind; the next start takes it over.
        const qint64 firstId = first.processId();
        first.kill();
        QVERIFY(first.waitForFinished(20000));
        QCOMPARE(lockOwner(), firstId);

        QProcess third;
        start(third, thirdHome);
        QVERIFY2(waitForLock(third), third.readAllStandardError().constData());
        QTest::qWait(500);
        QCOMPARE(third.state(), QProcess::Running);
        QVERIFY(!third.readAllStandardError().contains("already loaded"));
        third.kill();
        QVERIFY(third.waitForFinished(20000));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
