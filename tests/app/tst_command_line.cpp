// The real program's --help, --version and refusal of arguments it does not know.
#include <QtTest>

#include <QProcess>
#include <QRegularExpression>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program with the test's own environment (offscreen), so that a run that opens windows
// would get as far as showing them; or headless, with no display of any kind.
Run runProgram(const QStringList &arguments, bool headless = false)
{
    QProcess process;
    if (headless) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        process.setProcessEnvironment(environment);
    }
    process.start(qEnvironmentVariable("BRIVAMO_BINARY"), arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QSet<QString> longOptions(const QString &text)
{
    QSet<QString> options;
    QRegularExpression pattern(QStringLiteral("(?<![\\w-])--([a-z][a-z-]*[a-z])"));
    for (const QRegularExpressionMatch &m : pattern.globalMatch(text))
        options.insert(m.captured(1));
    return options;
}

QString readSource(const QString &relative)
{
    QFile file(qEnvironmentVariable("BRIVAMO_SOURCE_DIR") + u'/' + relative);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariableIsEmpty("BRIVAMO_BINARY"));
        QVERIFY(!qEnvironmentVariableIsEmpty("BRIVAMO_SOURCE_DIR"));
    }

    // The help names the same options as the manual page, which spells "--" as "\-\-".
    void helpAndManualAgree()
    {
        const Run run = runProgram({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QSet<QString> inHelp = longOptions(run.out);
        QString manual = readSource(QStringLiteral("packaging/brivamo.1.in"));
        QVERIFY(!manual.isEmpty());
        const QSet<QString> inManual =
            longOptions(manual.replace(QStringLiteral("\\-"), QStringLiteral("-")));
        for (const char *option : {"make", "size", "count", "seed", "quiet", "pdf", "print", "printer",
                                   "solution", "dedication", "lists-home", "help", "version"})
            QVERIFY2(inHelp.contains(QLatin1String(option)), option);
        QCOMPARE(inManual - inHelp, QSet<QString>());
        QCOMPARE(inHelp - inManual, QSet<QString>());

        // And the same forms of use, option for option: the help's usage lines against the
        // manual's synopsis (".SY" to ".YS", ".OP x" standing for "[x]").
        const QString usage = run.out.section(QStringLiteral("\n\n"), 0, 0).mid(7);
        QStringList helpForms = usage.simplified().split(QStringLiteral(" brivamo "));
        QStringList manualForms;
        for (const QString &block : manual.split(QStringLiteral(".SY brivamo")).mid(1)) {
            QString form;
            for (const QString &line : block.section(QStringLiteral(".YS"), 0, 0).split(u'\n')) {
                const QString rest = line.startsWith(u'.') ? line.section(u' ', 1) : line;
                form += line.startsWith(QLatin1String(".OP")) ? " [" + rest + ']' : u' ' + rest;
            }
            manualForms << form.simplified().toLower();
        }
        helpForms.first().remove(QStringLiteral("brivamo "));
        for (QString &form : helpForms)
            form = form.toLower();
        QCOMPARE(manualForms, helpForms);
    }

    void versionMatchesTheProject()
    {
        const QRegularExpressionMatch project =
            QRegularExpression(QStringLiteral("project\\(Brivamo VERSION ([0-9.]+)"))
                .match(readSource(QStringLiteral("CMakeLists.txt")));
        QVERIFY(project.hasMatch());
        const Run run = runProgram({QStringLiteral("--version")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Brivamo %1\n").arg(project.captured(1)));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("headless");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown option, windows") << QStringList{"--colour"} << false << 2 << "--colour";
        QTest::newRow("unknown option, no display") << QStringList{"--colour"} << true << 2 << "--colour";
        QTest::newRow("unknown Qt-style option") << QStringList{"-colour"} << false << 2 << "-colour";
        QTest::newRow("stray word after Qt's option")
            << QStringList{"--platform", "offscreen", "--lists-home", "animals"} << false << 2 << "animals";
        QTest::newRow("unknown option, --make")
            << QStringList{"--make", "animals", "--colour"} << true << 2 << "--colour";
        QTest::newRow("help wins over --make")
            << QStringList{"--make", "animals", "--help"} << true << 0 << "Usage: brivamo";
        // A value joined by = leaves the next argument an option of its own.
        QTest::newRow("version after a Qt option with =")
            << QStringList{"-style=fusion", "--version"} << true << 0 << "Brivamo ";
        QTest::newRow("short help") << QStringList{"-h"} << true << 0 << "Usage: brivamo";
        // A Qt option's value is not an option, even when it reads --make.
        QTest::newRow("--make as a Qt option's value")
            << QStringList{"-title", "--make", "--colour"} << false << 2 << "Unknown option --colour.";
        QTest::newRow("--make alone") << QStringList{"--make"} << true << 2 << "--make needs a value.";
        QTest::newRow("--make with an empty name")
            << QStringList{"--make", ""} << true << 2 << "--make needs a category name.";
        // 1000 puzzles pass the limit, and the run goes on to look for the list.
        QTest::newRow("set of 1001") << QStringList{"--make", "nosuch", "--pdf", "x.pdf", "--count", "1001"}
                                     << true << 2 << "A set of puzzles to print holds at most 1000 puzzles.";
        QTest::newRow("set of 1000") << QStringList{"--make", "nosuch", "--pdf", "x.pdf", "--count", "1000"}
                                     << true << 2 << "\"nosuch\" could not be found.";
        QTest::newRow("folder in the category")
            << QStringList{"--make", "a/b"} << true << 2 << "\"a/b\" is not a category name.";
        QTest::newRow("outline key without pages")
            << QStringList{"--make", "nosuch", "--key", "outline"} << true << 2
            << "--key and --large-print need --pdf FILE, --png FILE, --svg FILE or --print.";
        // Accepted, so the run goes on to look for the list.
        QTest::newRow("1001 puzzles without pages") << QStringList{"--make", "nosuch", "--count", "1001"}
                                                    << true << 2 << "\"nosuch\" could not be found.";
        QTest::newRow("both ends of the seed range")
            << QStringList{"--make", "nosuch", "--seed", "0", "--seed", "4294967295"} << true << 2
            << "\"nosuch\" could not be found.";
        QTest::newRow("paper for images")
            << QStringList{"--make", "nosuch", "--png", "x.png", "--paper", "a4"} << true << 2
            << "\"nosuch\" could not be found.";
        // Qt's options are checked before Qt sees them: one line and status 1, never an abort.
        QTest::newRow("Qt platform without a display")
            << QStringList{"-platform", "xcb"} << true << 1 << "DISPLAY is not set";
        QTest::newRow("Qt display that is not there")
            << QStringList{"-display", ":987"} << true << 1 << "\":987\"";
        QTest::newRow("Qt platform that cannot be checked")
            << QStringList{"--platform", "eglfs"} << false << 1 << "\"eglfs\"";
        QTest::newRow("Qt option without its value") << QStringList{"-platform"} << false << 2 << "-platform";
        QTest::newRow("argument after the end of the options")
            << QStringList{"--lists-home", "--", "--help"} << false << 2 << "\"--help\"";
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, headless);
        QFETCH(int, exitCode);
        QFETCH(QString, reason);
        const Run run = runProgram(arguments, headless);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0) {
            QVERIFY2(run.out.startsWith(reason), qPrintable(run.out));
            QVERIFY(run.err.isEmpty());
            return;
        }
        QVERIFY2(QRegularExpression(QStringLiteral("^brivamo: [^\n]+\n$")).match(run.err).hasMatch(),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    // Information that cannot reach the standard output is a failure.
    void informationIntoAFullOutput()
    {
        for (const char *option : {"--help", "--version"}) {
            QProcess process;
            process.setStandardOutputFile(QStringLiteral("/dev/full"));
            process.start(qEnvironmentVariable("BRIVAMO_BINARY"), {QLatin1String(option)});
            QVERIFY(process.waitForFinished(60000));
            QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 1, option);
            QCOMPARE(process.readAllStandardError(),
                     "brivamo: Cannot write to the standard output: No space left on device.\n");
        }
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
