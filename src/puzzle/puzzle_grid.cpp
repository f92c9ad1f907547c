#include "puzzle/puzzle_grid.h"

#include <algorithm>

namespace brivamo {

void PuzzleGrid::recreate(int side)
{
    m_side = std::clamp(side, 1, MaxSide);
    m_solution.fill(QChar());
    m_puzzle.fill(QChar());
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
