#include "puzzle/make_command.h"

#include "platform/printer_qt.h"
#include "puzzle/make_options.h"
#include "puzzle/puzzle_generator.h"
#include "puzzle/puzzle_page.h"
#include "puzzle/puzzle_print_jobs.h"
#include "puzzle/puzzle_words.h"
#include "wordlists/word_list.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace brivamo {

namespace {

void printLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int refuse(const QString &reason)
{
    printLine(stderr, QStringLiteral("brivamo: ") + reason);
    return 2;
}

// The store's messages may span several lines; the command line reports one.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n\r\n"), QStringLiteral(": "));
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return text;
}

void printLayers(const PuzzleGrid &grid)
{
    QString text;
    for (int row = 1; row <= grid.side(); ++row)
        text += grid.puzzleRow(row) + u'\n';
    text += u'\n';
    for (int row = 1; row <= grid.side(); ++row)
        text += grid.solutionRow(row) + u'\n';
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    printLine(stdout, QString());
}

// Writes the puzzle page, and the solution page after it, into one PDF file. Fonts need a GUI
// application; the offscreen platform gives one without any display.
bool writePdf(const MakeOptions &options, const QString &category, const QStringList &words,
              const PuzzleGrid &grid, int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QtPrinter printer(options.pdf);
    const PuzzlePageContent content{category, words, &grid, 0, 0, options.message};
    const QDateTime now = QDateTime::currentDateTime();
    LayOutPuzzlePage(printer, PuzzlePageKind::Puzzle, content, options.dedication, now);
    if (options.solution) {
        printer.newPage();
        LayOutPuzzlePage(printer, PuzzlePageKind::Solution, content, QString(), now);
    }
    return printer.endDoc();
}

// Qt's own warnings (no runtime folder set, a painter that cannot start on an unwritable file)
// would come before the program's one-line reason and say nothing it does not; fatal messages
// still go through.
QtMessageHandler &defaultMessageHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

void keepQtWarningsOff(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && defaultMessageHandler())
        defaultMessageHandler()(type, context, message);
}

// Writes a set's pages into one PDF file (see LayOutPuzzleSet).
bool writeSetPdf(const MakeOptions &options, const QString &category, const QStringList &words,
                 const std::vector<PuzzleGrid> &set, int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QtPrinter printer(options.pdf);
    QList<const PuzzleGrid *> grids;
    for (const PuzzleGrid &grid : set)
        grids << &grid;
    LayOutPuzzleSet(printer, category, words, grids, options.solution, options.dedication,
                    QDateTime::currentDateTime(), options.message);
    return printer.endDoc();
}

bool samePuzzle(const PuzzleGrid &a, const PuzzleGrid &b)
{
    for (int row = 1; row <= a.side(); ++row)
        for (int column = 1; column <= a.side(); ++column)
            if (a.puzzle(row, column) != b.puzzle(row, column))
                return false;
    return true;
}

using JobOpener = std::function<std::unique_ptr<Printer>()>;

// Prints on the chosen (or default) print queue: `send` lays out its pages on the jobs that it
// opens and says whether every job was taken. Returns an empty string on success, otherwise a
// one-line reason.
QString printOnQueue(const MakeOptions &options, int argc, char *argv[],
                     const std::function<bool(const JobOpener &)> &send)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (!QtPrinter::systemPrinterAvailable())
        return QStringLiteral("No printer is available.");
    if (!options.printer.isEmpty() && QPrinterInfo::printerInfo(options.printer).isNull())
        return QStringLiteral("There is no printer named \"%1\".").arg(options.printer);

    QString queue;
    const JobOpener openJob = [&]() -> std::unique_ptr<Printer> {
        auto printer = std::make_unique<QtPrinter>(QtPrinter::SystemQueue{options.printer});
        queue = printer->device().printerName();
        return printer;
    };
    if (!send(openJob)) {
        const QString refusal = QtPrinter::printServerRefusal();
        return QStringLiteral("The printer \"%1\" did not take the print job%2")
            .arg(queue, refusal.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + refusal);
    }
    return {};
}

// Sends the puzzle page, and the solution page as a job of its own, to a print queue, as the
// puzzle window prints them.
QString printJobs(const MakeOptions &options, const QString &category, const QStringList &words,
                  const PuzzleGrid &grid, int argc, char *argv[])
{
    const PuzzlePageContent content{category, words, &grid, 0, 0, options.message};
    return printOnQueue(options, argc, argv, [&](const JobOpener &openJob) {
        return PrintPuzzleJobs(openJob, content, options.solution, options.dedication, nullptr);
    });
}

// Sends a class set to a print queue as one job, laid out as in the PDF.
QString printSet(const MakeOptions &options, const QString &category, const QStringList &words,
                 const std::vector<PuzzleGrid> &set, int argc, char *argv[])
{
    return printOnQueue(options, argc, argv, [&](const JobOpener &openJob) {
        QList<const PuzzleGrid *> grids;
        for (const PuzzleGrid &grid : set)
            grids << &grid;
        const std::unique_ptr<Printer> printer = openJob();
        LayOutPuzzleSet(*printer, category, words, grids, options.solution, options.dedication,
                        QDateTime::currentDateTime(), options.message);
        return printer->endDoc();
    });
}

