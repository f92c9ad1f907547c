#include "puzzle/puzzle_board_model.h"

#include <algorithm>

namespace brivamo {

void PuzzleBoardModel::reset(int side)
{
    m_side = std::clamp(side, 1, PuzzleGrid::MaxSide);
    m_cells.fill(Cell{});
    touchAll();
}

void PuzzleBoardModel::clear()
{
    m_cells.fill(Cell{});
    touchAll();
}

void PuzzleBoardModel::blankCell(int row, int column)
{
    m_cells[index(row, column)] = Cell{};
    touchCell(row, column);
}

void PuzzleBoardModel::printCell(int row, int column, QChar text, BoardInk ink)
{
    if (text.isNull())
        return;
    // Text printed over text replaces it: the board has one character box per cell.
    m_cells[index(row, column)] = Cell{text, ink};
    touchCell(row, column);
}

void PuzzleBoardModel::showTried(int row, int column, QChar letter)
{
    blankCell(row, column);
    printCell(row, column, letter, BoardInk::DarkRed);
}

void PuzzleBoardModel::showReverted(int row, int column, QChar solutionContent)
{
    blankCell(row, column);
    if (solutionContent.isNull())
        printCell(row, column, PuzzleGrid::Dot, BoardInk::Black);
    else
        printCell(row, column, solutionContent, BoardInk::Navy);
}

void PuzzleBoardModel::showCommitted(int row, int column, QChar letter)
{
    printCell(row, column, letter, BoardInk::Navy);
}

void PuzzleBoardModel::drawEmptyBoard()
{
    m_cells.fill(Cell{});
    for (int row = 1; row <= m_side; ++row)
        for (int column = 1; column <= m_side; ++column)
            m_cells[index(row, column)] = Cell{PuzzleGrid::Dot, BoardInk::Black};
    touchAll();
}

void PuzzleBoardModel::drawBoard(const PuzzleGrid &grid, BoardLayer layer)
{
    m_cells.fill(Cell{});
    const int side = std::min(m_side, grid.side());
    for (int row = 1; row <= side; ++row) {
        for (int column = 1; column <= side; ++column) {
            const QChar content =
                layer == BoardLayer::Puzzle ? grid.puzzle(row, column) : grid.solution(row, column);
            if (content.isNull())
                continue;
            m_cells[index(row, column)] =
                Cell{content, content == PuzzleGrid::Dot ? BoardInk::Silver : BoardInk::Black};
        }
    }
    touchAll();
}

QString PuzzleBoardModel::toText() const
{
    QString out;
    out.reserve((m_side + 1) * m_side);
    for (int row = 1; row <= m_side; ++row) {
        for (int column = 1; column <= m_side; ++column) {
            const QChar c = text(row, column);
            out += c.isNull() ? QChar(u' ') : c;
        }
        out += u'\n';
    }
    return out;
}

int PuzzleBoardModel::printedCount() const
{
    return static_cast<int>(
        std::count_if(m_cells.begin(), m_cells.end(), [](const Cell &c) { return !c.text.isNull(); }));
}

void PuzzleBoardModel::touchCell(int row, int column)
{
    if (m_listener)
        m_listener(row, column);
}

void PuzzleBoardModel::touchAll()
{
    if (m_listener)
        m_listener(0, 0);
}

} // namespace brivamo
