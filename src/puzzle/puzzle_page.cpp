#include "puzzle/puzzle_page.h"

#include "base/app_info.h"
#include "base/settings.h"
#include "platform/printer.h"
#include "puzzle/word_locations.h"

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

PageStyle ReadPageStyle()
{
    PageStyle style;
    const QString key = basBrivamo::ReadSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                                                QStringLiteral("AnswerKey"));
    if (key.trimmed().compare(QLatin1String("Outline"), Qt::CaseInsensitive) == 0)
        style.answerKey = AnswerKey::Outline;
    return style;
}

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

QString VersionMark(int version, int versions)
{
    return QStringLiteral("Version %1 of %2").arg(version).arg(versions);
}

namespace {

// The square in the classic layout: letters at the left of cells 0.2 inch wide and one line high.
// The outlined key shows every letter and rings each word along its cells.
void layOutGrid(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content)
{
    using namespace puzzle_page;
    const PuzzleGrid &grid = *content.grid;
    const bool outlined = kind == PuzzlePageKind::Solution && content.style.answerKey == AnswerKey::Outline;
    const int side = grid.side();
    const double top = GridTop(side);
    const double rowPitch = printer.textHeight();
    printer.setCurrentY(top);
    for (int row = 1; row <= side; ++row) {
        for (int column = 1; column <= side; ++column) {
            printer.setCurrentX(GridColumn(side, column));
            printer.print(kind == PuzzlePageKind::Puzzle || outlined ? grid.puzzleText(row, column)
                                                                     : grid.solutionText(row, column),
                          false);
        }
        printer.newLine();
    }
    if (!outlined)
        return;
    const double columnPitch = GridColumn(side, 2) - GridColumn(side, 1);
    const QList<WordPlacement> runs = LocateWords(grid, content.words);
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const WordPlacement &run = runs[i];
        if (run.length == 0)
            continue;
        // The word's letters sit at the left of their cells: ring their middles.
        const double halfLetter = printer.textWidth(content.words[i]) / run.length / 2.0;
        const auto middleX = [&](int column) { return GridColumn(side, column) + halfLetter; };
        const auto middleY = [&](int row) { return top + (row - 1 + CapitalMiddle) * rowPitch; };
        printer.outline({middleX(run.startColumn), middleY(run.startRow), middleX(run.columnOf(run.length)),
                         middleY(run.rowOf(run.length)), OutlineRadius * columnPitch,
                         OutlineRadius * rowPitch});
    }
}

} // namespace

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
    if (content.grid)
        layOutGrid(printer, kind, content);

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
                     const QDateTime &printedAt, const PageStyle &style)
{
    const int versions = static_cast<int>(grids.size());
    for (const PuzzlePageKind kind : {PuzzlePageKind::Puzzle, PuzzlePageKind::Solution}) {
        if (kind == PuzzlePageKind::Solution && !solutions)
            break;
        for (int i = 0; i < versions; ++i) {
            if (printer.page() > 0)
                printer.newPage();
            const PuzzlePageContent content{category, words, grids[i], i + 1, versions, style};
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
