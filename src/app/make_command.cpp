#include "app/make_command.h"

#include "app/make_options.h"
#include "generator/blocked_words.h"
#include "generator/hidden_message.h"
#include "generator/puzzle_generator.h"
#include "generator/puzzle_words.h"
#include "pages/image_printer.h"
#include "pages/puzzle_page.h"
#include "pages/puzzle_print_jobs.h"
#include "platform/file_names.h"
#include "platform/printer_qt.h"
#include "platform/safe_file.h"
#include "wordlists/word_list.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

// The store's messages may span several lines; the command line reports one. A headline that ends
// its sentence gives up its full stop to the colon that joins it to the reason.
QString oneLine(QString text)
{
    const qsizetype gap = text.indexOf(QStringLiteral("\r\n\r\n"));
    if (gap > 0) {
        QString headline = text.left(gap);
        if (headline.endsWith(u'.'))
            headline.chop(1);
        text = headline + QStringLiteral(": ") + text.mid(gap + 4);
    }
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

bool samePuzzle(const PuzzleGrid &a, const PuzzleGrid &b)
{
    for (int row = 1; row <= a.side(); ++row)
        for (int column = 1; column <= a.side(); ++column)
            if (a.puzzle(row, column) != b.puzzle(row, column))
                return false;
    return true;
}

// Why an output file of the options must not be written, or an empty string.
QString outputRefusal(const MakeOptions &options)
{
    for (const auto &[option, path] : OutputFiles(options)) {
        const std::optional<modSupport::OverwrittenList> list = modSupport::ListOverwrittenBy(path);
        if (!list)
            continue;
        const QString name = DecodeFileName(path);
        const QString listFile = u'"' + list->fileName + u'"';
        if (list->sameFile)
            return QStringLiteral("%1 %2 is another name of the word list file %3; name a new file.")
                .arg(option, name, listFile);
        return QStringLiteral("%1 %2 would overwrite the word list file %3; name another file.")
            .arg(option, name, listFile);
    }
    return {};
}

// What a run made: the puzzles to print or write, and the counts of the summary line.
struct MakeRun
{
    std::vector<PuzzleGrid> kept;
    int made = 0;
    int completed = 0;
    int givenUp = 0;
    qint64 nanoseconds = 0;
    bool complete = false;
};

// A single run makes options.count puzzles and shows each as it is made; with --pdf or --print the
// one puzzle made is kept for its pages. A class set (--count with --pdf or --print) keeps
// options.count different puzzles from one random sequence: a puzzle given up, or equal to one
// already in the set, is replaced by the next, and after count × 10 puzzles the set is abandoned.
// Its grids are shown only once it is complete. The summary counts every puzzle made.
MakeRun makePuzzles(const MakeOptions &options, const QStringList &words,
                    modStandard::SeededRandomSource &random)
{
    constexpr int TriesPerPuzzle = 10;
    const bool pages = WantsPages(options);
    const bool set = pages && options.count > 1;
    const auto wanted = static_cast<std::size_t>(options.count);
    const int limit = set ? options.count * TriesPerPuzzle : options.count;

    MakeRun run;
    PuzzleWorkspace workspace;
    workspace.setHiddenMessage(options.message);
    auto grid = std::make_unique<PuzzleGrid>(options.side);
    while (run.made < limit && (!set || run.kept.size() < wanted)) {
        ++run.made;
        QElapsedTimer timer;
        timer.start();
        const PuzzleOutcome outcome =
            MakePuzzle(*grid, words, options.side, random, workspace, options.level);
        run.nanoseconds += timer.nsecsElapsed();
        if (outcome != PuzzleOutcome::Completed) {
            ++run.givenUp;
            continue;
        }
        ++run.completed;
        if (set) {
            if (std::none_of(run.kept.begin(), run.kept.end(),
                             [&](const PuzzleGrid &g) { return samePuzzle(g, *grid); }))
                run.kept.push_back(*grid);
            continue;
        }
        if (!options.quiet)
            printLayers(*grid);
        if (pages)
            run.kept.push_back(*grid);
    }
    run.complete = set ? run.kept.size() == wanted : run.givenUp == 0;
    if (set && run.complete && !options.quiet)
        for (const PuzzleGrid &puzzle : run.kept)
            printLayers(puzzle);
    if (!run.complete)
        run.kept.clear();
    return run;
}

// A class set of many pages says on the standard error how far its pages are, in tenths, so that
// a long run is seen to be working; a total of 0 reports nothing.
class PageProgress
{
public:
    explicit PageProgress(int total) : m_total(total > ProgressFromPages ? total : 0) {}
    void report(int done) const
    {
        if (m_total == 0 || done * 10 / m_total == (done - 1) * 10 / m_total || done >= m_total)
            return;
        printLine(stderr, QStringLiteral("brivamo: %1 of %2 pages laid out").arg(done).arg(m_total));
        std::fflush(stderr);
    }

private:
    static constexpr int ProgressFromPages = 50;
    int m_total;
};

using JobOpener = std::function<std::unique_ptr<Printer>()>;

// Sends the pages to the chosen (or default) print queue: `send` lays them out on the jobs that it
// opens and says whether every job was taken. Returns an empty string on success, otherwise a
// one-line reason.
QString printOnQueue(const MakeOptions &options, const std::function<bool(const JobOpener &)> &send)
{
    const QString silent = QStringLiteral("The print server does not answer.");
    const std::optional<QStringList> names = QtPrinter::printerNames();
    if (!names)
        return silent;
    if (names->isEmpty())
        return QStringLiteral("No printer is available.");
    if (!options.printer.isEmpty() && !names->contains(options.printer))
        return QStringLiteral("There is no printer named \"%1\".").arg(options.printer);

    QString queue;
    const JobOpener openJob = [&]() -> std::unique_ptr<Printer> {
        auto printer = std::make_unique<QtPrinter>(QtPrinter::SystemQueue{options.printer});
        queue = printer->queueName();
        return printer;
    };
    if (send(openJob))
        return {};
    if (QtPrinter::printServerStuck())
        return silent;
    const QString refusal = QtPrinter::printServerRefusal();
    return QStringLiteral("The printer \"%1\" did not take the print job%2")
        .arg(queue, refusal.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + refusal);
}

// Writes or prints the pages of the puzzles kept: one puzzle as the puzzle window prints it (on a
// queue, the solution page is a job of its own), a class set as one document. Returns an empty
// string on success, otherwise a one-line reason.
QString producePages(const MakeOptions &options, const QString &category, const QStringList &words,
                     const std::vector<PuzzleGrid> &puzzles)
{
    // Fonts need a GUI application; the offscreen platform gives one without any display. Qt sees
    // none of the user's arguments.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static char programName[] = "brivamo";
    static char *qtArguments[] = {programName, nullptr};
    int qtArgumentCount = 1;
    QGuiApplication application(qtArgumentCount, qtArguments);

    const QDateTime now = QDateTime::currentDateTime();
    const bool set = puzzles.size() > 1;
    QList<const PuzzleGrid *> grids;
    for (const PuzzleGrid &grid : puzzles)
        grids << &grid;
    const PuzzlePageContent content{category, words, grids.first(), 0, 0, options.message, options.style};
    const int versions = static_cast<int>(puzzles.size());
    const int pagesPerDocument = versions * (options.solution ? 2 : 1);
    const int documents = options.print ? 1
                                        : int(!options.pdf.isEmpty()) + int(!options.png.isEmpty()) +
                                              int(!options.svg.isEmpty());
    const PageProgress progress(options.quiet || !set ? 0 : documents * pagesPerDocument);
    int pagesBefore = 0;
    // The first page of each puzzle and solution in the document being laid out: a long word list
    // adds pages after it.
    struct PageStart
    {
        int page;
        int version;
        bool solution;
    };
    QList<PageStart> starts;
    const auto layOut = [&](Printer &printer) {
        printer.setPageFinished([&, before = pagesBefore](int page) { progress.report(before + page); });
        pagesBefore += pagesPerDocument;
        starts.clear();
        const auto starting = [&](int version, PuzzlePageKind kind) {
            starts.append({qMax(1, printer.page()), version, kind == PuzzlePageKind::Solution});
        };
        if (set) {
            LayOutPuzzleSet(printer, category, words, grids, options.solution, options.dedication, now,
                            options.message, options.style, starting);
            return;
        }
        starting(1, PuzzlePageKind::Puzzle);
        LayOutPuzzlePage(printer, PuzzlePageKind::Puzzle, content, options.dedication, now);
        if (options.solution) {
            printer.newPage();
            starting(1, PuzzlePageKind::Solution);
            LayOutPuzzlePage(printer, PuzzlePageKind::Solution, content, QString(), now);
        }
    };

    if (options.print) {
        return printOnQueue(options, [&](const JobOpener &openJob) {
            if (!set)
                return PrintPuzzleJobs(openJob, content, options.solution, options.dedication, nullptr);
            const std::unique_ptr<Printer> printer = openJob();
            layOut(*printer);
            return printer->endDoc();
        });
    }
    // Every file of the run takes its name only once all of them were written: a failure leaves
    // the pages of an earlier run whole, never some of them replaced.
    SafeFileSet files;
    const bool severalFiles =
        documents > 1 || (pagesPerDocument > 1 && !(options.png.isEmpty() && options.svg.isEmpty()));
    const auto failure = [&](QString fileAndReason) {
        if (fileAndReason.endsWith(u'.'))
            fileAndReason.chop(1);
        return QStringLiteral("Cannot write %1%2")
            .arg(fileAndReason,
                 severalFiles ? QStringLiteral("; no file was changed.") : QStringLiteral("."));
    };
    if (!options.pdf.isEmpty()) {
        QtPrinter printer(options.pdf, options.paper);
        printer.setFileSet(&files);
        layOut(printer);
        if (!printer.endDoc())
            return failure(files.failed()
                               ? files.error()
                               : DecodeFileName(options.pdf) + QStringLiteral(": ") + printer.errorString());
    }
    // Pages in order: the puzzles, then their solutions.
    for (const auto &[format, file] : {std::pair{ImagePrinter::Format::Png, options.png},
                                       std::pair{ImagePrinter::Format::Svg, options.svg}}) {
        if (file.isEmpty())
            continue;
        ImagePrinter printer(format, options.paper, [&, file = file](int page) {
            const PageStart &start =
                *std::find_if(starts.rbegin(), starts.rend(),
                              [&](const PageStart &candidate) { return candidate.page <= page; });
            return PageImageFile(file, start.version, versions, start.solution, page - start.page + 1);
        });
        printer.setFileSet(&files);
        layOut(printer);
        if (!printer.endDoc())
            return failure(printer.errorString());
    }
    if (const QString error = files.commit(); !error.isEmpty())
        return failure(error);
    return {};
}

} // namespace

