// How a run that opens the windows reads its arguments, before Qt sees any of them.
#include "app/command_line.h"

#include <QtTest>

class TestWindowArguments : public QObject
{
    Q_OBJECT

private slots:
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
        QTest::newRow("value joined by =")
            << QStringList{"--stylesheet=a.qss"} << false << QStringList{"-stylesheet", "a.qss"} << ""
            << "";
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
