#include "generator/fill_guard.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <utility>
#include <vector>

namespace brivamo {

namespace {

// The four orientations of lines, each read one way: rows left to right, columns downwards, and
// the diagonals downwards to the right and downwards to the left. A word in any of the eight
// directions lies along one of them, forwards or backwards.
constexpr int Orientations = 4;
constexpr std::array<DirectionStep, Orientations> OrientationSteps{{{0, 1}, {1, 0}, {1, 1}, {1, -1}}};

// The step from a cell to the next along an orientation, in grid indexes.
int strideOf(int orientation)
{
    const DirectionStep step = OrientationSteps[static_cast<std::size_t>(orientation)];
    return step.row * PuzzleGrid::Stride + step.column;
}

// Cells one after another along an orientation: the first and how many.
struct Stretch
{
    int start;
    int count;
};

// The whole line of a square through a cell: a diagonal is one cell shorter for each step it
// lies from the square's own diagonal of that orientation.
Stretch lineThrough(int side, int orientation, int cell)
{
    const int row = cell / PuzzleGrid::Stride;
    const int column = cell % PuzzleGrid::Stride;
    switch (orientation) {
    case 0:
        return {row * PuzzleGrid::Stride, side};
    case 1:
        return {column, side};
    case 2:
        return {cell - std::min(row, column) * strideOf(2), side - std::abs(row - column)};
    default:
        return {cell - std::min(row, side - 1 - column) * strideOf(3),
                side - std::abs(row + column - (side - 1))};
    }
}

// The run of placed letters through a placed cell along an orientation.
Stretch runThrough(const PuzzleGrid &grid, int orientation, int cell)
{
    const DirectionStep step = OrientationSteps[static_cast<std::size_t>(orientation)];
    const int side = grid.side();
    auto placed = [&](int row, int column) {
        return row >= 0 && row < side && column >= 0 && column < side &&
               !grid.solution(row + 1, column + 1).isNull();
    };
    int row = cell / PuzzleGrid::Stride;
    int column = cell % PuzzleGrid::Stride;
    while (placed(row - step.row, column - step.column)) {
        row -= step.row;
        column -= step.column;
    }
    Stretch run{row * PuzzleGrid::Stride + column, 0};
    for (; placed(row, column); row += step.row, column += step.column)
        ++run.count;
    return run;
}

// Which line of its orientation a cell lies on: its row, its column, or one of the diagonals,
// told apart by the difference or the sum of its row and column.
int lineOf(int orientation, int cell)
{
    const int row = cell / PuzzleGrid::Stride;
    const int column = cell % PuzzleGrid::Stride;
    const std::array<int, Orientations> lines{row, column, column - row, column + row};
    return lines[static_cast<std::size_t>(orientation)];
}

// Whether a reading, from cell first to cell last, lies within some placed word's own stretch
// (its own place, CAT inside CATTLE, or a blocked word inside a listed one). A reading of one
// letter reads alike in every orientation, so it is the list's wherever a word holds its cell.
bool insidePlacedWord(std::span<const PlacedStretch> placed, int orientation, int first, int last)
{
    return first == last || std::any_of(placed.begin(), placed.end(), [&](const PlacedStretch &stretch) {
               return stretch.orientation == orientation && stretch.first <= first && last <= stretch.last &&
                      lineOf(orientation, first) == lineOf(orientation, stretch.first);
           });
}

// Steps the automaton along a stretch of a layer's cells and calls found(first, last, ending)
// for each word read there, first and last being its cells; stops early when found says so.
template <class Found>
bool readAlong(const ListCodes &codes, const QChar *layer, int orientation, Stretch stretch, Found found)
{
    const ReadingAutomaton &automaton = codes.automaton();
    const int stride = strideOf(orientation);
    int state = 0;
    for (int k = 0, cell = stretch.start; k < stretch.count; ++k, cell += stride) {
        state = automaton.step(state, codes.codeOf(layer[cell]));
        if (!automaton.reads(state))
            continue;
        for (const ReadingAutomaton::Ending &ending : automaton.endings(state))
            if (found(cell - (ending.length - 1) * stride, cell, ending))
                return true;
    }
    return false;
}

// What one round of the fill guard found: the fill cells to redraw, and whether any reading
// needs a kept cell, which no redraw can clear.
struct FillReadings
{
    FillReadings(const QChar *solution, const CellRows *kept, std::span<const PlacedStretch> messageWords)
        : solution(solution), kept(kept), messageWords(messageWords)
    {
    }

    // Kept out of line, so that the loop along the line has the registers to itself.
    [[gnu::noinline]] void readLine(const ListCodes &codes, const QChar *puzzle, int orientation,
                                    Stretch line)
    {
        readAlong(codes, puzzle, orientation, line,
                  [&](int first, int last, ReadingAutomaton::Ending ending) {
                      add(orientation, first, last, ending);
                      return false;
                  });
    }

