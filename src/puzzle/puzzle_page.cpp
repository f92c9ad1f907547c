#include "puzzle/puzzle_page.h"

#include "base/app_info.h"
#include "platform/printer.h"

namespace brivamo {

namespace puzzle_page {

double GridTop(int side)
{
    // Single precision on purpose: the printed position is the float value (3.3333 for side 10).
    const float top = static_cast<float>(32 - side) / 12.0f + 1.5f;
    return static_cast<double>(top);
}

double GridColumn(int side, int column)
{
    return static_cast<double>(LatticeStart(side) + column - 1) / 5.0 + 0.7;
}

} // namespace puzzle_page

QString PuzzlePageTitle(PuzzlePageKind kind, const QString &category)
{
    const QString kindWord =
        kind == PuzzlePageKind::Puzzle ? QStringLiteral("Puzzle") : QStringLiteral("Solution");
    return AppTitle + u' ' + kindWord + QStringLiteral(" (Category: ") + category + u')';
}

QString PuzzlePageHeading(PuzzlePageKind kind)
{
    return kind == PuzzlePageKind::Puzzle ? QStringLiteral("In the puzzle above, find the following words-")
                                          : QStringLiteral("The following words are displayed above-");
}

QString PrintedDateTime(const QDateTime &moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    const int hour24 = time.hour();
    const int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
    return QString::asprintf("%02d/%02d/%02d %02d:%02d%s", date.month(), date.day(), date.year() % 100,
                             hour12, time.minute(), hour24 < 12 ? "am" : "pm");
}

QString HiddenMessageLine(const QString &message)
{
    return QStringLiteral("Hidden message: ") + message;
}

QString VersionMark(int version, int versions)
{
    return QStringLiteral("Version %1 of %2").arg(version).arg(versions);
}

void LayOutPuzzlePage(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content,
                      const QString &dedication, const QDateTime &printedAt)
{
    using namespace puzzle_page;

    printer.setFont(PrinterFont{QStringLiteral("Arial"), 9.0, true, false, false});

    printer.setCurrentX(LeftMargin);
    printer.setCurrentY(TitleTop);
    printer.print(PuzzlePageTitle(kind, content.category));

    if (!dedication.isEmpty()) {
        printer.setCurrentX(LeftMargin);
        printer.print(QStringLiteral("This puzzle was made especially for "), false);
        printer.setFontUnderline(true);
        printer.print(dedication);
        printer.setFontUnderline(false);
    }

    printer.setFontSize(8.0);
    printer.setFontItalic(true);
    printer.setFontBold(false);
    printer.setCurrentX(LeftMargin);
    if (content.versions > 0) {
        printer.print(PrintedDateTime(printedAt), false);
        printer.setCurrentX(printer.currentX() + VersionMarkGap);
        printer.print(VersionMark(content.version, content.versions));
    } else {
        printer.print(PrintedDateTime(printedAt));
    }

    printer.setFontSize(11.0);
    printer.setFontBold(true);
    printer.setFontItalic(false);
    if (const PuzzleGrid *grid = content.grid) {
        const int side = grid->side();
        printer.setCurrentY(GridTop(side));
        for (int row = 1; row <= side; ++row) {
            for (int column = 1; column <= side; ++column) {
                printer.setCurrentX(GridColumn(side, column));
                printer.print(kind == PuzzlePageKind::Puzzle ? grid->puzzleText(row, column)
                                                             : grid->solutionText(row, column),
                              false);
            }
            printer.newLine();
        }
        if (kind == PuzzlePageKind::Solution && !content.hiddenMessage.isEmpty()) {
            printer.setFontSize(9.0);
            printer.newLine();
            printer.setCurrentX(LeftMargin);
            printer.print(HiddenMessageLine(content.hiddenMessage));
        }
    }

    printer.setFontSize(9.0);
    printer.setFontBold(false);
    printer.setCurrentX(LeftMargin);
    printer.setCurrentY(WordListTop);

    const QString rule(RuleLength, u'-');
    printer.setFontBold(true);
    printer.setCurrentX(LeftMargin);
    printer.print(PuzzlePageHeading(kind));
    printer.setCurrentX(LeftMargin);
    printer.print(rule);

    for (qsizetype i = 0; i < content.words.size(); ++i) {
        const bool left = i % 2 == 0;
        const bool last = i + 1 == content.words.size();
        printer.setCurrentX(left ? LeftWordColumn : RightWordColumn);
        printer.print(content.words.at(i), !left || last);
    }

    printer.setCurrentX(LeftMargin);
    printer.print(rule);
}

void LayOutPuzzleSet(Printer &printer, const QString &category, const QStringList &words,
                     const QList<const PuzzleGrid *> &grids, bool solutions, const QString &dedication,
                     const QDateTime &printedAt, const QString &hiddenMessage)
{
    const int versions = static_cast<int>(grids.size());
    for (const PuzzlePageKind kind : {PuzzlePageKind::Puzzle, PuzzlePageKind::Solution}) {
        if (kind == PuzzlePageKind::Solution && !solutions)
            break;
        for (int i = 0; i < versions; ++i) {
            if (printer.page() > 0)
                printer.newPage();
            const PuzzlePageContent content{category, words, grids[i], i + 1, versions, hiddenMessage};
            LayOutPuzzlePage(printer, kind, content, kind == PuzzlePageKind::Puzzle ? dedication : QString(),
                             printedAt);
        }
    }
}

bool PrintPuzzlePage(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content,
                     const QString &dedication, const QDateTime &printedAt)
{
    LayOutPuzzlePage(printer, kind, content, dedication, printedAt);
    return printer.endDoc();
}

} // namespace brivamo
