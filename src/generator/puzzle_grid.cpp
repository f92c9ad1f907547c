#include "generator/puzzle_grid.h"

#include <algorithm>
#include <cstring>

namespace brivamo {

void PuzzleGrid::recreate(int side)
{
    // Cells outside the square are always empty, so only the rows the old or the new square
    // uses need clearing (the generator recreates once per attempt). An empty QChar is all
    // zero bytes.
    const int used = std::max(m_side, std::clamp(side, 1, MaxSide));
    m_side = std::clamp(side, 1, MaxSide);
    static_assert(sizeof(QChar) == sizeof(char16_t));
    std::memset(static_cast<void *>(m_solution.data()), 0, sizeof(QChar) * used * Stride);
    std::memset(static_cast<void *>(m_puzzle.data()), 0, sizeof(QChar) * used * Stride);
}

QString PuzzleGrid::solutionText(int row, int column) const
{
    const QChar c = solution(row, column);
    return c.isNull() ? QString() : QString(c);
}

QString PuzzleGrid::puzzleText(int row, int column) const
{
    const QChar c = puzzle(row, column);
    return c.isNull() ? QString() : QString(c);
}

QString PuzzleGrid::rowText(const std::array<QChar, MaxSide * MaxSide> &layer, int row) const
{
    QString text;
    text.reserve(2 * m_side);
    for (int column = 1; column <= m_side; ++column) {
        if (column > 1)
            text += QLatin1Char(' ');
        const QChar c = layer[index(row, column)];
        text += c.isNull() ? QChar(QLatin1Char(' ')) : c;
    }
    return text;
}

QString PuzzleGrid::solutionRow(int row) const
{
    return rowText(m_solution, row);
}

QString PuzzleGrid::puzzleRow(int row) const
{
    return rowText(m_puzzle, row);
}

} // namespace brivamo
