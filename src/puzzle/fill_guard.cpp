#include "puzzle/fill_guard.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace brivamo {

namespace {

// Letters become codes 0 to 25; anything else shares one code, which only pre-selects lines
// (every line found is compared letter by letter). Any matches every cell: it stands for the
// second or third letter that a short word does not have.
constexpr int Other = 26;
constexpr int Any = 27;
constexpr int CodeCount = 28;
// Rows of margin above and below the square, so that looking two rows ahead or back never
// leaves the array, and the square's rows rounded up to whole groups of four.
constexpr int Margin = 2;
constexpr int ScannedRows = 32;
constexpr int BoardRows = ScannedRows + 2 * Margin;
static_assert(PuzzleGrid::MaxSide <= ScannedRows);

int codeOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    if (u < 0x80)
        return u >= u'a' && u <= u'z' ? u - u'a' : Other;
    const char16_t upper = c.toUpper().unicode();
    return upper >= u'A' && upper <= u'Z' ? upper - u'A' : Other;
}

// Equal as the solver reads them (upper case); plain capitals, the usual case, need no lookup.
bool sameUpper(QChar a, QChar b)
{
    if (a == b)
        return true;
    if (a.unicode() < 0x80 && b.unicode() < 0x80)
        return codeOf(a) == codeOf(b) && codeOf(a) != Other;
    return a.toUpper() == b.toUpper();
}

// Four rows' masks at once; the compiler maps these onto the machine's vector registers.
using Lanes = std::uint32_t __attribute__((vector_size(16)));

Lanes loadLanes(const std::uint32_t *rows)
{
    Lanes lanes;
    std::memcpy(&lanes, rows, sizeof lanes);
    return lanes;
}

// For each code, one bit mask per row of where the puzzle layer holds it (bit c: column c + 1).
// Rows outside the square are empty, except for Any, which is full everywhere.
class LetterBoard
{
public:
    LetterBoard(const QChar *puzzle, int side)
    {
        for (auto &rows : m_rows)
            rows.fill(0);
        m_rows[Any].fill(~0u);
        for (int row = 0; row < side; ++row)
            for (int column = 0; column < side; ++column)
                set(codeOf(puzzle[row * PuzzleGrid::Stride + column]), row, column);
    }

    const std::uint32_t *rows(int code) const { return m_rows[code].data() + Margin; }

    void replace(int oldCode, int newCode, int row, int column)
    {
        m_rows[oldCode][row + Margin] &= ~(1u << column);
        set(newCode, row, column);
    }

private:
    void set(int code, int row, int column) { m_rows[code][row + Margin] |= 1u << column; }

    alignas(16) std::array<std::array<std::uint32_t, BoardRows>, CodeCount> m_rows;
};

using RowMasks = std::array<std::uint32_t, ScannedRows>;

// Bit c of starts[r]: the line from (r, c) in this direction begins with the three codes (the
// rest of the word is compared later). Returns false when no line does.
template <int RowStep, int ColumnStep>
bool findStarts(const LetterBoard &board, int first, int second, int third, int rowCount, RowMasks &starts)
{
    const std::uint32_t *a = board.rows(first);
    const std::uint32_t *b = board.rows(second) + RowStep;
    const std::uint32_t *c = board.rows(third) + 2 * RowStep;
    // A letter the word does not have matches everywhere, also where shifting would lose edge bits.
    const Lanes nextMissing = Lanes{} + (second == Any ? ~0u : 0u);
    const Lanes afterNextMissing = Lanes{} + (third == Any ? ~0u : 0u);
    Lanes any{};
    for (int row = 0; row < rowCount; row += 4) {
        Lanes next = loadLanes(b + row);
        Lanes afterNext = loadLanes(c + row);
        // Brings the letter one (two) columns along the direction back to the start column.
        if constexpr (ColumnStep > 0) {
            next >>= 1;
            afterNext >>= 2;
        } else if constexpr (ColumnStep < 0) {
            next <<= 1;
            afterNext <<= 2;
        }
        const Lanes hits = loadLanes(a + row) & (next | nextMissing) & (afterNext | afterNextMissing);
        std::memcpy(starts.data() + row, &hits, sizeof hits);
        any |= hits;
    }
    return (any[0] | any[1] | any[2] | any[3]) != 0;
}

