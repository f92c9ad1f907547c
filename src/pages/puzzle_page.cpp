#include "pages/puzzle_page.h"

#include "base/app_info.h"
#include "base/settings.h"
#include "generator/word_locations.h"
#include "platform/printer.h"
#include "wordlists/word_list.h"

#include <cmath>
#include <limits>

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

QString PuzzlePageHeading(PuzzlePageKind kind, bool continued)
{
    const QString heading = kind == PuzzlePageKind::Puzzle
                                ? QStringLiteral("In the puzzle above, find the following words-")
                                : QStringLiteral("The following words are displayed above-");
    return continued ? heading + QStringLiteral(" (continued)") : heading;
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

QStringList FitLines(const QString &text, double firstWidth, double width, int mostLines,
                     const std::function<double(const QString &)> &measure)
{
    static const QString Ellipsis(QChar(0x2026));
    // The end of the longest part of `text` from `at` that, followed by `tail`, fits `room`; a
    // surrogate pair stays whole.
    const auto fitting = [&](qsizetype at, double room, const QString &tail) {
        qsizetype low = at;
        qsizetype high = text.size();
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (measure(text.mid(at, middle - at) + tail) <= room)
                low = middle;
            else
                high = middle - 1;
        }
        if (low > at && low < text.size() && text.at(low - 1).isHighSurrogate())
            --low;
        return low;
    };
    QStringList lines;
    for (qsizetype at = 0; at < text.size();) {
        const double room = lines.isEmpty() ? firstWidth : width;
        if (measure(text.mid(at)) <= room) {
            lines << text.mid(at);
            break;
        }
        if (mostLines > 0 && lines.size() + 1 == mostLines) {
            lines << text.mid(at, fitting(at, room, Ellipsis) - at) + Ellipsis;
            break;
        }
        // At the last space that fits; a word with none breaks only on a whole line of its own.
        const bool shortFirst = lines.isEmpty() && firstWidth < width;
        qsizetype end = fitting(at, room, QString());
        if (const qsizetype space = text.lastIndexOf(u' ', end); space > at)
            end = space;
        else
            end = shortFirst ? at : qMax(end, at + 1);
        lines << text.mid(at, end - at);
        for (at = end; at < text.size() && text.at(at) == u' ';)
            ++at;
    }
    return lines;
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

// Where the word list goes and how large it is printed: its columns' left edges, and how many
// lines of words the page holds (the rest continue on further pages, `laterRows` on each).
struct WordListLayout
{
    double top = puzzle_page::WordListTop;
    double points = puzzle_page::ListPoints;
    QList<double> columns = QList<double>() << puzzle_page::LeftWordColumn << puzzle_page::RightWordColumn;
    int ruleLength = puzzle_page::RuleLength;
    qsizetype firstRows = std::numeric_limits<qsizetype>::max();
    qsizetype laterRows = 0;
};

// Left edges of `count` columns for `words` in reading order (row by row): spread evenly over the
// classic two columns' span grown with the list's `scale`, each moved right where a word in the one
// before would reach it. `end` gets where the widest line ends.
QList<double> placeColumns(const Printer &printer, const QStringList &words, qsizetype count, double scale,
                           double &end)
{
    using namespace puzzle_page;
    QList<double> widest(count, 0.0);
    for (qsizetype i = 0; i < words.size(); ++i)
        widest[i % count] = qMax(widest[i % count], printer.textWidth(words.at(i)));
    QList<double> columns{LeftMargin + (LeftWordColumn - LeftMargin) * scale};
    for (qsizetype c = 1; c < count; ++c)
        columns << qMax(columns.first() + c * (RightWordColumn - LeftWordColumn) * scale * 2 / count,
                        columns.last() + widest[c - 1] + ColumnGap * scale);
    end = 0.0;
    for (qsizetype c = 0; c < count; ++c)
        end = qMax(end, columns[c] + widest[c]);
    return columns;
}

// A list that does not fit below `list.top` in two columns takes more columns as far as the width
// allows, then a smaller type down to `minPoints`; what still does not fit continues on further
// pages. Where not even two columns fit the width at the smallest type, the list takes one. The
// rules span the list where long words make it wider than the classic rule.
void fitWordList(Printer &printer, const QStringList &words, WordListLayout &list, double minPoints)
{
    using namespace puzzle_page;
    const double rightEdge = printer.printableWidth() - LeftMargin;
    const double bottom = printer.printableHeight() - BottomMargin;
    // Lines of words below `top`, besides the heading and the two rules.
    const auto rowsBelow = [&](double top) {
        return qMax<qsizetype>(1,
                               static_cast<qsizetype>(std::floor((bottom - top) / printer.textHeight())) - 3);
    };
    double end = 0.0;
    for (;; list.points = qMax(minPoints, list.points - 0.25)) {
        printer.setFontSize(list.points);
        const qsizetype rows = rowsBelow(list.top);
        const double scale = list.points / ListPoints;
        QList<double> widest; // the most columns that fit the width
        double widestEnd = 0.0;
        for (qsizetype count = 2; count <= qMax<qsizetype>(2, words.size()); ++count) {
            const QList<double> columns = placeColumns(printer, words, count, scale, end);
            if (end > rightEdge)
                break;
            widest = columns;
            widestEnd = end;
            if ((words.size() + count - 1) / count <= rows)
                break;
        }
        const bool fitted = !widest.isEmpty() && (words.size() + widest.size() - 1) / widest.size() <= rows;
        if (fitted || list.points <= minPoints) {
            list.columns = widest.isEmpty() ? placeColumns(printer, words, 1, scale, widestEnd) : widest;
            end = widestEnd;
            list.firstRows = rows;
            list.laterRows = rowsBelow(ContinuedListTop);
            break;
        }
    }
    const double dash = printer.textWidth(QStringLiteral("-"));
    list.ruleLength = qMin(qMax(RuleLength, static_cast<int>(std::ceil((end - LeftMargin) / dash))),
                           static_cast<int>((rightEdge - LeftMargin) / dash));
}

// The title, the dedication (on at most two lines) and the date with a set's version mark.
void layOutHeader(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content,
                  const QString &dedication, const QDateTime &printedAt)
{
    using namespace puzzle_page;
    printer.setFont(PrinterFont{QStringLiteral("Arial"), ListPoints, true, false, false});

    printer.setCurrentX(LeftMargin);
    printer.setCurrentY(TitleTop);
    printer.print(PuzzlePageTitle(kind, content.category));

    if (const QString name = WithoutDirectionControls(dedication); !name.isEmpty()) {
        const QString lead = QStringLiteral("This puzzle was made especially for ");
        const double width = printer.printableWidth() - 2.0 * LeftMargin;
        printer.setCurrentX(LeftMargin);
        printer.print(lead, false);
        printer.setFontUnderline(true);
        const QStringList lines = FitLines(name, width - printer.textWidth(lead), width, 2,
                                           [&](const QString &text) { return printer.textWidth(text); });
        for (const QString &line : lines) {
            printer.print(line);
            printer.setCurrentX(LeftMargin);
        }
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
}

// The heading, a rule, the words row by row, a rule; where the list goes on, the same on each
// further page after `nextPage` starts it.
void layOutWordList(Printer &printer, PuzzlePageKind kind, const QStringList &words,
                    const WordListLayout &list, const std::function<void()> &nextPage)
{
    using namespace puzzle_page;
    const QString rule(list.ruleLength, u'-');
    const qsizetype columns = list.columns.size();
    double top = list.top;
    qsizetype rows = list.firstRows;
    for (qsizetype next = 0;;) {
        printer.setFontSize(list.points);
        printer.setFontBold(true);
        printer.setFontItalic(false);
        printer.setCurrentX(LeftMargin);
        printer.setCurrentY(top);
        printer.print(PuzzlePageHeading(kind, next > 0));
        printer.setCurrentX(LeftMargin);
        printer.print(rule);

        const qsizetype end = (words.size() - next) / columns < rows ? words.size() : next + rows * columns;
        for (qsizetype i = next; i < end; ++i) {
            const qsizetype column = (i - next) % columns;
            printer.setCurrentX(list.columns.at(column));
            printer.print(words.at(i), column + 1 == columns || i + 1 == end);
        }

        printer.setCurrentX(LeftMargin);
        printer.print(rule);
        next = end;
        if (next == words.size())
            return;
        nextPage();
        top = ContinuedListTop;
        rows = list.laterRows;
    }
}

// Large print: square cells as wide as the printable width allows (at most LargeCellMax), each
// letter in the middle of its cell, and the word list in a size to match: where the list would run
// off the page the cells shrink until it fits, but never so far that the letters would be smaller
// than the classic page's. Returns where the list starts and the size it starts from.
WordListLayout layOutLargeGrid(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content)
{
    using namespace puzzle_page;
    const PuzzleGrid &grid = *content.grid;
    const bool outlined = kind == PuzzlePageKind::Solution && content.style.answerKey == AnswerKey::Outline;
    const int side = grid.side();
    const double width = printer.printableWidth() - 2.0 * LeftMargin;
    const double bottom = printer.printableHeight() - BottomMargin;
    const auto listLines = static_cast<double>(3 + (content.words.size() + 1) / 2);

    WordListLayout list;
    double cell = qMin(LargeCellMax, width / side);
    const double smallestCell = qMin(cell, GridPoints / 72.0 / LargeLetterShare);
    double letterPoints = GridPoints;
    for (;; cell -= 0.005) {
        letterPoints = qMax(GridPoints, cell * 72.0 * LargeLetterShare);
        list.points = qMax(ListPoints, letterPoints * ListPoints / GridPoints);
        printer.setFontSize(list.points);
        list.top = LargeGridTop + side * cell + LargeListGap;
        if (list.top + listLines * printer.textHeight() <= bottom || cell - 0.005 < smallestCell)
            break;
    }

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
    layOutHeader(printer, kind, content, dedication, printedAt);

    printer.setFontSize(GridPoints);
    printer.setFontBold(true);
    printer.setFontItalic(false);
    WordListLayout list;
    if (content.style.largePrint && content.grid)
        list = layOutLargeGrid(printer, kind, content);
    else if (content.grid)
        layOutGrid(printer, kind, content);
    if (content.grid && kind == PuzzlePageKind::Solution && !content.hiddenMessage.isEmpty()) {
        printer.setFontSize(ListPoints);
        if (content.style.largePrint)
            printer.setCurrentY(
                list.top); // the word list follows right under the square: the line goes first
        else
            printer.newLine();
        const double width = printer.printableWidth() - 2.0 * LeftMargin;
        for (const QString &line : FitLines(HiddenMessageLine(content.hiddenMessage), width, width, 0,
                                            [&](const QString &text) { return printer.textWidth(text); })) {
            printer.setCurrentX(LeftMargin);
            printer.print(line);
        }
        // Large print leaves a blank line before the list; a long message pushes the classic one down.
        list.top = content.style.largePrint ? printer.currentY() + printer.textHeight()
                                            : qMax(list.top, printer.currentY());
    }
    // A list the lobby could have made keeps the classic layout on the classic page.
    if (content.style.largePrint || content.words.size() > modSupport::MaxWordsPerList)
        fitWordList(printer, content.words, list, content.style.largePrint ? ListPoints : ListMinPoints);
    layOutWordList(printer, kind, content.words, list, [&] {
        printer.newPage();
        layOutHeader(printer, kind, content, QString(), printedAt);
    });
}

void LayOutPuzzleSet(Printer &printer, const QString &category, const QStringList &words,
                     const QList<const PuzzleGrid *> &grids, bool solutions, const QString &dedication,
                     const QDateTime &printedAt, const QString &hiddenMessage, const PageStyle &style,
                     const std::function<void(int version, PuzzlePageKind kind)> &starting)
{
    const int versions = static_cast<int>(grids.size());
    for (const PuzzlePageKind kind : {PuzzlePageKind::Puzzle, PuzzlePageKind::Solution}) {
        if (kind == PuzzlePageKind::Solution && !solutions)
            break;
        for (int i = 0; i < versions; ++i) {
            if (printer.page() > 0)
                printer.newPage();
            if (starting)
                starting(i + 1, kind);
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