// A class set: options.count different puzzles from one random sequence, into one PDF or one
// print job. A puzzle
// given up, or equal to one already in the set, is replaced by the next; after count × 10
// puzzles the set is abandoned with exit status 3 and nothing is written. The summary counts
// every puzzle made, replacements included.
int runSet(const MakeOptions &options, const QString &category, const QStringList &words,
           modStandard::SeededRandomSource &random, int argc, char *argv[])
{
    constexpr int TriesPerPuzzle = 10;
    const auto wanted = static_cast<std::size_t>(options.count);
    std::vector<PuzzleGrid> set;
    set.reserve(wanted);
    PuzzleWorkspace workspace;
    workspace.setHiddenMessage(options.message);
    auto grid = std::make_unique<PuzzleGrid>(options.side);
    int made = 0;
    int completed = 0;
    int givenUp = 0;
    qint64 nanoseconds = 0;
    while (set.size() < wanted && made < options.count * TriesPerPuzzle) {
        ++made;
        QElapsedTimer timer;
        timer.start();
        const PuzzleOutcome outcome = MakePuzzleSilently(*grid, words, options.side, random, workspace);
        nanoseconds += timer.nsecsElapsed();
        if (outcome != PuzzleOutcome::Completed) {
            ++givenUp;
            continue;
        }
        ++completed;
        if (std::none_of(set.begin(), set.end(), [&](const PuzzleGrid &g) { return samePuzzle(g, *grid); }))
            set.push_back(*grid);
    }
    const bool complete = set.size() == wanted;
    if (complete && !options.quiet)
        for (const PuzzleGrid &puzzle : set)
            printLayers(puzzle);
    std::fflush(stdout);
    if (complete && options.print) {
        if (const QString failure = printSet(options, category, words, set, argc, argv); !failure.isEmpty()) {
            printLine(stderr, QStringLiteral("brivamo: ") + failure);
            return 4;
        }
    } else if (complete && !writeSetPdf(options, category, words, set, argc, argv)) {
        printLine(stderr, QStringLiteral("brivamo: Cannot write %1.").arg(options.pdf));
        return 4;
    }
    printLine(stderr, QStringLiteral("%1 puzzles, %2 completed, %3 given up, %4 ms")
                          .arg(made)
                          .arg(completed)
                          .arg(givenUp)
                          .arg(std::llround(static_cast<double>(nanoseconds) / 1e6)));
    return complete ? 0 : 3;
}

} // namespace

bool isMakeCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--make") == 0)
            return true;
    return false;
}

int runMakeCommand(int argc, char *argv[])
{
    defaultMessageHandler() = qInstallMessageHandler(keepQtWarningsOff);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    MakeOptions options;
    if (const QString error = ParseMakeArguments(arguments, options); !error.isEmpty())
        return refuse(error);

    const WordListResult read = modSupport::ReadWordList(options.category);
    if (!read.ok())
        return refuse(oneLine(read.error));
    QStringList words = read.list.words;
    if (const std::optional<UnusableWord> unusable = FindUnusableWord(words))
        return refuse(unusable->message());

    SortWordsLongestFirst(words);
    const int longest = static_cast<int>(words.first().size());
    if (options.side < longest)
        return refuse(QStringLiteral("The square size must lie between %1 and %2.")
                          .arg(longest)
                          .arg(PuzzleGrid::MaxSide));

    if (!options.message.isEmpty()) {
        // The fill always has at least this many cells; overlapping words only add to it.
        qsizetype room = qsizetype(options.side) * options.side;
        for (const QString &word : words)
            room -= word.size();
        const qsizetype letters = LettersInAlphabet(options.message, FillAlphabetFor(words)).size();
        if (letters == 0)
            return refuse(
                QStringLiteral("The hidden message has no letter a puzzle of this list can spell."));
        if (letters > room)
            return refuse(
                QStringLiteral("The hidden message has %1 letters, but a %2 by %2 puzzle of this list "
                               "is sure to have room for only %3.")
                    .arg(letters)
                    .arg(options.side)
                    .arg(std::max<qsizetype>(room, 0)));
    }

    std::unique_ptr<modStandard::SeededRandomSource> seeded;
    if (options.seed)
        seeded = std::make_unique<modStandard::SeededRandomSource>(*options.seed);
    modStandard::SeededRandomSource &random = seeded ? *seeded : modStandard::ProgramRandomSource();

    if ((!options.pdf.isEmpty() || options.print) && options.count > 1)
        return runSet(options, read.list.name, words, random, argc, argv);

    PuzzleWorkspace workspace;
    workspace.setHiddenMessage(options.message);
    auto grid = std::make_unique<PuzzleGrid>(options.side);
    int completed = 0;
    int givenUp = 0;
    qint64 nanoseconds = 0;
    for (int i = 0; i < options.count; ++i) {
        QElapsedTimer timer;
        timer.start();
        const PuzzleOutcome outcome = MakePuzzleSilently(*grid, words, options.side, random, workspace);
        nanoseconds += timer.nsecsElapsed();
        if (outcome == PuzzleOutcome::Completed) {
            ++completed;
            if (!options.quiet)
                printLayers(*grid);
        } else {
            ++givenUp;
        }
    }
    std::fflush(stdout);
    if (!options.pdf.isEmpty() && completed == 1 &&
        !writePdf(options, read.list.name, words, *grid, argc, argv)) {
        printLine(stderr, QStringLiteral("brivamo: Cannot write %1.").arg(options.pdf));
        return 4;
    }
    if (options.print && completed == 1) {
        if (const QString failure = printJobs(options, read.list.name, words, *grid, argc, argv);
            !failure.isEmpty()) {
            printLine(stderr, QStringLiteral("brivamo: ") + failure);
            return 4;
        }
    }
    printLine(stderr, QStringLiteral("%1 puzzles, %2 completed, %3 given up, %4 ms")
                          .arg(options.count)
                          .arg(completed)
                          .arg(givenUp)
                          .arg(std::llround(static_cast<double>(nanoseconds) / 1e6)));
    return givenUp == 0 ? 0 : 3;
}

} // namespace brivamo
