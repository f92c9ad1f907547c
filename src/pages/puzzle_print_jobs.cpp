#include "pages/puzzle_print_jobs.h"

#include "platform/printer_qt.h"

#include <QCoreApplication>
#include <QDateTime>

namespace brivamo {

bool PrintPuzzleJobs(const std::function<std::unique_ptr<Printer>()> &openJob,
                     const PuzzlePageContent &content, bool withSolution, const QString &dedication,
                     QWidget *window, const std::function<void(const Printer &)> &failedPrinter,
                     bool withPuzzle)
{
    if (!withPuzzle && !withSolution)
        return true;
    // Opened before the window is disabled: without a printer the user is asked for a file name.
    std::unique_ptr<Printer> printer = openJob();
    if (!printer)
        return true;

    auto *file = dynamic_cast<QtPrinter *>(printer.get());
    const bool oneFile = file && file->writesFile();

    bool sent = false;
    {
        PrintingBusyGuard busy(window);
        if (withPuzzle)
            LayOutPuzzlePage(*printer, PuzzlePageKind::Puzzle, content, dedication,
                             QDateTime::currentDateTime());
        if (withSolution && (oneFile || !withPuzzle)) {
            if (withPuzzle)
                printer->newPage();
            LayOutPuzzlePage(*printer, PuzzlePageKind::Solution, content, QString(),
                             QDateTime::currentDateTime());
        }
        sent = printer->endDoc();
        QCoreApplication::processEvents();
    }
    if (!sent && failedPrinter)
        failedPrinter(*printer);
    if (!sent || !withSolution || oneFile || !withPuzzle)
        return sent;

    printer = openJob();
    if (!printer)
        return true;
    PrintingBusyGuard busy(window);
    sent = PrintPuzzlePage(*printer, PuzzlePageKind::Solution, content, QString());
    QCoreApplication::processEvents();
    if (!sent && failedPrinter)
        failedPrinter(*printer);
    return sent;
}

} // namespace brivamo
