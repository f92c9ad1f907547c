#include "generator/puzzle_generator.h"
#include "pages/puzzle_page.h"
#include "platform/printer_qt.h"
#include "platform/printer_recording.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace brivamo;

namespace {

const QDateTime PrintedAt(QDate(2006, 9, 30), QTime(5, 21));

// A completed grid made from a fixed random sequence.
std::unique_ptr<PuzzleGrid> makeGrid(QStringList words, int side, std::uint32_t seed = 7)
{
    SortWordsLongestFirst(words);
    auto grid = std::make_unique<PuzzleGrid>(side);
    SilentPuzzleHost host;
    modStandard::SeededRandomSource random(seed);
    if (MakePuzzle(*grid, words, side, host, random) != PuzzleOutcome::Completed)
        return nullptr;
    return grid;
}

QStringList numberedWords(int count)
{
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << QStringLiteral("W") + QString(QChar(u'A' + i)) + QStringLiteral("X");
    return words;
}

using Op = RecordingPrinter::Operation;

// A recording printer on A4 paper.
class A4Printer : public RecordingPrinter
{
public:
    double printableWidth() const override { return 8.27; }
    double printableHeight() const override { return 11.69; }
};

} // namespace

class TestPuzzlePage : public QObject
{
    Q_OBJECT

private slots:
    void printedDateTime_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("morning") << PrintedAt << "09/30/06 05:21am";
        QTest::newRow("midnight is twelve am")
            << QDateTime(QDate(2024, 1, 2), QTime(0, 7)) << "01/02/24 12:07am";
        QTest::newRow("noon is twelve pm")
            << QDateTime(QDate(1999, 12, 31), QTime(12, 0)) << "12/31/99 12:00pm";
        QTest::newRow("evening") << QDateTime(QDate(2010, 7, 4), QTime(23, 59)) << "07/04/10 11:59pm";
    }
    void printedDateTime()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, expected);
        QCOMPARE(PrintedDateTime(moment), expected);
    }

    void gridGeometry_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("firstColumn");
        QTest::addColumn<double>("lastColumn");
        QTest::newRow("3") << 3 << 3.9167 << 3.7 << 4.1;
        QTest::newRow("10") << 10 << 3.3333 << 2.9 << 4.7;
        QTest::newRow("30") << 30 << 1.6667 << 0.9 << 6.7;
    }
    void gridGeometry()
    {
        QFETCH(int, side);
        QFETCH(double, top);
        QFETCH(double, firstColumn);
        QFETCH(double, lastColumn);
        QVERIFY(qAbs(puzzle_page::GridTop(side) - top) < 1e-4);
        QVERIFY(qAbs(puzzle_page::GridColumn(side, 1) - firstColumn) < 1e-9);
        QVERIFY(qAbs(puzzle_page::GridColumn(side, side) - lastColumn) < 1e-9);
    }

    void titleBlock_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("dedication");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("heading");
        QTest::newRow("puzzle") << int(PuzzlePageKind::Puzzle) << ""
                                << "Brivamo Puzzle (Category: ZOO)"
                                << "In the puzzle above, find the following words-";
        QTest::newRow("puzzle, dedicated") << int(PuzzlePageKind::Puzzle) << "Grandma"
                                           << "Brivamo Puzzle (Category: ZOO)"
                                           << "In the puzzle above, find the following words-";
        // A forced direction would print the name backwards.
        QTest::newRow("puzzle, dedicated with a right-to-left override")
            << int(PuzzlePageKind::Puzzle) << "\u202EGrandma\u202C"
            << "Brivamo Puzzle (Category: ZOO)"
            << "In the puzzle above, find the following words-";
        QTest::newRow("solution") << int(PuzzlePageKind::Solution) << ""
                                  << "Brivamo Solution (Category: ZOO)"
                                  << "The following words are displayed above-";
    }
    void titleBlock()
    {
        QFETCH(int, kind);
        QFETCH(QString, dedication);
        QFETCH(QString, title);
        QFETCH(QString, heading);
        const QStringList words{"LION", "TIGER", "ZEBRA"};
        auto grid = makeGrid(words, 6);
        QVERIFY(grid);
        RecordingPrinter printer;
        QVERIFY(PrintPuzzlePage(printer, PuzzlePageKind(kind), {"ZOO", words, grid.get()}, dedication,
                                PrintedAt));
        QCOMPARE(printer.jobs(), 1);

        const QList<Op> texts = printer.texts();
        const double line9 = 9 * RecordingPrinter::LineHeightPerPoint;
        int i = 0;
        QCOMPARE(texts[i].text, title);
        QCOMPARE(texts[i].x, 1.0);
        QCOMPARE(texts[i].y, 0.8);
        QCOMPARE(texts[i].font, (PrinterFont{"Arial", 9, true, false, false}));
        ++i;
        double y = 0.8 + line9;
        if (!dedication.isEmpty()) {
            QCOMPARE(texts[i].text, QStringLiteral("This puzzle was made especially for "));
            QCOMPARE(texts[i].x, 1.0);
            QVERIFY(!texts[i].font.underline);
            ++i;
            QCOMPARE(texts[i].text, WithoutDirectionControls(dedication));
            QCOMPARE(texts[i].text.size(), 7);
            QVERIFY(texts[i].font.underline);
            QVERIFY(texts[i].x > 1.0);
            QVERIFY(qAbs(texts[i].y - y) < 1e-9);
            ++i;
            y += line9;
        }
        QCOMPARE(texts[i].text, QStringLiteral("09/30/06 05:21am"));
        QCOMPARE(texts[i].font, (PrinterFont{"Arial", 8, false, true, false}));
        QVERIFY(qAbs(texts[i].y - y) < 1e-9);

        // The heading and the two rules frame the word list.
        const auto headingAt =
            std::find_if(texts.begin(), texts.end(), [&](const Op &op) { return op.text == heading; });
        QVERIFY(headingAt != texts.end());
        QCOMPARE(headingAt->y, 7.2);
        QCOMPARE(headingAt->font, (PrinterFont{"Arial", 9, true, false, false}));
        QCOMPARE(texts.at(headingAt - texts.begin() + 1).text, QString(77, u'-'));
        QCOMPARE(texts.last().text, QString(77, u'-'));
        for (const Op &op : texts)
            QVERIFY2(!op.font.underline || op.text == QStringLiteral("Grandma"), qPrintable(op.text));
    }

    // The square hides a message's letters in the order typed; the page must print them so, and
    // a list's name likewise, whatever direction controls they hold.
    void directionControlsNotPrinted()
    {
        QCOMPARE(HiddenMessageLine(QStringLiteral("\u202EGOODBYE")),
                 QStringLiteral("Hidden message: GOODBYE"));
        QCOMPARE(HiddenMessageLine(QStringLiteral("\u2067\u05E9\u05DC\u05D5\u05DD\u2069 \u202DX")),
                 QStringLiteral("Hidden message: \u05E9\u05DC\u05D5\u05DD X"));
        QCOMPARE(PuzzlePageTitle(PuzzlePageKind::Puzzle, QStringLiteral("\u202EZOO")),
                 QStringLiteral("Brivamo Puzzle (Category: ZOO)"));
    }

    // Each cell lands in its column and row; the layer depends on the page kind.
    void gridCells_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("words");
        const QStringList one{"CAT"};
        const QStringList three{"CAT", "OWL", "EEL"};
        QTest::newRow("puzzle 3") << 3 << int(PuzzlePageKind::Puzzle) << one;
        QTest::newRow("solution 3") << 3 << int(PuzzlePageKind::Solution) << one;
        QTest::newRow("puzzle 30") << 30 << int(PuzzlePageKind::Puzzle) << three;
        QTest::newRow("solution 30") << 30 << int(PuzzlePageKind::Solution) << three;
    }
    void gridCells()
    {
        QFETCH(int, side);
        QFETCH(int, kind);
        QFETCH(QStringList, words);
        auto grid = makeGrid(words, side, 3);
        QVERIFY(grid);
        RecordingPrinter printer;
        PrintPuzzlePage(printer, PuzzlePageKind(kind), {"PETS", words, grid.get()}, QString(), PrintedAt);

        const double line11 = 11 * RecordingPrinter::LineHeightPerPoint;
        QList<Op> cells;
        for (const Op &op : printer.texts())
            if (op.font.size == 11)
                cells << op;
        QCOMPARE(cells.size(), side * side);
        int dots = 0;
        for (int row = 1; row <= side; ++row) {
            for (int column = 1; column <= side; ++column) {
                const Op &op = cells.at((row - 1) * side + column - 1);
                const QChar expected = kind == int(PuzzlePageKind::Puzzle) ? grid->puzzle(row, column)
                                                                           : grid->solution(row, column);
                QCOMPARE(op.text, QString(expected));
                QVERIFY(op.font.bold);
                QVERIFY(qAbs(op.x - puzzle_page::GridColumn(side, column)) < 1e-9);
                QVERIFY(qAbs(op.y - (puzzle_page::GridTop(side) + (row - 1) * line11)) < 1e-9);
                dots += op.text == QString(PuzzleGrid::Dot);
            }
        }
        // The words cover at most 3 cells each; the solution page dots all the others.
        if (kind == int(PuzzlePageKind::Puzzle))
            QCOMPARE(dots, 0);
        else
            QVERIFY(dots >= side * side - 3 * words.size());
    }

    void wordColumns_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("lines");
        QTest::newRow("one word") << 1 << 1;
        QTest::newRow("two words") << 2 << 1;
        QTest::newRow("odd count") << 5 << 3;
        QTest::newRow("twenty-five") << 25 << 13;
    }
    void wordColumns()
    {
        QFETCH(int, count);
        QFETCH(int, lines);
        const QStringList words = numberedWords(count);
        PuzzleGrid grid(3);
        RecordingPrinter printer;
        PrintPuzzlePage(printer, PuzzlePageKind::Puzzle, {"X", words, &grid}, QString(), PrintedAt);

        const QList<Op> texts = printer.texts();
        const double line9 = 9 * RecordingPrinter::LineHeightPerPoint;
        const double listTop = 7.2 + 2 * line9;
        QList<Op> listed;
        for (const Op &op : texts)
            if (words.contains(op.text))
                listed << op;
        QCOMPARE(listed.size(), count);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(listed[i].text, words[i]);
            QCOMPARE(listed[i].x, i % 2 == 0 ? 1.2 : 3.2);
            QVERIFY(qAbs(listed[i].y - (listTop + (i / 2) * line9)) < 1e-9);
        }
        // The closing rule follows the last line of words.
        QVERIFY(qAbs(texts.last().y - (listTop + lines * line9)) < 1e-9);
        QCOMPARE(texts.last().x, 1.0);
    }

    // Large print: the list ends above the bottom margin, a column clears the one before it, its
    // rules span its widest line, a hidden message has a blank line under it; any list is laid out.
    void largePrintWordList_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("message");
        QTest::newRow("too wide at any size") << QStringList{QString(100, u'L'), QString(40, u'R')} << "";
        QTest::newRow("odd count") << numberedWords(17) << "";
        QTest::newRow("hidden message") << numberedWords(3) << "GO TEAM";
    }
    void largePrintWordList()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, message);
        PuzzleGrid grid(15);
        const PuzzlePageContent content{"X", words, &grid, 0, 0, message, {AnswerKey::Dots, true}};
        RecordingPrinter printer;
        LayOutPuzzlePage(printer, PuzzlePageKind::Solution, content, QString(), PrintedAt);
        // The list ends the page: its heading, a rule, the words, a rule.
        const QList<Op> texts = printer.texts();
        const qsizetype heading = texts.size() - words.size() - 3;
        const QList<Op> list = texts.mid(heading);
        QCOMPARE(list[0].text, PuzzlePageHeading(PuzzlePageKind::Solution));
        const Op &rule = list.last();
        const double dash = rule.font.size * RecordingPrinter::CharWidthPerPoint; // the list's one size
        const auto end = [&](const Op &op) { return op.x + op.text.size() * dash; };
        double widest = 0;
        for (qsizetype i = 2; i < list.size() - 1; ++i) {
            widest = qMax(widest, end(list[i]));
            if (list[i].y == list[i - 1].y)
                QVERIFY2(list[i].x > end(list[i - 1]), qPrintable(list[i].text));
        }
        QVERIFY2(end(rule) >= qMin(widest, 7.5) - dash && end(rule) <= 7.5 + 1e-9, qPrintable(rule.text));
        QVERIFY(rule.y + rule.font.size * RecordingPrinter::LineHeightPerPoint <= 10.5 + 1e-9);
        if (!message.isEmpty()) // a blank line between: two lines of 9 points from the message to the heading
            QVERIFY(qFuzzyCompare(list[0].y - texts[heading - 1].y, 0.3));
    }

    // Any list the program takes stays on the paper, each puzzle's words once on its own pages (a
    // list too long continues right after them, "(continued)", with the version mark), never in
    // less than the classic sizes in large print; long lines wrap, a dedication on at most two.
    void everythingOnThePaper_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("large");
        QTest::addColumn<bool>("a4");
        QTest::addColumn<int>("textLength"); // of the hidden message and the dedication
        QTest::addColumn<int>("pages");      // each puzzle's, and each solution's
        QTest::newRow("26 words") << 26 << 15 << false << false << 0 << 1;
        QTest::newRow("90 words, more columns") << 90 << 15 << false << true << 0 << 1;
        QTest::newRow("400 words continue") << 400 << 30 << false << false << 0 << 3;
        QTest::newRow("large, side 10") << 25 << 10 << true << false << 0 << 1;
        QTest::newRow("large, side 25") << 25 << 25 << true << true << 0 << 1;
        QTest::newRow("large, side 30, 60 words") << 60 << 30 << true << false << 0 << 2;
        QTest::newRow("long message and dedication") << 5 << 30 << false << true << 300 << 1;
        QTest::newRow("large, 10000-letter dedication") << 5 << 30 << true << false << 10000 << 1;
    }
    void everythingOnThePaper()
    {
        QFETCH(int, count);
        QFETCH(int, side);
        QFETCH(bool, large);
        QFETCH(bool, a4);
        QFETCH(int, textLength);
        QFETCH(int, pages);
        QStringList words;
        for (int i = 0; i < count; ++i)
            words << QString(2 + i % 13, QChar(u'A' + i % 26)) + QString::number(i);
        PuzzleGrid grid(side);
        for (int r = 1; r <= side; ++r)
            for (int c = 1; c <= side; ++c)
                grid.setPuzzle(r, c, u'M');
        const QString text = QStringLiteral("GO TEAM ").repeated(textLength).left(textLength);
        A4Printer onA4;
        RecordingPrinter onLetter;
        RecordingPrinter &printer = a4 ? onA4 : onLetter;
        LayOutPuzzleSet(printer, "X", words, {&grid, &grid}, true, text, PrintedAt, text.left(300),
                        {AnswerKey::Dots, large});

        QHash<QString, int> seen;
        QStringList order, message;
        QString title, page;
        int continued = 0, underlined = 0;
        bool inMessage = false;
        for (const Op &op : printer.texts()) {
            const double end = op.x + op.text.size() * op.font.size * RecordingPrinter::CharWidthPerPoint;
            QVERIFY2(end <= printer.printableWidth() - 1.0 + 1e-9, qPrintable(op.text));
            QVERIFY2(op.y + op.font.size * RecordingPrinter::LineHeightPerPoint <=
                         printer.printableHeight() - 0.5,
                     qPrintable(op.text));
            if (op.text.startsWith("Brivamo"))
                title = op.text;
            if (op.text.startsWith("Version") && title + op.text != page) {
                page = title + op.text;
                QVERIFY2(!order.contains(page), qPrintable(page)); // a puzzle's pages follow each other
                order << page;
            }
            if (words.contains(op.text)) {
                ++seen[page + op.text];
                QVERIFY(op.font.size >= (large ? 9.0 : 8.0));
            }
            if (op.text.size() == 1)
                QCOMPARE_GE(op.font.size, 11.0);
            continued += op.text.endsWith(" (continued)");
            underlined += op.font.underline && op.page == 1;
            inMessage = op.page == 2 * pages + 1 && (op.text.startsWith("Hidden") || inMessage) &&
                        !op.text.startsWith("The following");
            if (inMessage)
                message << op.text;
        }
        QCOMPARE(order.size(), 4);
        QCOMPARE(seen.size(), 4 * count);
        QVERIFY(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
        QCOMPARE(printer.operations().last().page, 4 * pages);
        QCOMPARE(continued, 4 * (pages - 1));
        if (textLength > 0) {
            QCOMPARE(underlined, 2);
            QVERIFY(printer.texts().at(3).text.endsWith(QChar(0x2026)));
            QCOMPARE(message.join(u' '), HiddenMessageLine(text.left(300)));
        }
    }

    // A set with an outlined key: the dedication on its puzzle pages only, and on each solution
    // page a ring around every word found in the square, none for one that is not there.
    void setWithDedicationAndOutlinedKey()
    {
        const QStringList words{"LION", "TIGER", "ZEBRA"};
        auto grid = makeGrid(words, 6);
        QVERIFY(grid);
        RecordingPrinter printer;
        LayOutPuzzleSet(printer, "ZOO", words + QStringList{"YAK"}, {grid.get(), grid.get()}, true, "Sam",
                        PrintedAt, QString(), {AnswerKey::Outline});
        QList<int> dedicated, ringed;
        for (const Op &op : printer.operations()) {
            if (op.text == "Sam")
                dedicated << op.page;
            if (op.kind == Op::Outline)
                ringed << op.page;
        }
        QCOMPARE(dedicated, (QList<int>{1, 2}));
        QCOMPARE(ringed, (QList<int>{3, 3, 3, 4, 4, 4}));
    }

    // The real printer's PDF, read back: the positions hold with real font metrics.
    void pdfPositions()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath("page.pdf");
        const QStringList words{"ANT", "BEE", "ELK"};
        PuzzleGrid grid(3);
        const QString letters = "ANTBEEELK";
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 3; ++c) {
                grid.setPuzzle(r, c, letters[(r - 1) * 3 + c - 1]);
                grid.setSolution(r, c, letters[(r - 1) * 3 + c - 1]);
            }
        {
            QtPrinter printer(pdf);
            QVERIFY(
                PrintPuzzlePage(printer, PuzzlePageKind::Puzzle, {"BUGS", words, &grid}, "Sam", PrintedAt));
        }
        QProcess tool;
        tool.start("pdftotext", {"-bbox", pdf, "-"});
        QVERIFY(tool.waitForFinished(30000));
        const QString html = QString::fromUtf8(tool.readAllStandardOutput());
        QVERIFY2(html.contains("<word"), qPrintable(html));

        struct Word
        {
            QString text;
            double x, y;
        };
        QList<Word> found;
        static const QRegularExpression pattern(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
        for (auto match = pattern.globalMatch(html); match.hasNext();) {
            const auto m = match.next();
            found.append({m.captured(3), m.captured(1).toDouble() / 72.0, m.captured(2).toDouble() / 72.0});
        }
        auto at = [&](const QString &text, int nth = 0) {
            for (const Word &w : found)
                if (w.text == text && nth-- == 0)
                    return w;
            return Word{QString(), -1, -1};
        };
        const double tolerance = 0.03; // a glyph's side bearing
        QVERIFY(qAbs(at("Brivamo").x - 1.0) < tolerance);
        QVERIFY(qAbs(at("Brivamo").y - 0.8) < 0.1);
        QVERIFY(qAbs(at("Sam").y - at("especially").y) < 0.01);
        QVERIFY(at("Sam").x > at("especially").x);
        QVERIFY(qAbs(at("09/30/06").x - 1.0) < tolerance);
        // The square: three columns 0.2 inch apart on the page's axis, starting 3.9167 down.
        const double columns[] = {3.7, 3.9, 4.1};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                const QChar letter = letters[r * 3 + c];
                int nth = 0;
                for (int k = 0; k < r * 3 + c; ++k)
                    nth += letters[k] == letter;
                const Word w = at(QString(letter), nth);
                QVERIFY2(qAbs(w.x - columns[c]) < tolerance,
                         qPrintable(QString("%1 at %2").arg(letter).arg(w.x)));
                if (r == 0)
                    QVERIFY2(qAbs(w.y - 3.9167) < 0.1, qPrintable(QString::number(w.y)));
                else
                    QVERIFY(w.y > at(QString(letters[0])).y + 0.1 * r);
            }
        }
        // The words in two columns under the heading.
        QVERIFY(qAbs(at("In").x - 1.0) < tolerance);
        QVERIFY(qAbs(at("In").y - 7.2) < 0.1);
        QVERIFY(qAbs(at("ANT").x - 1.2) < tolerance);
        QVERIFY(qAbs(at("BEE").x - 3.2) < tolerance);
        QVERIFY(qAbs(at("ELK").x - 1.2) < tolerance);
        QVERIFY(qAbs(at("ANT").y - at("BEE").y) < 0.01);
        QVERIFY(at("ELK").y > at("ANT").y + 0.05);
    }
};

QTEST_MAIN(TestPuzzlePage)
#include "tst_puzzle_page.moc"
