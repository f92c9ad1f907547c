#include "puzzle/make_command.h"

#include "platform/printer_qt.h"
#include "puzzle/make_options.h"
#include "puzzle/puzzle_generator.h"
#include "puzzle/puzzle_page.h"
#include "puzzle/puzzle_print_jobs.h"
#include "wordlists/word_list.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPrinterInfo>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

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
    const PuzzlePageContent content{category, words, &grid};
    const QDateTime now = QDateTime::currentDateTime();
    LayOutPuzzlePage(printer, PuzzlePageKind::Puzzle, content, options.dedication, now);
    if (options.solution) {
        printer.newPage();
        LayOutPuzzlePage(printer, PuzzlePageKind::Solution, content, QString(), now);
    }
    return printer.endDoc();
}

// Sends the puzzle page, and the solution page as a job of its own, to a print queue, as the
// puzzle window prints them. Returns an empty string on success, otherwise a one-line reason.
QString printJobs(const MakeOptions &options, const QString &category, const QStringList &words,
                  const PuzzleGrid &grid, int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (!QtPrinter::systemPrinterAvailable())
        return QStringLiteral("No printer is available.");
    if (!options.printer.isEmpty() && QPrinterInfo::printerInfo(options.printer).isNull())
        return QStringLiteral("There is no printer named \"%1\".").arg(options.printer);

    QString queue;
    const auto openJob = [&]() -> std::unique_ptr<Printer> {
        auto printer = std::make_unique<QtPrinter>(QtPrinter::SystemQueue{options.printer});
        queue = printer->device().printerName();
        return printer;
    };
    const PuzzlePageContent content{category, words, &grid};
    if (!PrintPuzzleJobs(openJob, content, options.solution, options.dedication, nullptr)) {
        const QString refusal = QtPrinter::printServerRefusal();
        return QStringLiteral("The printer \"%1\" did not take the print job%2")
            .arg(queue, refusal.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + refusal);
    }
    return {};
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
    if (words.contains(QString()))
        return refuse(QStringLiteral("The word list \"%1\" holds an empty line.").arg(read.list.name));

    SortWordsLongestFirst(words);
    const int longest = static_cast<int>(words.first().size());
    if (longest > PuzzleGrid::MaxSide)
        return refuse(QStringLiteral("The word %1 is longer than %2 letters.")
                          .arg(words.first())
                          .arg(PuzzleGrid::MaxSide));
    if (options.side < longest)
        return refuse(QStringLiteral("The square size must lie between %1 and %2.")
                          .arg(longest)
                          .arg(PuzzleGrid::MaxSide));

    std::unique_ptr<modStandard::SeededRandomSource> seeded;
    if (options.seed)
        seeded = std::make_unique<modStandard::SeededRandomSource>(*options.seed);
    modStandard::RandomSource &random = seeded ? *seeded : modStandard::ProgramRandomSource();

    SilentPuzzleHost host;
    auto grid = std::make_unique<PuzzleGrid>(options.side);
    int completed = 0;
    int givenUp = 0;
    qint64 nanoseconds = 0;
    for (int i = 0; i < options.count; ++i) {
        QElapsedTimer timer;
        timer.start();
        const PuzzleOutcome outcome = MakePuzzle(*grid, words, options.side, host, random);
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
