#pragma once

#include "pages/puzzle_page.h"
#include "platform/printer.h"

#include <functional>
#include <memory>

class QWidget;

namespace brivamo {

// Prints the puzzle page with `dedication` and, when `withSolution`, the solution page as a print
// job of its own. `openJob` gives the printer for each job; it may return nullptr (the user
// declined to save the printout), which ends printing without a failure. A PDF file cannot take
// separate jobs without overwriting itself, so there both pages share one document. `window`
// (may be null) is disabled and shows the busy pointer while each page is produced. Returns false
// when a job could not be produced; `failedPrinter` (if given) then sees the printer that failed.
// Without `withPuzzle` only the solution page is printed (the user asked for that page alone).
bool PrintPuzzleJobs(const std::function<std::unique_ptr<Printer>()> &openJob,
                     const PuzzlePageContent &content, bool withSolution, const QString &dedication,
                     QWidget *window, const std::function<void(const Printer &)> &failedPrinter = {},
                     bool withPuzzle = true);

} // namespace brivamo
