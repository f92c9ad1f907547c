#include "common/command_support.h"
#include "common/silent_print_server.h"

#include <QtTest>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        QCOMPARE(run.err, QStringLiteral("brivamo: Cannot write /nonexistent/out.pdf: %1.\n")
                              .arg(QString::fromLocal8Bit(std::strerror(ENOENT))));
    }

    // A class set of more than 50 pages tells how far it is; the summary stays the last line.
    void progressOfLongSets_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("progressLines");
        QTest::newRow("52 pages") << QStringList{"--count", "26", "--solution"} << 9;
        QTest::newRow("50 pages") << QStringList{"--count", "25", "--solution"} << 0;
        QTest::newRow("52 pages, quiet") << QStringList{"--count", "26", "--solution", "--quiet"} << 0;
    }
    void progressOfLongSets()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, progressLines);
        const Run run = make(QStringList{"--make", "animals", "--size", "12", "--seed", "5", "--pdf",
                                         m_folder.filePath("set.pdf")} +
                             arguments);
        QCOMPARE(run.exitCode, 0);
        QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.takeLast().contains(" puzzles, "), qPrintable(run.err));
        QCOMPARE(lines.size(), progressLines);
        for (int i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], QStringLiteral("brivamo: %1 of 52 pages laid out")
                                   .arg((i + 1) * 52 / 10 + ((i + 1) * 52 % 10 != 0)));
        QVERIFY(QFile::remove(m_folder.filePath("set.pdf")));
    }

    // However many links lead there, and under whatever name, the PDF never takes a list's place.
    void outputNeverReplacesAList_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("reason");
        QTest::newRow("two links") << "a.pdf"
                                   << "would overwrite the word list file \"Pets.lst\"";
        QTest::newRow("hard link") << "hard.pdf"
                                   << "is another name of the word list file \"Pets.lst\"";
        QTest::newRow("link to a list elsewhere") << "far.pdf"
                                                  << "word list file \"Far.LST\"";
        QTest::newRow("link to a list still to come") << "new.pdf"
                                                      << "word list file \"new.lst\"";
    }
    void outputNeverReplacesAList()
    {
        QFETCH(QString, output);
        QFETCH(QString, reason);
        QTemporaryDir folder, elsewhere;
        const QDir dir(folder.path());
        const QByteArray pets = "CAT\r\nDOG\r\n";
        QFile list(dir.filePath("Pets.lst"));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(pets) == pets.size());
        list.close();
        QFile far(QDir(elsewhere.path()).filePath("Far.LST"));
        QVERIFY(far.open(QIODevice::WriteOnly) && far.write(pets) == pets.size());
        far.close();
        QVERIFY(QFile::link("b.pdf", dir.filePath("a.pdf")));
        QVERIFY(QFile::link("Pets.lst", dir.filePath("b.pdf")));
        QCOMPARE(::link(QFile::encodeName(dir.filePath("Pets.lst")).constData(),
                        QFile::encodeName(dir.filePath("hard.pdf")).constData()),
                 0);
        QVERIFY(QFile::link(far.fileName(), dir.filePath("far.pdf")));
        QVERIFY(QFile::link("new.lst", dir.filePath("new.pdf")));
        const QStringList before = dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

        const CommandRun run = runHeadless(folder.path(), {"--make", "pets", "--quiet", "--pdf", output});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith("brivamo: --pdf " + output + " ") && run.err.count(u'\n') == 1,
                 qPrintable(run.err));
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
        for (QFile *file : {&list, &far}) {
            QVERIFY(file->open(QIODevice::ReadOnly));
            QCOMPARE(file->readAll(), pets);
            file->close();
        }
    }

    // An image takes the name given, its solution page adds "-solution" before the extension (a
    // name whose only dot starts it has none), and no page is written through a list.
    void imageNames_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("one puzzle") << QStringList{"--png", "one.png", "--solution"}
                                    << QStringList{"one-solution.png", "one.png"} << "";
        QTest::newRow("name that starts with its dot")
            << QStringList{"--png", ".png", "--solution"} << QStringList{".png", ".png-solution"} << "";
        QTest::newRow("solution page over a list")
            << QStringList{"--png", "link.png", "--solution"} << QStringList{}
            << "--png link-solution.png would overwrite the word list file \"Animals.lst\"; name another "
               "file.";
    }
    void imageNames()
    {
        QFETCH(QString, refusal);
        QTemporaryDir folder;
        const QDir dir(folder.path());
        QVERIFY(QFile::copy(m_folder.filePath("Animals.lst"), dir.filePath("Animals.lst")));
        QVERIFY(QFile::link("Animals.lst", dir.filePath("link-solution.png")));
        QFETCH(QStringList, options);
        const Run run =
            runHeadless(folder.path(), QStringList{"--make", "animals", "--quiet", "--seed", "1"} + options);
        QCOMPARE(run.exitCode, refusal.isEmpty() ? 0 : 2);
        if (!refusal.isEmpty())
            QCOMPARE(run.err, "brivamo: " + refusal + "\n");
        QTEST(dir.entryList({"*png*"}, QDir::Files | QDir::Hidden | QDir::NoSymLinks), "files");
    }

    // Values go with their option whatever they look like, and "--" ends the options.
    void valuesThatLookLikeOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("dedication"); // found in the PDF, when one is written
        QTest::newRow("list named -h")
            << QStringList{"--make", "-h", "--size", "5", "--seed", "1"} << 0 << "";
        QTest::newRow("dedication -h")
            << QStringList{"--make", "animals", "--dedication", "-h", "--pdf", "dedicated.pdf", "--quiet"}
            << 0 << "especially for -h";
        QTest::newRow("dedication -platform before more options")
            << QStringList{"--make",       "animals",   "--pdf",      "platform.pdf",
                           "--dedication", "-platform", "--solution", "--quiet"}
            << 0 << "especially for -platform";
        QTest::newRow("argument after --") << QStringList{"--make", "animals", "--", "--quiet"} << 2 << "";
    }
    void valuesThatLookLikeOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, dedication);
        writeList("-h.lst", "CAT\r\nDOG\r\n");
        const Run run = make(arguments);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode != 0) {
            QVERIFY2(run.err.startsWith("brivamo: Unexpected argument \"--quiet\""), qPrintable(run.err));
            return;
        }
        QVERIFY2(
            QRegularExpression("^1 puzzles, 1 completed, 0 given up, \\d+ ms\n$").match(run.err).hasMatch(),
            qPrintable(run.err));
        if (dedication.isEmpty()) {
            QVERIFY2(QRegularExpression("^([A-Z] ){4}[A-Z]\n").match(run.out).hasMatch(),
                     qPrintable(run.out));
            return;
        }
        const QString pdf = m_folder.filePath(arguments.at(arguments.indexOf("--pdf") + 1));
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains(dedication));
        QFile::remove(pdf);
    }

    // A list that cannot be read, or holds a word no cell can take, is named with the reason on
    // one line, at once: a link to a pipe or a device is never opened for reading.
    void refusedListsSayWhyOnOneLine_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("line");
        QTest::newRow("too large") << "big"
                                   << "brivamo: The word list \"Big\" is too large to open: Its file "
                                      "\"Big.lst\" holds 4.8 MB; a word list may hold at most 4 MB.\n";
        QTest::newRow("link to a pipe") << "pipe"
                                        << "brivamo: The word list \"Pipe\" could not be opened: Its file "
                                           "\"Pipe.lst\" is not an ordinary file.\n";
        QTest::newRow("link to a device") << "zero"
                                          << "brivamo: The word list \"Zero\" could not be opened: Its file "
                                             "\"Zero.lst\" is not an ordinary file.\n";
        // Far more letters than any square holds: refused before anything is made of the words.
        QTest::newRow("440000 words")
            << "huge"
            << "brivamo: The list's 440000 words hold 3080000 letters, far more than a "
               "30 by 30 square can hide; a list may hold at most 7200 letters for it.\n";
        // A cell holds one UTF-16 unit: no capital beyond the basic plane (a mathematical bold A).
        QTest::newRow("capital beyond the basic plane")
            << "astral"
            << "brivamo: The word \"\U0001D400BC\" cannot be used in a puzzle: it holds \"\U0001D400\", "
               "which is not a capital letter.\n";
    }
    void refusedListsSayWhyOnOneLine()
    {
        QFETCH(QString, category);
        QTemporaryDir folder, outside;
        const QDir dir(folder.path());
        QFile big(dir.filePath("Big.lst"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.write(QByteArray(5000000, 'A')) == 5000000);
        big.close();
        const QByteArray pipe = QFile::encodeName(QDir(outside.path()).filePath("pipe"));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        QVERIFY(QFile::link(QString::fromLocal8Bit(pipe), dir.filePath("Pipe.lst")));
        QVERIFY(QFile::link("/dev/zero", dir.filePath("Zero.lst")));
        QFile astral(dir.filePath("Astral.lst"));
        QVERIFY(astral.open(QIODevice::WriteOnly) && astral.write("CAT\r\n\U0001D400BC\r\n") > 0);
        astral.close();
        QFile huge(dir.filePath("Huge.lst"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write(QByteArray("HISTORY\r\n").repeated(440000)));
        huge.close();

        const Run run = runHeadless(folder.path(), {"--make", category});
        QCOMPARE(run.exitCode, 2);
        QTEST(run.err, "line");
    }

    // A blocked-words file that is no regular file of a list's size is named on the standard
    // error, and the puzzle is the one the program's own blocked words give.
    void unusableBlockedWordsFile_data()
    {
        QTest::addColumn<QString>("target"); // what the file is a link to
        QTest::addColumn<QString>("reason");
        QTest::newRow("pipe") << "pipe"
                              << "it is not an ordinary file";
        QTest::newRow("device") << "/dev/zero"
                                << "it is not an ordinary file";
        QTest::newRow("too large") << "large.txt"
                                   << "it is larger than 4 MB";
    }
    void unusableBlockedWordsFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir config;
        const QDir folder(config.path());
        QCOMPARE(::mkfifo(QFile::encodeName(folder.filePath("pipe")).constData(), 0600), 0);
        QFile large(folder.filePath("large.txt"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.write(QByteArray("QZXJW\n").repeated(800000)) > 0);
        large.close();
        const QString blocked = folder.filePath("Brivamo/blocked-words.txt");
        QVERIFY(folder.mkdir("Brivamo") && QFile::link(folder.filePath(target), blocked));

        const QStringList arguments{"--make", "animals", "--size", "12", "--seed", "1"};
        QProcessEnvironment environment;
        environment.insert("XDG_CONFIG_HOME", config.path());
        const Run run = runHeadless(m_folder.path(), arguments, {}, environment);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err.section(u'\n', 0, 0),
                 "brivamo: The blocked words file \"" + blocked + "\" is not used: " + reason + '.');
        QCOMPARE(run.out, make(arguments).out);
    }

    // A print server that takes the connection but never answers fails the job within the time
    // limit instead of holding the command.
    void silentPrintServer()
    {
        SilentPrintServer server;
        QVERIFY(server.listening());
        QProcessEnvironment silent;
        silent.insert("CUPS_SERVER", QString::fromLocal8Bit(server.path()));
        silent.insert("BRIVAMO_PRINT_SERVER_TIME_LIMIT", "2");
        QElapsedTimer clock;
        clock.start();
        const Run run = runHeadless(m_folder.path(), {"--make", "animals", "--quiet", "--print"}, {}, silent);
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.err, QStringLiteral("brivamo: The print server does not answer.\n"));
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }

    // A list whose file name is not UTF-8 (a Latin-1 "café") is found by the name as it is shown.
    void handNamedList()
    {
        QTemporaryDir folder;
        const QByteArray path = QFile::encodeName(folder.path()) + "/caf\xe9.lst";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        // QTemporaryDir cannot remove a name that is not UTF-8.
        const auto remove = qScopeGuard([&] { ::unlink(path.constData()); });
        QCOMPARE(::write(fd, "LION\r\nTIGER\r\n", 13), ssize_t(13));
        ::close(fd);
        const Run run = runHeadless(folder.path(),
                                    {"--make", QString::fromUtf8("CAF\u00c9"), "--size", "6", "--seed", "1"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(u'L'));
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
