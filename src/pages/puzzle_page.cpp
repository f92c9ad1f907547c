#include "pages/puzzle_page.h"

#include "base/app_info.h"
#include "base/settings.h"
#include "generator/word_locations.h"
#include "platform/printer.h"

#include <cmath>

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

namespace {
const QString KeyAnswerKey = QStringLiteral("AnswerKey");
const QString AnswerKeyOutline = QStringLiteral("Outline");
const QString AnswerKeyDots = QStringLiteral("Dots");
} // namespace

PageStyle ReadPageStyle()
{
    PageStyle style;
    const QString key =
        basBrivamo::ReadSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection, KeyAnswerKey);
    if (key.trimmed().compare(AnswerKeyOutline, Qt::CaseInsensitive) == 0)
        style.answerKey = AnswerKey::Outline;
    style.largePrint = basBrivamo::readBoolSetting(QStringLiteral("LargePrint"), false);
    return style;
}

bool WriteAnswerKey(AnswerKey key)
{
    return basBrivamo::WriteSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                                    KeyAnswerKey,
                                    key == AnswerKey::Outline ? AnswerKeyOutline : AnswerKeyDots);
}

QString PuzzlePageTitle(PuzzlePageKind kind, const QString &category)
{
    const QString kindWord =
        kind == PuzzlePageKind::Puzzle ? QStringLiteral("Puzzle") : QStringLiteral("Solution");
    return AppTitle + u' ' + kindWord + QStringLiteral(" (Category: ") + WithoutDirectionControls(category) +
           u')';
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

QString WithoutDirectionControls(QString text)
{
    // Embeddings, overrides and isolates (U+202A..U+202E, U+2066..U+2069) would turn the rest of a
    // printed line around; text of either direction still reads its own way without them.
    text.removeIf([](QChar c) {
        const char16_t code = c.unicode();
        return (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
    });
    return text;
}

QString HiddenMessageLine(const QString &message)
{
    return QStringLiteral("Hidden message: ") + WithoutDirectionControls(message);
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

// Where the word list goes and how large it is printed.
struct WordListLayout
{
    double top = puzzle_page::WordListTop;
    double points = 9.0;
    double leftColumn = puzzle_page::LeftWordColumn;
    double rightColumn = puzzle_page::RightWordColumn;
    int ruleLength = puzzle_page::RuleLength;
};

void layOutWordList(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content,
                    const WordListLayout &list)
{
    using namespace puzzle_page;
    printer.setFontSize(list.points);
    printer.setFontBold(true);
    printer.setCurrentX(LeftMargin);
    printer.setCurrentY(list.top);

    const QString rule(list.ruleLength, u'-');
    printer.print(PuzzlePageHeading(kind));
    printer.setCurrentX(LeftMargin);
    printer.print(rule);

    for (qsizetype i = 0; i < content.words.size(); ++i) {
        const bool left = i % 2 == 0;
        const bool last = i + 1 == content.words.size();
        printer.setCurrentX(left ? list.leftColumn : list.rightColumn);
        printer.print(content.words.at(i), !left || last);
    }

    printer.setCurrentX(LeftMargin);
    printer.print(rule);
}

// Large print: the columns grow apart with the list's size, and the right one moves further right
// where a long word in the left one would reach it. Where the right column's words would then run
// past `rightEdge`, the list's font shrinks until they fit. Returns where the list's longest line
// ends.
double fitLargeWordList(Printer &printer, const QStringList &words, WordListLayout &list, double rightEdge)
{
    using namespace puzzle_page;
    for (;; list.points = qMax(LargeListMinPoints, list.points - 0.25)) {
        printer.setFontSize(list.points);
        double widestLeft = 0;
        double widestRight = 0;
        for (qsizetype i = 0; i < words.size(); ++i) {
            double &widest = i % 2 == 0 ? widestLeft : widestRight;
            widest = qMax(widest, printer.textWidth(words.at(i)));
        }
        const double scale = list.points / 9.0;
        list.leftColumn = LeftMargin + (LeftWordColumn - LeftMargin) * scale;
        list.rightColumn = qMax(LeftMargin + (RightWordColumn - LeftMargin) * scale,
                                list.leftColumn + widestLeft + LargeColumnGap * scale);
        if (list.rightColumn + widestRight <= rightEdge || list.points <= LargeListMinPoints)
            return qMax(list.leftColumn + widestLeft, list.rightColumn + widestRight);
    }
}

// Large print: square cells as wide as the printable width allows (at most LargeCellMax), each
// letter in the middle of its cell, and the word list in a size to match, on the one page: where
// the list would run off the page the cells shrink until it fits.
WordListLayout layOutLargeGrid(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content)
{
    using namespace puzzle_page;
    const PuzzleGrid &grid = *content.grid;
    const bool outlined = kind == PuzzlePageKind::Solution && content.style.answerKey == AnswerKey::Outline;
    const int side = grid.side();
    const double width = printer.printableWidth() - 2.0 * LeftMargin;
    const double bottom = printer.printableHeight() - LargeBottomMargin;
    const auto listLines = static_cast<double>(3 + (content.words.size() + 1) / 2);

    WordListLayout list;
    double cell = qMin(LargeCellMax, width / side);
    double letterPoints = 11.0;
    for (;; cell -= 0.005) {
        letterPoints = cell * 72.0 * LargeLetterShare;
        list.points = qMax(9.0, letterPoints * 9.0 / 11.0);
        printer.setFontSize(list.points);
        list.top = LargeGridTop + side * cell + LargeListGap;
        if (list.top + listLines * printer.textHeight() <= bottom || cell <= 0.2)
            break;
    }
    // The rules span the list where long words make it wider than the classic rule.
    const double listEnd = fitLargeWordList(printer, content.words, list, LeftMargin + width);
    const double dash = printer.textWidth(QStringLiteral("-"));
    list.ruleLength = qMin(qMax(RuleLength, static_cast<int>(std::ceil((listEnd - LeftMargin) / dash))),
                           static_cast<int>(width / dash));

    printer.setFontSize(letterPoints);
    const double left = LeftMargin + (width - side * cell) / 2.0;
    const double capitalMiddle = CapitalMiddle * printer.textHeight();
    const auto middleX = [&](int column) { return left + (column - 0.5) * cell; };
    const auto middleY = [&](int row) { return LargeGridTop + (row - 0.5) * cell; };
    for (int row = 1; row <= side; ++row) {
        for (int column = 1; column <= side; ++column) {
            const QString letter = kind == PuzzlePageKind::Puzzle || outlined
                                       ? grid.puzzleText(row, column)
                                       : grid.solutionText(row, column);
            printer.setCurrentX(middleX(column) - printer.textWidth(letter) / 2.0);
            printer.setCurrentY(middleY(row) - capitalMiddle);
            printer.print(letter, false);
        }
    }
    if (outlined) {
        for (const WordPlacement &run : LocateWords(grid, content.words))
            if (run.length > 0)
                printer.outline({middleX(run.startColumn), middleY(run.startRow),
                                 middleX(run.columnOf(run.length)), middleY(run.rowOf(run.length)),
                                 OutlineRadius * cell, OutlineRadius * cell});
    }
    return list;
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

    if (const QString name = WithoutDirectionControls(dedication); !name.isEmpty()) {
        printer.setCurrentX(LeftMargin);
        printer.print(QStringLiteral("This puzzle was made especially for "), false);
        printer.setFontUnderline(true);
        printer.print(name);
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
    WordListLayout list;
    if (content.style.largePrint && content.grid)
        list = layOutLargeGrid(printer, kind, content);
    else if (content.grid)
        layOutGrid(printer, kind, content);
    if (content.grid && kind == PuzzlePageKind::Solution && !content.hiddenMessage.isEmpty()) {
        printer.setFontSize(9.0);
        if (content.style.largePrint) {
            // Large print puts the word list right under the square: the line goes first.
            printer.setCurrentY(list.top);
            list.top += 2 * printer.textHeight();
        } else {
            printer.newLine();
        }
        printer.setCurrentX(puzzle_page::LeftMargin);
        printer.print(HiddenMessageLine(content.hiddenMessage));
    }
    layOutWordList(printer, kind, content, list);
}

void LayOutPuzzleSet(Printer &printer, const QString &category, const QStringList &words,
                     const QList<const PuzzleGrid *> &grids, bool solutions, const QString &dedication,
                     const QDateTime &printedAt, const QString &hiddenMessage, const PageStyle &style)
{
    const int versions = static_cast<int>(grids.size());
    for (const PuzzlePageKind kind : {PuzzlePageKind::Puzzle, PuzzlePageKind::Solution}) {
        if (kind == PuzzlePageKind::Solution && !solutions)
            break;
        for (int i = 0; i < versions; ++i) {
            if (printer.page() > 0)
                printer.newPage();
            const PuzzlePageContent content{category, words, grids[i], i + 1, versions, hiddenMessage, style};
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
