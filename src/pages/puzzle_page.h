#pragma once

#include "generator/puzzle_grid.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace brivamo {

class Printer;

// Which layer a printed page shows.
enum class PuzzlePageKind {
    Puzzle,   // the puzzle layer, with the words to find
    Solution, // the solution layer, with the words shown
};

// How the solution page marks the words: by leaving only their letters among dots, or by a thin
// rounded outline around each word on the whole puzzle.
enum class AnswerKey {
    Dots,
    Outline,
};

// How the pages are drawn; the default gives the classic pages.
struct PageStyle
{
    AnswerKey answerKey = AnswerKey::Dots;
    // The square as large as the page allows, letters in the middle of square cells.
    bool largePrint = false;
};

// The style the user chose, from the settings "AnswerKey" ("Dots" or "Outline") and "LargePrint"
// ("True" or "False") in section "Defaults"; anything else reads as the default.
PageStyle ReadPageStyle();

// Stores the user's choice of answer key as the setting "AnswerKey".
bool WriteAnswerKey(AnswerKey key);

// Everything a printed page shows besides its kind and dedication.
struct PuzzlePageContent
{
    QString category;  // as the window shows it
    QStringList words; // longest first, as placed
    const PuzzleGrid *grid = nullptr;
    // In a set of several puzzles: this page's puzzle number (1 to versions) and the set's size,
    // shown beside the date. A single puzzle leaves versions at 0 and its page has no mark.
    int version = 0;
    int versions = 0;
    // The message the fill spells, as the user wrote it; the solution page shows it under the
    // grid. Empty: none.
    QString hiddenMessage = QString();
    PageStyle style = {};
};

// `text` without the Unicode controls that force a direction on what follows them, so a printed
// line shows its letters in the order they were typed (the square hides them in that order).
QString WithoutDirectionControls(QString text);

// "Hidden message: TEXT".
QString HiddenMessageLine(const QString &message);

// `text` broken into lines at spaces so that each is at most `width` wide by `measure` (the first
// line `firstWidth`, which may leave it empty); a word wider than a line breaks where it must.
// Past `mostLines` lines (0: no limit) the last one ends with "…" where the text goes on.
QStringList FitLines(const QString &text, double firstWidth, double width, int mostLines,
                     const std::function<double(const QString &)> &measure);

// Page geometry, in inches from the printable origin.
namespace puzzle_page {

inline constexpr double LeftMargin = 1.0;
inline constexpr double TitleTop = 0.8;
inline constexpr double WordListTop = 7.2;
inline constexpr double LeftWordColumn = 1.2;
inline constexpr double RightWordColumn = 3.2;
inline constexpr int RuleLength = 77;
// Space between the date and a set's version mark on the same line.
inline constexpr double VersionMarkGap = 0.3;
// Outlines of the answer key keep this share of a cell's pitch from the letters' centres.
inline constexpr double OutlineRadius = 0.42;
// Sizes of the grid's letters and of the word list on the classic page, and the smallest the list
// may take where it is long; large print never goes below the classic sizes.
inline constexpr double GridPoints = 11.0;
inline constexpr double ListPoints = 9.0;
inline constexpr double ListMinPoints = 8.0;
// Large print: the square starts here, cells are at most this wide, a letter is this share of its
// cell (more where the width leaves no room for GridPoints), the word list follows this far below
// the square.
inline constexpr double LargeGridTop = 1.5;
inline constexpr double LargeCellMax = 0.4;
inline constexpr double LargeLetterShare = 0.6;
inline constexpr double LargeListGap = 0.3;
// A word list that is not in the classic layout ends at least this far above the printable
// area's bottom; one continued on a further page starts there at ContinuedListTop.
inline constexpr double BottomMargin = 0.5;
inline constexpr double ContinuedListTop = 1.5;
// The word list's columns keep at least this much space between them (at 9 points; it grows with
// the list's size).
inline constexpr double ColumnGap = 0.25;
// A capital letter's middle lies this share of the line height below the line's top.
inline constexpr double CapitalMiddle = 0.47;

// First board lattice position of a square of this side: 16 − (side div 2).
constexpr int LatticeStart(int side)
{
    return 16 - side / 2;
}

// Top of the square's first line: (32 − side) / 12 + 1.5, in single precision, so the square's
// lines sit in the middle of a band of 32 lines.
double GridTop(int side);

// Left edge of a column: (lo + column − 1) / 5 + 0.7; the square is centred on the same axis for
// every side.
double GridColumn(int side, int column);

} // namespace puzzle_page

// "Brivamo Puzzle (Category: X)" or "Brivamo Solution (Category: X)".
QString PuzzlePageTitle(PuzzlePageKind kind, const QString &category);

// The heading above the list of words; on a page the list continues on it ends with " (continued)".
QString PuzzlePageHeading(PuzzlePageKind kind, bool continued = false);

// The date and time as printed on a page: "mm/dd/yy hh:mmam" (12-hour clock, lower-case
// am/pm), as in 09/30/06 05:21am.
QString PrintedDateTime(const QDateTime &moment);

// "Version 3 of 30": matches a solution page to its puzzle page within a set.
QString VersionMark(int version, int versions);

// Draws one page onto the printer's current page without ending the document, so that several
// pages can share one document where the output cannot take separate jobs (a PDF file). A word
// list too long for the page continues on further pages, each with the title and the date.
void LayOutPuzzlePage(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content,
                      const QString &dedication, const QDateTime &printedAt);

// Lays out a set of puzzles in one document: every puzzle page in order, then, with solutions,
// every solution page in the same order, each page marked with its version. The dedication goes
// on the puzzle pages. `starting`, where given, hears of each page's version and kind as it begins
// (pages its list continues on follow it). Does not end the document.
void LayOutPuzzleSet(Printer &printer, const QString &category, const QStringList &words,
                     const QList<const PuzzleGrid *> &grids, bool solutions, const QString &dedication,
                     const QDateTime &printedAt, const QString &hiddenMessage = QString(),
                     const PageStyle &style = {},
                     const std::function<void(int version, PuzzlePageKind kind)> &starting = {});

// Prints one page as one print job. The solution page is meant to get an empty dedication.
// Returns false when the printer could not produce the job.
bool PrintPuzzlePage(Printer &printer, PuzzlePageKind kind, const PuzzlePageContent &content,
                     const QString &dedication, const QDateTime &printedAt = QDateTime::currentDateTime());

} // namespace brivamo
