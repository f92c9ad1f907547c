#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

// Starts the real program where it cannot run (no display, a screen or platform Qt cannot use, a
// runtime folder that cannot take its lock) and checks that it says why in one message and ends with
// status 1. Full and read-only folders are real tmpfs mounts made here, which needs root (as CI runs);
// elsewhere those rows are skipped.
class TestStartupFailures : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1; // -1: crashed or still running after half a minute
        QString err;
    };

    static Run run(const QProcessEnvironment &environment, const QString &folder,
                   const QStringList &arguments = {})
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(qEnvironmentVariable("BRIVAMO_BINARY"), arguments);
        Run result;
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        if (process.exitStatus() == QProcess::NormalExit)
            result.exitCode = process.exitCode();
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

    static QProcessEnvironment baseEnvironment(const QString &home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/config");
        env.insert("BRIVAMO_TERMINATE_MESSAGE_TO_STDERR", "1");
        return env;
    }

    // A tmpfs of 16 KiB at `folder`, private to its owner like a runtime folder.
    static bool mountSmallTmpfs(const QString &folder, bool readOnly, const QString &more = {})
    {
        const QString options = QStringLiteral("size=16k,mode=0700") + (readOnly ? ",ro" : "") + more;
        return QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", folder}) == 0;
    }

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariableIsEmpty("BRIVAMO_BINARY")); }

    // "X" in a display name stands for a running X server's display number.
    void noDisplay_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("notifierHangs");
        const QString tail =
            " Brivamo needs a graphical desktop; puzzles can also be made with brivamo --make "
            "CATEGORY.\n";
        QTest::newRow("nothing set") << QString() << QString()
                                     << "brivamo: No display was found (DISPLAY is not set)." + tail << false;
        QTest::newRow("notifier that hangs")
            << QString() << QString() << "brivamo: No display was found (DISPLAY is not set)." + tail << true;
        QTest::newRow("display that is not there")
            << ":4711" << QString() << "brivamo: Cannot open the display \":4711\"." + tail << false;
        QTest::newRow("screen that is not there")
            << "X.5" << QString() << "brivamo: The display \"X.5\" has no screen 5." + tail << false;
        // Qt tries each platform of a list in turn.
        for (const QString platform : {"nonsense", "eglfs", "linuxfb", "offscreen;eglfs"})
            QTest::addRow("platform %s", qPrintable(platform))
                << QString() << platform
                << QStringLiteral("brivamo: The windows cannot be shown on the platform \"%1\"; use xcb, "
                                  "wayland, offscreen or minimal.\n")
                       .arg(platform.section(';', -1))
                << false;
    }
    void noDisplay()
    {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(QString, line);
        QFETCH(bool, notifierHangs);
        QProcess xvfb; // ended with the row
        if (display.startsWith('X')) {
            // Xvfb writes its display number once it takes connections.
            xvfb.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
            QVERIFY(QTest::qWaitFor([&] { return xvfb.canReadLine(); }, 30000));
            const QString x = ":" + QString::fromLatin1(xvfb.readLine().trimmed());
            display.replace('X', x);
            line.replace("\"X", "\"" + x);
        }
        QTemporaryDir home;
        QProcessEnvironment env = baseEnvironment(home.path());
        if (!display.isEmpty())
            env.insert("DISPLAY", display);
        if (!platform.isEmpty())
            env.insert("QT_QPA_PLATFORM", platform);
        // A notify-send of our own, first on the PATH, records what it was asked to show; the
        // program must not wait for one that never returns.
        QTemporaryDir bin;
        QFile notifier(bin.filePath("notify-send"));
        QVERIFY(notifier.open(QIODevice::WriteOnly));
        notifier.write(notifierHangs
                           ? "#!/bin/sh\nexec sleep 600\n"
                           : "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
        notifier.close();
        QVERIFY(notifier.setPermissions(notifier.permissions() | QFile::ExeOwner));
        env.insert("PATH", bin.path() + ":" + env.value("PATH"));
        const Run result = run(env, home.path());
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, line);
        if (notifierHangs)
            return;
        QFile recorded(notifier.fileName() + ".args");
        QTRY_VERIFY_WITH_TIMEOUT(recorded.exists(), 10000);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        const QStringList arguments = QString::fromLocal8Bit(recorded.readAll()).split('\n');
        QCOMPARE(arguments.mid(arguments.size() - 3),
                 QStringList({"Brivamo cannot start", line.mid(9).chopped(1), QString()}));
    }

    void lockCannotBeMade_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("full folder") << "full"
                                     << "(No space left on device)";
        QTest::newRow("read-only folder") << "read-only"
                                          << "(Read-only file system)";
        QTest::newRow("a folder in the lock's place")
            << "folder"
            << "(something that is not a lock is in its place; remove it and start again).\n";
    }
    void lockCannotBeMade()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        QTemporaryDir home, runtime;
        QString mounted;
        // Unmounted before the folder itself goes.
        const auto unmount = qScopeGuard([&] {
            if (!mounted.isEmpty())
                QProcess::execute("umount", {mounted});
        });
        QVERIFY(
            QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        if (kind == "folder") {
            QVERIFY(QDir(runtime.path()).mkdir("brivamo.lock"));
        } else {
            if (!mountSmallTmpfs(runtime.path(), kind == "read-only"))
                QSKIP("mounting a tmpfs needs root");
            mounted = runtime.path();
            if (kind == "full") {
                QFile filler(runtime.filePath("filler"));
                QVERIFY(filler.open(QIODevice::WriteOnly));
                int blocks = 0; // the count stops a file system that never fills
                while (blocks < 10000 && filler.write(QByteArray(1024, 'x')) == 1024 && filler.flush())
                    ++blocks;
                QVERIFY(blocks < 10000);
            }
        }
        QProcessEnvironment env = baseEnvironment(home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        const Run result = run(env, home.path());

        QCOMPARE(result.exitCode, 1);
        QVERIFY2(
            result.err.startsWith("Cannot Start\nBrivamo cannot start: it could not make its lock file\r\n" +
                                  runtime.filePath("brivamo.lock") + "\r\n"),
            qPrintable(result.err));
        QVERIFY2(result.err.contains(cause), qPrintable(result.err));
        QVERIFY(!result.err.contains("already loaded"));
        // Nothing was left behind.
        const QStringList left =
            QDir(runtime.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(left, kind == "full"     ? QStringList{"filler"}
                       : kind == "folder" ? QStringList{"brivamo.lock"}
                                          : QStringList{});
    }

    // Started from the menu, the program keeps its lists in the user's data folder or nowhere: a
    // folder that cannot be made is named with its reason on one line (no Qt notice before it),
    // the program ends with status 1, and no list lands in the folder it was started in.
    void listsHomeCannotBeUsed_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("file in the way") << "file" << ENOTDIR;
        QTest::newRow("file in the way, no runtime folder set") << "file, no runtime" << ENOTDIR;
        QTest::newRow("read-only data folder") << "read-only" << EROFS;
        QTest::newRow("data folder without room") << "full" << ENOSPC;
    }
    void listsHomeCannotBeUsed()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QTemporaryDir home, runtime, data;
        QVERIFY(
            QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QString mounted;
        const auto unmount = qScopeGuard([&] {
            if (!mounted.isEmpty())
                QProcess::execute("umount", {mounted});
        });
        if (kind.startsWith("file")) {
            QVERIFY(QDir(data.path()).mkdir("Brivamo"));
            QFile blocker(data.filePath("Brivamo/lists"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else {
            // No room for one more entry: the data folder's own is the only one allowed.
            if (!mountSmallTmpfs(data.path(), kind == "read-only",
                                 kind == "full" ? ",nr_inodes=1" : QString()))
                QSKIP("mounting a tmpfs needs root");
            mounted = data.path();
        }
        QProcessEnvironment env = baseEnvironment(home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_DATA_HOME", data.path());
        if (kind.endsWith("no runtime"))
            env.remove("XDG_RUNTIME_DIR");
        else
            env.insert("XDG_RUNTIME_DIR", runtime.path());
        const Run result = run(env, home.path(), {"--lists-home"});

        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err,
                 QStringLiteral("brivamo: The word lists cannot be kept in %1 (%2).\n")
                     .arg(data.filePath("Brivamo/lists"), QString::fromLocal8Bit(std::strerror(error))));
        QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestStartupFailures)
#include "tst_startup_failures.moc"
