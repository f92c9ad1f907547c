#pragma once

#include "generator/puzzle_grid.h"

#include <QChar>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace brivamo {

// Colours of the letters on the board.
enum class BoardInk : std::uint8_t {
    Black,   // the dots of an empty square and the letters of a finished layer
    Silver,  // the dots of a finished solution
    DarkRed, // a candidate's letter being tried
    Navy,    // a committed letter
};

// 0xRRGGBB of an ink.
constexpr std::uint32_t inkRgb(BoardInk ink)
{
    switch (ink) {
    case BoardInk::Black:
        return 0x000000;
    case BoardInk::Silver:
        return 0xC0C0C0;
    case BoardInk::DarkRed:
        return 0xC00000;
    case BoardInk::Navy:
        return 0x000080;
    }
    return 0x000000;
}

// The board's background, yellow.
inline constexpr std::uint32_t BoardBackgroundRgb = 0xFFFF00;

// Which layer of a grid the board shows.
enum class BoardLayer { Puzzle, Solution };

// What the board shows: a 32 × 32 lattice in which a square of side N is centred. Cell (row r,
// column c) prints its text with its origin at lattice point (lo + c − 1, lo + r − 1), where
// lo = 16 − (N div 2). The board widget paints from this; every operation here only changes
// what is shown and tells the change listener which cell changed (row 0: the whole board).
class PuzzleBoardModel
{
public:
    static constexpr int LatticeSize = 32;

    struct Cell
    {
        QChar text; // null: nothing printed
        BoardInk ink = BoardInk::Black;
        bool operator==(const Cell &) const = default;
    };

    explicit PuzzleBoardModel(int side = PuzzleGrid::MaxSide) { reset(side); }

    // Clears the board and sets the square's side (clamped to 1 to 30).
    void reset(int side);

    int side() const { return m_side; }
    int lo() const { return 16 - m_side / 2; }
    int hi() const { return lo() + m_side - 1; }
    // Lattice point of a cell's text origin.
    int latticeX(int column) const { return lo() + column - 1; }
    int latticeY(int row) const { return lo() + row - 1; }

    const Cell &cell(int row, int column) const { return m_cells[index(row, column)]; }
    QChar text(int row, int column) const { return cell(row, column).text; }
    BoardInk ink(int row, int column) const { return cell(row, column).ink; }

    // Removes everything printed.
    void clear();
    // Clears exactly one cell's character box to the background.
    void blankCell(int row, int column);
    // Prints a character at a cell over whatever is there (a null character prints nothing).
    void printCell(int row, int column, QChar text, BoardInk ink);

    // A cell's content is replaced by a new character: blank it, then print it.
    void showTried(int row, int column, QChar letter);
    // A rejected candidate's cell shows the solution content again: the committed letter in
    // navy, or a black dot where the cell is still empty.
    void showReverted(int row, int column, QChar solutionContent);
    void showCommitted(int row, int column, QChar letter);

    // Clears the board, then a black dot in every cell of the square.
    void drawEmptyBoard();
    // Clears the board, then every cell of the layer: dots in silver, anything else in black;
    // empty cells stay empty.
    void drawBoard(const PuzzleGrid &grid, BoardLayer layer);

    // The square as text, one row per line, for tests and diagnostics: each cell is its
    // character, or a space when empty.
    QString toText() const;
    // Cells printed (not empty).
    int printedCount() const;

    // Called after every change with the changed cell, or with (0, 0) when the whole board
    // changed. The board widget schedules its repaint from here.
    using ChangeListener = std::function<void(int row, int column)>;
    void setChangeListener(ChangeListener listener) { m_listener = std::move(listener); }

private:
    static int index(int row, int column) { return (row - 1) * PuzzleGrid::MaxSide + (column - 1); }
    void touchCell(int row, int column);
    void touchAll();

    int m_side = PuzzleGrid::MaxSide;
    std::array<Cell, PuzzleGrid::MaxSide * PuzzleGrid::MaxSide> m_cells{};
    ChangeListener m_listener;
};

} // namespace brivamo
