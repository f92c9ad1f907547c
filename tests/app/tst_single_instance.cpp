#include "app/instance_folder.h"
#include "app/running_copy.h"
#include "app/startup.h"
#include "platform/instance_channel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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
        // It runs as the one copy: it answers a later start (once it listens, just after the lock).
        const QString channel = brivamo::instanceChannelPath(lockPath());
        QVERIFY(QTest::qWaitFor(
            [&] { return brivamo::askRunningCopyToShow(channel, std::chrono::seconds(5)); }, 20000));
        QCOMPARE(third.state(), QProcess::Running);
        QVERIFY(!third.readAllStandardError().contains("already loaded"));
        third.kill();
        QVERIFY(third.waitForFinished(20000));
    }

    // A second start asks the running copy (here: this test, holding the lock) to bring its front
    // window forward before it shows its message; a copy that does not answer costs it no more
    // than the limit, and where nothing listens it does not wait at all.
    void secondStartAsksTheRunningCopyFirst_data()
    {
        QTest::addColumn<QString>("runningCopy");
        QTest::newRow("answers") << "answers";
        QTest::newRow("does not answer") << "silent";
        QTest::newRow("does not listen") << "absent";
    }
    void secondStartAsksTheRunningCopyFirst()
    {
        QFETCH(QString, runningCopy);
        QLockFile lock(lockPath());
        QVERIFY(lock.tryLock(0));
        int requests = 0;
        brivamo::InstanceChannelServer answering([&] { ++requests; });
        const QString channel = brivamo::instanceChannelPath(lockPath());
        QFile::remove(channel);
        // Takes connections (the system does, on its behalf) and never answers.
        const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const auto closeSilent = qScopeGuard([silent] { ::close(silent); });
        if (runningCopy == QLatin1String("answers")) {
            QVERIFY(answering.listen(channel));
        } else if (runningCopy == QLatin1String("silent")) {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, QFile::encodeName(channel).constData(),
                         sizeof address.sun_path - 1);
            QVERIFY(::bind(silent, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
            QVERIFY(::listen(silent, 4) == 0);
        }

        QTemporaryDir home;
        QProcess second;
        QElapsedTimer clock;
        clock.start();
        start(second, home);
        QVERIFY(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
        const qint64 took = clock.elapsed();
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardError().contains(basBrivamo::AlreadyRunningCaption.toUtf8()));
        QCOMPARE(requests, runningCopy == QLatin1String("answers") ? 1 : 0);
        const qint64 limit = basBrivamo::RunningCopyAnswerLimit.count();
        if (runningCopy == QLatin1String("silent"))
            QVERIFY2(took >= limit && took < limit + 5000, qPrintable(QString::number(took)));
        else
            QVERIFY2(took < limit, qPrintable(QString::number(took)));
    }

    // The lock's folder is one only the user can reach: a runtime folder that is not is passed
    // over for ~/.cache/brivamo, and one there that is not stops the start, saying why.
    void lockFolderIsPrivate_data()
    {
        QTest::addColumn<QString>("prepare"); // run by the shell in an empty folder
        QTest::addColumn<QByteArray>("runtime");
        QTest::addColumn<QByteArray>("cache");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("problem");
        const QString home = "home/.cache/brivamo";
        QTest::newRow("private runtime folder")
            << "mkdir -m 700 run" << QByteArray("run") << QByteArray() << "run"
            << "";
        QTest::newRow("runtime folder is a link")
            << "mkdir -m 700 run && ln -s run link" << QByteArray("link") << QByteArray() << home << "";
        QTest::newRow("runtime folder of another user")
            << "mkdir -m 700 run && chown 65534 run" << QByteArray("run") << QByteArray() << home << "";
        QTest::newRow("runtime folder open to others")
            << "mkdir -m 711 run" << QByteArray("run") << QByteArray() << home << "";
        QTest::newRow("folder of another user")
            << "mkdir -p -m 700 " + home + " && chown 65534 " + home << QByteArray() << QByteArray() << home
            << "belongs to another user";
        QTest::newRow("folder is a link") << "mkdir -p home/.cache && ln -s /tmp " + home << QByteArray()
                                          << QByteArray() << home << "is not a folder";
        QTest::newRow("cache folder others may write in")
            << "mkdir -m 1777 cache" << QByteArray() << QByteArray("cache") << "cache/brivamo"
            << "other users may write in";
    }
    void lockFolderIsPrivate()
    {
        QFETCH(QString, prepare);
        QFETCH(QByteArray, runtime);
        QFETCH(QByteArray, cache);
        QFETCH(QString, folder);
        QFETCH(QString, problem);
        QTemporaryDir base;
        QProcess shell;
        shell.setWorkingDirectory(base.path());
        shell.start("sh", {"-c", "mkdir home && " + prepare});
        if (!shell.waitForFinished(20000) || shell.exitCode() != 0)
            QSKIP("preparing the folders needs root");
        const auto value = [&](const QByteArray &name) {
            return name.isEmpty() ? name : QFile::encodeName(base.filePath(name));
        };
        const basBrivamo::InstanceFolder found = basBrivamo::instanceFolder(
            value(runtime), value(cache), QFile::encodeName(base.filePath("home")));
        QCOMPARE(found.path, base.filePath(folder));
        QVERIFY2(problem.isEmpty() ? found.problem.isEmpty() : found.problem.contains(problem),
                 qPrintable(found.problem));
        if (problem.isEmpty()) // neither group nor others may enter
            QCOMPARE(int(QFile::permissions(found.path) & 0x0077), 0);
    }

    // Without a runtime folder the lock once went to the shared temporary folder, where anyone
    // could put a folder (or a lock of theirs) in its place.
    void noSharedLockName()
    {
        QTemporaryDir home, shared;
        const QString qtRuntime =
            shared.filePath(QStringLiteral("runtime-%1").arg(getpwuid(geteuid())->pw_name));
        QVERIFY(QDir().mkpath(qtRuntime) && QDir().mkpath(shared.filePath("brivamo.lock/x")));
        if (::chown(QFile::encodeName(qtRuntime).constData(), 65534, 65534) != 0)
            QSKIP("giving a folder to another user needs root");
        QProcessEnvironment env = environment(home.path());
        env.remove("XDG_RUNTIME_DIR");
        env.remove("XDG_CACHE_HOME");
        env.insert("TMPDIR", shared.path());
        QProcess copy;
        copy.setProcessEnvironment(env);
        copy.setWorkingDirectory(home.path());
        copy.start(m_binary, {});
        QVERIFY2(QTest::qWaitFor([&] { return QFile::exists(home.filePath(".cache/brivamo/brivamo.lock")); },
                                 20000),
                 copy.readAllStandardError().constData());
        copy.kill();
        QVERIFY(copy.waitForFinished(20000));
    }

    // The channel outlives clients that misbehave: a real request is answered afterwards.
    void channelOutlivesMisbehavingClients_data()
    {
        QTest::addColumn<QString>("misdeed");
        QTest::newRow("more idle connections than descriptors") << "idle";
        QTest::newRow("request without line end") << "unended";
        QTest::newRow("socket file removed") << "removed";
    }
    void channelOutlivesMisbehavingClients()
    {
        QFETCH(QString, misdeed);
        QTemporaryDir folder;
        const QString path = folder.filePath("brivamo.socket");
        brivamo::InstanceChannelServer server(nullptr);
        QVERIFY(server.listen(path));
        rlimit was{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &was) == 0);
        const auto restore = qScopeGuard([&] { ::setrlimit(RLIMIT_NOFILE, &was); });
        // Each idle connection costs two descriptors here, one on each side.
        const rlimit limit{misdeed == "idle" ? 256 : was.rlim_cur, was.rlim_max};
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &limit) == 0);
        std::vector<std::unique_ptr<QLocalSocket>> clients(misdeed == "idle" ? 150 : 1);
        for (auto &client : clients) {
            client = std::make_unique<QLocalSocket>();
            client->connectToServer(path);
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::none_of(clients.begin(), clients.end(),
                         [](const auto &c) { return c->state() == QLocalSocket::ConnectingState; }),
            20000);
        // Held to a few connections, the server never runs out of descriptors and stops listening.
        QVERIFY(QFile::exists(path));
        if (misdeed == "unended") {
            clients[0]->write("show");
            QTRY_VERIFY_WITH_TIMEOUT(clients[0]->state() == QLocalSocket::UnconnectedState, 20000);
        } else if (misdeed == "removed") {
            QVERIFY(QFile::remove(path));
        }
        // Retried until answered: a full server turns new clients away for a while.
        QVERIFY(QTest::qWaitFor(
            [&] {
                QLocalSocket asking;
                asking.connectToServer(path);
                return asking.waitForConnected(1000) && asking.write("show\n") == 5 &&
                       QTest::qWaitFor([&] { return asking.canReadLine(); }, 1000);
            },
            20000));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