using StartFinder = bool (*)(const LetterBoard &, int, int, int, int, RowMasks &);
constexpr std::array<StartFinder, 9> StartFinders{
    nullptr,           &findStarts<-1, 0>, &findStarts<-1, 1>, &findStarts<0, 1>,   &findStarts<1, 1>,
    &findStarts<1, 0>, &findStarts<1, -1>, &findStarts<0, -1>, &findStarts<-1, -1>,
};

// Compares the whole word along the line from (row, column) (0-based); when it reads there and
// the line uses a fill cell, marks the line's fill cells and returns true.
bool markIfReading(const QChar *puzzle, const QChar *solution, int side, const QString &word, int row,
                   int column, const DirectionStep &step, RowMasks &marks)
{
    const int length = static_cast<int>(word.size());
    const int lastRow = row + (length - 1) * step.row;
    const int lastColumn = column + (length - 1) * step.column;
    if (lastRow < 0 || lastRow >= side || lastColumn < 0 || lastColumn >= side)
        return false;
    const int stride = step.row * PuzzleGrid::Stride + step.column;
    const int start = row * PuzzleGrid::Stride + column;
    bool usesFill = false;
    for (int k = 0; k < length; ++k) {
        const int cell = start + k * stride;
        if (!sameUpper(puzzle[cell], word[k]))
            return false;
        usesFill = usesFill || solution[cell] == PuzzleGrid::Dot;
    }
    if (!usesFill)
        return false;
    for (int k = 0; k < length; ++k)
        if (solution[start + k * stride] == PuzzleGrid::Dot)
            marks[row + k * step.row] |= 1u << (column + k * step.column);
    return true;
}

// One pass over every word and direction; returns the number of readings marked.
int markReadings(const LetterBoard &board, const QChar *puzzle, const QChar *solution, int side,
                 const QStringList &words, RowMasks &marks)
{
    int found = 0;
    RowMasks starts;
    const int rowCount = (side + 3) / 4 * 4;
    for (const QString &word : words) {
        const int length = static_cast<int>(word.size());
        if (length == 0 || length > side)
            continue;
        const int first = codeOf(word[0]);
        const int second = length > 1 ? codeOf(word[1]) : Any;
        const int third = length > 2 ? codeOf(word[2]) : Any;
        // A one-letter word reads the same in every direction.
        const int lastDirection = length == 1 ? 1 : 8;
        for (int direction = 1; direction <= lastDirection; ++direction) {
            if (!StartFinders[direction](board, first, second, third, rowCount, starts))
                continue;
            for (int row = 0; row < side; ++row)
                for (std::uint32_t columns = starts[row]; columns != 0; columns &= columns - 1)
                    found += markIfReading(puzzle, solution, side, word, row, std::countr_zero(columns),
                                           DirectionSteps[direction], marks);
        }
    }
    return found;
}

} // namespace

bool ClearSecondReadings(PuzzleGrid &grid, const QStringList &words, modStandard::RandomSource &random)
{
    const int side = grid.side();
    QChar *puzzle = grid.puzzleCells();
    const QChar *solution = grid.solutionCells();
    LetterBoard board(puzzle, side);
    for (int round = 0;; ++round) {
        RowMasks marks{};
        if (markReadings(board, puzzle, solution, side, words, marks) == 0)
            return true;
        if (round == MaxFillRounds)
            return false;
        for (int row = 0; row < side; ++row) {
            for (std::uint32_t columns = marks[row]; columns != 0; columns &= columns - 1) {
                const int column = std::countr_zero(columns);
                QChar &cell = puzzle[row * PuzzleGrid::Stride + column];
                const QChar redrawn(random.inRange('A', 'Z'));
                board.replace(codeOf(cell), codeOf(redrawn), row, column);
                cell = redrawn;
            }
        }
    }
}

} // namespace brivamo
