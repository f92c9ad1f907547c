// How a run that opens the windows reads its arguments, before Qt sees any of them.
#include "app/command_line.h"

#include <QtTest>

#include <sys/stat.h>

class TestWindowArguments : public QObject
{
    Q_OBJECT

    QTemporaryDir m_files;

private slots:
    // Files for the options that make Qt read one.
    void initTestCase()
    {
        QFile small(m_files.filePath("small.qss")), large(m_files.filePath("large.qss"));
        QVERIFY(small.open(QIODevice::WriteOnly) && large.open(QIODevice::WriteOnly) &&
                large.resize(1024 * 1024 + 1));
        QVERIFY(::mkfifo(QFile::encodeName(m_files.filePath("pipe")).constData(), 0600) == 0);
    }

    // Qt's options reach Qt only once checked; values are the argument after their option,
    // whatever it looks like.
    void windowArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("listsHome");
        QTest::addColumn<QStringList>("forQt");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("reason");
        QTest::newRow("none") << QStringList{} << false << QStringList{} << ""
                              << "";
        QTest::newRow("lists home after Qt's options")
            << QStringList{"-style", "fusion", "--reverse", "--lists-home"} << true
            << QStringList{"-style", "fusion", "-reverse"} << ""
            << "";
        const QString small = m_files.filePath("small.qss");
        QTest::newRow("value joined by =")
            << QStringList{"--stylesheet=" + small} << false << QStringList{"-stylesheet", small} << ""
            << "";
        // Qt would read a device or a pipe for ever.
        for (const QString &file :
             {QStringLiteral("/dev/zero"), m_files.filePath("pipe"), m_files.filePath("large.qss")})
            QTest::addRow("-icon %s", qPrintable(file.section('/', -1)))
                << QStringList{"-icon", file} << false << QStringList{} << ""
                << "-icon takes a file of at most 1 MiB, not \"" + file + "\".";
        QTest::newRow("platform goes to the environment")
            << QStringList{"-platform", "offscreen", "--lists-home"} << true << QStringList{} << "offscreen"
            << "";
        QTest::newRow("prefix only") << QStringList{"--lists-homes"} << false << QStringList{} << ""
                                     << "Unknown option --lists-homes.";
        QTest::newRow("other case") << QStringList{"--Lists-Home"} << false << QStringList{} << ""
                                    << "Unknown option --Lists-Home.";
        QTest::newRow("switch given a value") << QStringList{"-reverse=yes"} << false << QStringList{} << ""
                                              << "-reverse takes no value.";
        QTest::newRow("dash alone") << QStringList{"-"} << false << QStringList{} << ""
                                    << "Unexpected argument \"-\".";
        QTest::newRow("minimal platform")
            << QStringList{"-platform", "minimal"} << false << QStringList{} << "minimal"
            << "";
        // Qt reads what follows the colon; the platform is the name before it.
        QTest::newRow("platform with its own options")
            << QStringList{"-platform=xcb:foo"} << false << QStringList{} << "xcb:foo"
            << "";
        QTest::newRow("platform that cannot be checked")
            << QStringList{"-platform", "eglfs"} << false << QStringList{} << "eglfs"
            << "The windows cannot be shown on the platform \"eglfs\"; use xcb, wayland, offscreen or "
               "minimal.";
    }
    void windowArguments()
    {
        QFETCH(QStringList, arguments);
        QList<QByteArray> bytes;
        for (const QString &argument : arguments)
            bytes << argument.toUtf8();
        const brivamo::WindowArguments window = brivamo::ParseWindowArguments(bytes);
        QStringList forQt;
        for (const QByteArray &argument : window.qtArguments)
            forQt << QString::fromUtf8(argument);
        QTEST(window.listsHome, "listsHome");
        QTEST(forQt, "forQt");
        QTEST(QString::fromUtf8(window.platform), "platform");
        // The reason the run ends: a bad argument first, then a platform the windows cannot use.
        const QString &reason = window.error.isEmpty() ? window.platformProblem : window.error;
        QTEST(reason.section(QStringLiteral(" Try"), 0, 0), "reason");
    }
};

QTEST_GUILESS_MAIN(TestWindowArguments)
#include "tst_window_arguments.moc"
