#include "command_support.h"

#include <QtTest>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

// Runs the real program's headless puzzle maker on lists in a temporary folder.
class TestMakeCommand : public QObject
{
    Q_OBJECT

    using Run = CommandRun;

    QTemporaryDir m_folder;
    QByteArray m_animals; // Animals.lst as written

    Run make(const QStringList &arguments) { return runHeadless(m_folder.path(), arguments); }

    void writeList(const QString &name, const QByteArray &content)
    {
        QFile file(m_folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariableIsEmpty("BRIVAMO_BINARY"));
        QVERIFY(m_folder.isValid());
        writeList("Animals.lst", "ALLIGATOR\r\nBADGER\r\nCAMEL\r\nDOLPHIN\r\nEMU\r\nGIRAFFE\r\nIGUANA\r\n"
                                 "JAGUAR\r\nWALRUS\r\nZEBRA\r\n");
        // Every line of a 3 x 3 square meets word 1's diagonal, so word 2 never fits.
        writeList("HARD.LST", "ABC\r\nDEF\r\n");
        writeList("empty.lst", "");
        writeList("Gap.lst", "LION\r\n\r\nTIGER\r\n");
        writeList("Giant.lst", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE\r\n");
        QVERIFY(QDir(m_folder.path()).mkdir("Folder.lst"));
        QVERIFY(QDir(m_folder.path()).mkdir("sub"));
        writeList("Digits.lst", "CAT\r\nR2D2\r\n");
        writeList("Control.lst", "CA\x01T\r\n");
        writeList("Cafe.lst", "CAF\xC3\x89\r\nOL\xC3\x89\r\n");
        QVERIFY(QFile::link("Animals.lst", m_folder.filePath("link.pdf")));
        QFile animals(m_folder.filePath("Animals.lst"));
        QVERIFY(animals.open(QIODevice::ReadOnly));
        m_animals = animals.readAll();
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("completed") << QStringList{"--make", "ANIMALS", "--size", "15", "--seed", "4"} << 0;
        QTest::newRow("given up") << QStringList{"--make", "hard", "--size", "3", "--seed", "1"} << 3;
        QTest::newRow("missing list") << QStringList{"--make", "BIRDS"} << 2;
        QTest::newRow("name taken by a folder") << QStringList{"--make", "Folder"} << 2;
        QTest::newRow("empty list") << QStringList{"--make", "EMPTY"} << 2;
        // Blank lines are not words, as in the lobby.
        QTest::newRow("blank line") << QStringList{"--make", "gap", "--size", "12", "--seed", "1"} << 0;
        QTest::newRow("word longer than 30") << QStringList{"--make", "giant"} << 2;
        QTest::newRow("side below the longest word") << QStringList{"--make", "animals", "--size", "8"} << 2;
        QTest::newRow("side above 30") << QStringList{"--make", "animals", "--size", "31"} << 2;
        QTest::newRow("side not a number") << QStringList{"--make", "animals", "--size", "big"} << 2;
        QTest::newRow("option without value") << QStringList{"--make", "animals", "--size"} << 2;
        QTest::newRow("category missing") << QStringList{"--make", "--quiet"} << 2;
        QTest::newRow("count zero") << QStringList{"--make", "animals", "--count", "0"} << 2;
        QTest::newRow("negative seed") << QStringList{"--make", "animals", "--seed", "-1"} << 2;
        QTest::newRow("unknown option") << QStringList{"--make", "animals", "--colour", "red"} << 2;
        QTest::newRow("path as category") << QStringList{"--make", "../animals"} << 2;
        // Level names are taken as written.
        QTest::newRow("level in capitals") << QStringList{"--make", "animals", "--level", "Easy"} << 2;
        QTest::newRow("unknown level") << QStringList{"--make", "animals", "--level", "beginner"} << 2;
        // Words a puzzle cannot hold are named; accented capitals are letters like any other.
        QTest::newRow("digit in a word") << QStringList{"--make", "digits"} << 2;
        QTest::newRow("control code in a word") << QStringList{"--make", "control"} << 2;
        QTest::newRow("accented capitals") << QStringList{"--make", "cafe", "--seed", "3"} << 0;
        // The PDF never replaces a list, and needs a name.
        QTest::newRow("pdf names the list") << QStringList{"--make", "animals", "--pdf", "Animals.lst"} << 2;
        QTest::newRow("pdf names a list, capitals, through a path")
            << QStringList{"--make", "animals", "--pdf", "./sub/../HARD.LST"} << 2;
        QTest::newRow("pdf is a link to a list")
            << QStringList{"--make", "animals", "--pdf", "link.pdf"} << 2;
        QTest::newRow("pdf name empty") << QStringList{"--make", "animals", "--pdf", ""} << 2;
        QTest::newRow("print and pdf") << QStringList{"--make", "animals", "--print", "--pdf", "a.pdf"} << 2;
        QTest::newRow("printer without print")
            << QStringList{"--make", "animals", "--printer", "Office"} << 2;
        QTest::newRow("set to print without printer")
            << QStringList{"--make", "animals", "--quiet", "--print", "--count", "2", "--seed", "1"} << 4;
        // The tests see no print server.
        QTest::newRow("print without printer") << QStringList{"--make", "animals", "--quiet", "--print"} << 4;
    }
    void exitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Run run = make(arguments);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 2 || exitCode == 4) {
            // One line giving the reason, and nothing on the standard output.
            QVERIFY2(QRegularExpression("^brivamo: [^\n]+\n$").match(run.err).hasMatch(),
                     qPrintable(run.err));
            QVERIFY(run.out.isEmpty());
        } else if (exitCode == 0) {
            QVERIFY(!run.out.isEmpty());
        } else if (exitCode == 3) {
            QVERIFY(run.out.isEmpty());
            QCOMPARE(run.err.section(u',', 0, 2), QStringLiteral("1 puzzles, 0 completed, 1 given up"));
        }
        QFile animals(m_folder.filePath("Animals.lst"));
        QVERIFY(animals.open(QIODevice::ReadOnly));
        QCOMPARE(animals.readAll(), m_animals);
        QCOMPARE(QDir(m_folder.path()).entryList({"*.pdf"}, QDir::Files), QStringList{"link.pdf"});
    }

    // Only the program's own line reaches the standard error, even where Qt has warnings to give
    // (no runtime folder set, a PDF file that cannot be opened).
    void onlyTheReasonOnStandardError()
    {
        const CommandRun run = runHeadless(
            m_folder.path(), {"--make", "animals", "--seed", "2", "--quiet", "--pdf", "/nonexistent/out.pdf"},
            {"XDG_RUNTIME_DIR"});
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.err, QStringLiteral("brivamo: Cannot write /nonexistent/out.pdf.\n"));
    }

    void seedRepeatsTheRun()
    {
        const QStringList arguments{"--make", "animals", "--size", "12", "--count", "3", "--seed", "77"};
        const Run first = make(arguments);
        const Run second = make(arguments);
        QCOMPARE(first.exitCode, 0);
        QVERIFY(!first.out.isEmpty());
        QCOMPARE(second.out, first.out);
        const Run other = make({"--make", "animals", "--size", "12", "--count", "3", "--seed", "78"});
        QVERIFY(other.out != first.out);
        // Hard, named or not, makes the same puzzles; another level makes others.
        QCOMPARE(make(arguments + QStringList{"--level", "hard"}).out, first.out);
        QVERIFY(make(arguments + QStringList{"--level", "medium"}).out != first.out);
    }

    // At Easy every word of every puzzle, single or in a class set, reads across or down in the
    // solution layer.
    void easyLevelReadsAcrossAndDown_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("single puzzles") << QStringList{"--count", "40"};
        QTest::newRow("class set") << QStringList{"--count", "10", "--pdf", "set.pdf"};
    }
    void easyLevelReadsAcrossAndDown()
    {
        QFETCH(QStringList, options);
        const int side = 12;
        const Run run = make(
            QStringList{"--make", "animals", "--size", "12", "--seed", "9", "--level", "easy"} + options);
        QCOMPARE(run.exitCode, 0);
        QFile::remove(m_folder.filePath("set.pdf"));
        const QStringList words =
            QString::fromLatin1(m_animals).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        const QStringList lines = run.out.split(u'\n');
        const int puzzles = options[1].toInt();
        QCOMPARE(lines.size(), puzzles * (2 * side + 2) + 1);
        for (int p = 0; p < puzzles; ++p) {
            QStringList across = lines.mid(p * (2 * side + 2) + side + 1, side);
            QStringList down(side);
            for (QString &row : across) {
                row.remove(u' ');
                for (int c = 0; c < side; ++c)
                    down[c] += row[c];
            }
            const QString lettersAcross = across.join(u'|');
            const QString lettersDown = down.join(u'|');
            for (const QString &word : words)
                QVERIFY2(lettersAcross.contains(word) || lettersDown.contains(word),
                         qPrintable(QStringLiteral("%1 in puzzle %2").arg(word).arg(p + 1)));
        }
    }

    void outputShape()
    {
        const int side = 13;
        const Run run =
            make({"--make", "animals", "--size", QString::number(side), "--count", "3", "--seed", "5"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(
            QRegularExpression("^3 puzzles, 3 completed, 0 given up, \\d+ ms\n$").match(run.err).hasMatch(),
            qPrintable(run.err));

        const QStringList lines = run.out.split(u'\n');
        // Per puzzle: the puzzle rows, a blank line, the solution rows, a blank line.
        QCOMPARE(lines.size(), 3 * (2 * side + 2) + 1);
        QVERIFY(lines.last().isEmpty());
        const QRegularExpression puzzleRow(QStringLiteral("^[A-Z]( [A-Z]){%1}$").arg(side - 1));
        const QRegularExpression solutionRow(QStringLiteral("^[A-Z\u00B7]( [A-Z\u00B7]){%1}$").arg(side - 1));
        for (int p = 0; p < 3; ++p) {
            const int base = p * (2 * side + 2);
            QVERIFY(lines[base + side].isEmpty());
            QVERIFY(lines[base + 2 * side + 1].isEmpty());
            QString solutionLetters;
            for (int r = 0; r < side; ++r) {
                const QString &puzzle = lines[base + r];
                const QString &solution = lines[base + side + 1 + r];
                QVERIFY2(puzzleRow.match(puzzle).hasMatch(), qPrintable(puzzle));
                QVERIFY2(solutionRow.match(solution).hasMatch(), qPrintable(solution));
                for (int c = 0; c < puzzle.size(); c += 2)
                    QVERIFY(solution[c] == QChar(0x00B7) || solution[c] == puzzle[c]);
                solutionLetters += solution;
            }
            solutionLetters.remove(QChar(0x00B7)).remove(u' ');
            // The ten words hold 62 letters; crossings share some of them.
            QVERIFY(solutionLetters.size() >= 40 && solutionLetters.size() <= 62);
        }

        const Run quiet =
            make({"--make", "animals", "--size", "13", "--count", "3", "--seed", "5", "--quiet"});
        QCOMPARE(quiet.exitCode, 0);
        QVERIFY(quiet.out.isEmpty());
        QVERIFY(quiet.err.startsWith(QLatin1String("3 puzzles, 3 completed, 0 given up, ")));
    }
};

QTEST_GUILESS_MAIN(TestMakeCommand)
#include "tst_make_command.moc"
