#pragma once

#include <QChar>
#include <QString>

#include <array>

namespace brivamo {

// The square being built: a solution layer with the placed words' letters and a puzzle
// layer that candidates scribble into. A cell is empty (a null QChar) or holds one character.
// Rows and columns run from 1 to side(). Storage is fixed, so a grid never allocates.
class PuzzleGrid
{
public:
    static constexpr int MaxSide = 30;
    // What the completion fill leaves in every solution cell no word uses.
    static constexpr QChar Dot = QChar(0x00B7);

    explicit PuzzleGrid(int side = MaxSide) { recreate(side); }

    // Empties both layers and sets the side (clamped to 1 to MaxSide).
    void recreate(int side);

    int side() const { return m_side; }

    QChar solution(int row, int column) const { return m_solution[index(row, column)]; }
    QChar puzzle(int row, int column) const { return m_puzzle[index(row, column)]; }
    void setSolution(int row, int column, QChar content) { m_solution[index(row, column)] = content; }
    void setPuzzle(int row, int column, QChar content) { m_puzzle[index(row, column)] = content; }

    // The cell as a string of 0 or 1 character.
    QString solutionText(int row, int column) const;
    QString puzzleText(int row, int column) const;

    // One row of a layer, cells separated by single spaces (an empty cell shows as a space).
    QString solutionRow(int row) const;
    QString puzzleRow(int row) const;

    // The layers as plain arrays for the generator's inner loops: cell (row, column) is
    // element index(row, column), and a step of one row is Stride elements.
    static constexpr int Stride = MaxSide;
    static constexpr int index(int row, int column) { return (row - 1) * Stride + (column - 1); }
    QChar *solutionCells() { return m_solution.data(); }
    QChar *puzzleCells() { return m_puzzle.data(); }
    const QChar *solutionCells() const { return m_solution.data(); }
    const QChar *puzzleCells() const { return m_puzzle.data(); }

private:
    QString rowText(const std::array<QChar, MaxSide * MaxSide> &layer, int row) const;

    int m_side = MaxSide;
    std::array<QChar, MaxSide * MaxSide> m_solution{};
    std::array<QChar, MaxSide * MaxSide> m_puzzle{};
};

// Row and column steps of the eight directions, clockwise from upwards (codes 1 to 8).
struct DirectionStep
{
    int row;
    int column;
};
inline constexpr std::array<DirectionStep, 9> DirectionSteps{{
    {0, 0},   // unused: codes start at 1
    {-1, 0},  // 1 upwards
    {-1, 1},  // 2 upwards to the right
    {0, 1},   // 3 left to right
    {1, 1},   // 4 downwards to the right
    {1, 0},   // 5 downwards
    {1, -1},  // 6 downwards to the left
    {0, -1},  // 7 right to left
    {-1, -1}, // 8 upwards to the left
}};

// The current candidate for one word; letter k (1 to length) lies at
// (startRow + (k − 1) × rowStep, startColumn + (k − 1) × columnStep).
struct WordPlacement
{
    int startRow = 1;
    int startColumn = 1;
    int direction = 8;
    int rowStep = -1;
    int columnStep = -1;
    int length = 0;

    int rowOf(int k) const { return startRow + (k - 1) * rowStep; }
    int columnOf(int k) const { return startColumn + (k - 1) * columnStep; }
    // Sets the direction code and its steps.
    void setDirection(int code)
    {
        direction = code;
        rowStep = DirectionSteps[code].row;
        columnStep = DirectionSteps[code].column;
    }
    // True when the last letter stays inside a square of the given side (the first lies in it).
    // One expression rather than a branch a test: for a random candidate no test is foreseeable.
    bool fits(int side) const
    {
        const int lastRow = rowOf(length);
        const int lastColumn = columnOf(length);
        return (lastRow >= 1) & (lastRow <= side) & (lastColumn >= 1) & (lastColumn <= side);
    }
};

} // namespace brivamo
