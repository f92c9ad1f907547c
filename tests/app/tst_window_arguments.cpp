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
        QTest::addColumn<QString>("error");
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
        QFETCH(QString, error);
        QCOMPARE(window.error.section(QStringLiteral(" Try"), 0, 0), error);
    }
};

QTEST_GUILESS_MAIN(TestWindowArguments)
#include "tst_window_arguments.moc"