int runMakeCommand(const QList<QByteArray> &arguments)
{
    defaultMessageHandler() = qInstallMessageHandler(keepQtWarningsOff);

    MakeOptions options;
    if (const QString error = ParseMakeArguments(arguments, options); !error.isEmpty())
        return refuse(error);
    if (const QString error = outputRefusal(options); !error.isEmpty())
        return refuse(error);

    const WordListResult read = modSupport::ReadWordList(options.category);
    if (!read.ok())
        return refuse(oneLine(read.error));
    QStringList words = read.list.words;
    if (const std::optional<UnusableWord> unusable = FindUnusableWord(words))
        return refuse(unusable->message());

    if (const QString problem = SquareFitProblem(words, options.side); !problem.isEmpty())
        return refuse(problem);
    SortWordsLongestFirst(words);

    if (!options.message.isEmpty()) {
        if (const QString problem = HiddenMessageProblem(options.message, words, options.side);
            !problem.isEmpty())
            return refuse(problem);
        // The fill keeps the message's letters, so a blocked word they spell would fail every attempt.
        if (const QString blocked = HiddenMessageBlockedWord(options.message, words, ProgramBlockedWords());
            !blocked.isEmpty())
            return refuse(BlockedMessageRefusal(blocked));
    }

    std::unique_ptr<modStandard::SeededRandomSource> seeded;
    if (options.seed)
        seeded = std::make_unique<modStandard::SeededRandomSource>(*options.seed);
    modStandard::SeededRandomSource &random = seeded ? *seeded : modStandard::ProgramRandomSource();

    const MakeRun run = makePuzzles(options, words, random);
    std::fflush(stdout);
    if (!run.kept.empty()) {
        if (const QString failure = producePages(options, read.list.name, words, run.kept);
            !failure.isEmpty()) {
            printLine(stderr, QStringLiteral("brivamo: ") + failure);
            return 4;
        }
    }
    printLine(stderr, QStringLiteral("%1 puzzles, %2 completed, %3 given up, %4 ms")
                          .arg(run.made)
                          .arg(run.completed)
                          .arg(run.givenUp)
                          .arg(std::llround(static_cast<double>(run.nanoseconds) / 1e6)));
    return run.complete ? 0 : 3;
}

} // namespace brivamo