    // Kept out of line as well: readings are rare.
    [[gnu::noinline]] void add(int orientation, int first, int last, ReadingAutomaton::Ending ending)
    {
        const int stride = strideOf(orientation);
        bool usesFill = false;
        for (int cell = first; cell <= last; cell += stride)
            usesFill |= solution[cell] == PuzzleGrid::Dot;
        // Readings of placed letters alone were turned down as the words were placed; a blocked
        // word inside the message, read along its own cells, is the teacher's choice.
        if (!usesFill || (ending.blocked && insidePlacedWord(messageWords, orientation, first, last)))
            return;
        found = true;
        // A listed word's fill letters are all redrawn; any one new letter breaks a blocked word.
        bool marked = false;
        for (int cell = first; cell <= last; cell += stride) {
            if (solution[cell] != PuzzleGrid::Dot)
                continue;
            const int row = cell / PuzzleGrid::Stride;
            const std::uint32_t bit = 1u << (cell % PuzzleGrid::Stride);
            if (!(ending.blocked && marked))
                marks[static_cast<std::size_t>(row)] |= bit;
            marked = true;
            spoiled |= kept && ((*kept)[static_cast<std::size_t>(row)] & bit);
        }
    }

    const QChar *solution;
    const CellRows *kept;
    std::span<const PlacedStretch> messageWords;
    CellRows marks{};
    bool found = false;
    bool spoiled = false;
};

} // namespace

PlacedStretch StretchOf(const WordPlacement &placement)
{
    // Upwards, right to left and the two diagonals that read upwards run against their orientation.
    static constexpr std::array<int, 9> OrientationOf{0, 1, 3, 0, 2, 1, 3, 0, 2};
    const int start = PuzzleGrid::index(placement.startRow, placement.startColumn);
    const int end =
        PuzzleGrid::index(placement.rowOf(placement.length), placement.columnOf(placement.length));
    return {OrientationOf[static_cast<std::size_t>(placement.direction)], std::min(start, end),
            std::max(start, end)};
}

bool PlacedLettersSpoil(const PuzzleGrid &grid, const ListCodes &codes, std::span<const PlacedStretch> placed,
                        const PlacedStretch &word, std::span<const int> fresh)
{
    const QChar *solution = grid.solutionCells();
    auto spoils = [&](int orientation, Stretch run) {
        return run.count >= codes.automaton().shortest() &&
               readAlong(codes, solution, orientation, run,
                         [&](int first, int last, ReadingAutomaton::Ending) {
                             return !(insidePlacedWord({&word, 1}, orientation, first, last) ||
                                      insidePlacedWord(placed, orientation, first, last));
                         });
    };
    // A reading of placed letters that holds no fresh cell was looked at when its last letter was
    // placed. Along the word's own line all its cells lie in one run, read once.
    if (!fresh.empty() && spoils(word.orientation, runThrough(grid, word.orientation, fresh.front())))
        return true;
    for (const int cell : fresh)
        for (int orientation = 0; orientation < Orientations; ++orientation)
            if (orientation != word.orientation && spoils(orientation, runThrough(grid, orientation, cell)))
                return true;
    return false;
}

bool ClearSecondReadings(PuzzleGrid &grid, const ListCodes &codes, modStandard::RandomSource &random,
                         const CellRows *kept, std::span<const PlacedStretch> messageWords)
{
    const int side = grid.side();
    const QChar *solution = grid.solutionCells();
    QChar *puzzle = grid.puzzleCells();
    // The lines to read: every line at first, then only those through a redrawn cell, as no
    // other line changed and each held no reading.
    struct Line
    {
        int orientation;
        int start;
    };
    std::vector<Line> toRead;
    std::array<std::array<bool, PuzzleGrid::MaxSide * PuzzleGrid::Stride>, Orientations> listed{};
    auto readAgain = [&](int orientation, int cell) {
        const int start = lineThrough(side, orientation, cell).start;
        if (!std::exchange(listed[orientation][start], true))
            toRead.push_back({orientation, start});
    };
    for (int orientation = 0; orientation < Orientations; ++orientation)
        for (int cell = 0; cell < side; ++cell) {
            readAgain(orientation, cell);                                 // from the top row
            readAgain(orientation, cell * PuzzleGrid::Stride);            // from the left column
            readAgain(orientation, cell * PuzzleGrid::Stride + side - 1); // from the right column
        }

    for (int round = 0;; ++round) {
        FillReadings readings(solution, kept, messageWords);
        for (const Line line : toRead) {
            listed[line.orientation][line.start] = false;
            readings.readLine(codes, puzzle, line.orientation,
                              lineThrough(side, line.orientation, line.start));
        }
        toRead.clear();
        if (readings.spoiled)
            return false;
        if (!readings.found)
            return true;
        if (round == MaxFillRounds)
            return false;
        for (int row = 0; row < side; ++row)
            for (std::uint32_t columns = readings.marks[row]; columns != 0; columns &= columns - 1) {
                const int cell = row * PuzzleGrid::Stride + std::countr_zero(columns);
                // For A to Z this is the draw of 'A' to 'Z' it has always been.
                puzzle[cell] = codes.fillLetter(random.inRange('A', 'A' + codes.alphabet().size() - 1) - 'A');
                for (int orientation = 0; orientation < Orientations; ++orientation)
                    readAgain(orientation, cell);
            }
    }
}

} // namespace brivamo
