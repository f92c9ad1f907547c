#include "puzzle/fill_guard.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

namespace brivamo {

namespace {

// Letters A to Z (either case) are symbols 0 to 25; any other character a word holds gets a
// symbol of its own after them; a character no word holds is NoMatch, which every state of
// the automaton answers with the root.
constexpr int LetterCount = 26;

char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'a' && u <= u'z' ? char16_t(u - (u'a' - u'A')) : u;
    return c.toUpper().unicode();
}

// Every word of a list and its reversal in one automaton, so that a single pass along each line
// of the four orientations finds all readings in all eight directions.
class Automaton
{
public:
    explicit Automaton(const QStringList &words) : m_words(words)
    {
        for (const QString &word : words)
            for (QChar c : word) {
                const char16_t f = folded(c);
                if (!(f >= u'A' && f <= u'Z') &&
                    std::find(m_extra.begin(), m_extra.end(), f) == m_extra.end())
                    m_extra.push_back(f);
            }
        m_symbols = LetterCount + static_cast<int>(m_extra.size()) + 1;
        build();
    }

    bool isFor(const QStringList &words) const { return m_words == words; }

    int symbols() const { return m_symbols; }
    int noMatch() const { return m_symbols - 1; }

    std::uint16_t symbolOf(QChar c) const
    {
        const char16_t f = folded(c);
        if (f >= u'A' && f <= u'Z')
            return static_cast<std::uint16_t>(f - u'A');
        for (std::size_t i = 0; i < m_extra.size(); ++i)
            if (m_extra[i] == f)
                return static_cast<std::uint16_t>(LetterCount + i);
        return static_cast<std::uint16_t>(noMatch());
    }

    // States are numbered premultiplied by the symbol count, and those where some pattern ends
    // come last, so a step is one load and the test for a reading one comparison.
    const std::uint32_t *next() const { return m_next.data(); }
    std::uint32_t firstReading() const { return m_firstReading; }
    // Lengths of the patterns ending in a state (at or after firstReading), each once.
    const std::vector<int> &lengths(std::uint32_t state) const
    {
        return m_lengths[(state - m_firstReading) / m_symbols];
    }

private:
    void build()
    {
        // Trie of the patterns: child[state * symbols + symbol], 0 for none (the root has no parent).
        std::vector<int> child(m_symbols, 0);
        std::vector<std::vector<int>> ends(1);
        int states = 1;
        auto add = [&](const std::vector<std::uint16_t> &pattern) {
            int state = 0;
            for (std::uint16_t s : pattern) {
                const std::size_t at = static_cast<std::size_t>(state) * m_symbols + s;
                if (child[at] == 0) {
                    child[at] = states++;
                    child.resize(static_cast<std::size_t>(states) * m_symbols, 0);
                    ends.emplace_back();
                }
                state = child[at];
            }
            auto &e = ends[state];
            if (std::find(e.begin(), e.end(), static_cast<int>(pattern.size())) == e.end())
                e.push_back(static_cast<int>(pattern.size()));
        };
        for (const QString &word : m_words) {
            if (word.isEmpty() || word.size() > PuzzleGrid::MaxSide)
                continue;
            std::vector<std::uint16_t> pattern;
            for (QChar c : word)
                pattern.push_back(symbolOf(c));
            add(pattern);
            std::reverse(pattern.begin(), pattern.end());
            add(pattern);
        }

        // Breadth first: failure links, full transitions, and the lengths ending in each state
        // (its own and its longest proper suffix's).
        std::vector<int> delta(static_cast<std::size_t>(states) * m_symbols, 0);
        std::vector<int> fail(states, 0);
        std::vector<int> order{0};
        for (std::size_t i = 0; i < order.size(); ++i) {
            const int state = order[i];
            if (state != 0)
                for (int length : ends[fail[state]])
                    if (std::find(ends[state].begin(), ends[state].end(), length) == ends[state].end())
                        ends[state].push_back(length);
            for (int s = 0; s < m_symbols; ++s) {
                const int c = child[static_cast<std::size_t>(state) * m_symbols + s];
                const int viaFail =
                    state == 0 ? 0 : delta[static_cast<std::size_t>(fail[state]) * m_symbols + s];
                if (c != 0 && s != noMatch()) {
                    fail[c] = viaFail;
                    delta[static_cast<std::size_t>(state) * m_symbols + s] = c;
                    order.push_back(c);
                } else {
                    delta[static_cast<std::size_t>(state) * m_symbols + s] = viaFail;
                }
            }
        }

        // Renumber: states without readings first.
        std::vector<int> number(states);
        int n = 0;
        for (int state = 0; state < states; ++state)
            if (ends[state].empty())
                number[state] = n++;
        m_firstReading = static_cast<std::uint32_t>(n) * m_symbols;
        for (int state = 0; state < states; ++state)
            if (!ends[state].empty()) {
                number[state] = n++;
                m_lengths.push_back(ends[state]);
            }
        m_next.assign(static_cast<std::size_t>(states) * m_symbols, 0);
        for (int state = 0; state < states; ++state)
            for (int s = 0; s < m_symbols; ++s)
                m_next[static_cast<std::size_t>(number[state]) * m_symbols + s] = static_cast<std::uint32_t>(
                    number[delta[static_cast<std::size_t>(state) * m_symbols + s]] * m_symbols);
    }

    QStringList m_words; // a copy: shares the caller's data until either changes
    std::vector<char16_t> m_extra;
    int m_symbols = 0;
    std::vector<std::uint32_t> m_next;
    std::uint32_t m_firstReading = 0;
    std::vector<std::vector<int>> m_lengths;
};

// Built once per list and thread; a list is compared cheaply while it is still shared.
const Automaton &automatonFor(const QStringList &words)
{
    thread_local std::unique_ptr<Automaton> cached;
    if (!cached || !cached->isFor(words))
        cached = std::make_unique<Automaton>(words);
    return *cached;
}

using RowMasks = std::array<std::uint32_t, PuzzleGrid::MaxSide>;

// A line of the square: its first cell, the step between cells, and how many cells it has.
struct Line
{
    int start;
    int step;
    int count;
};

// The lines of one orientation, numbered as lineOf numbers a cell's line.
Line lineOf(int orientation, int index, int side)
{
    constexpr int S = PuzzleGrid::Stride;
    switch (orientation) {
    case 0: // rows, left to right
        return {index * S, 1, side};
    case 1: // columns, downwards
        return {index, S, side};
    case 2: { // downwards to the right; index = column − row + side − 1
        const int d = index - (side - 1);
        return d >= 0 ? Line{d, S + 1, side - d} : Line{-d * S, S + 1, side + d};
    }
    default: { // downwards to the left; index = row + column
        const int row = index < side ? 0 : index - (side - 1);
        const int column = index - row;
        return {row * S + column, S - 1, index < side ? index + 1 : side - row};
    }
    }
}

class Scanner
{
public:
    Scanner(const Automaton &automaton, const QChar *puzzle, const QChar *solution, int side)
        : m_automaton(automaton), m_solution(solution), m_side(side)
    {
        for (int row = 0; row < side; ++row)
            for (int column = 0; column < side; ++column) {
                const int cell = row * PuzzleGrid::Stride + column;
                m_symbols[cell] = automaton.symbolOf(puzzle[cell]);
            }
    }

    void setLetter(int cell, QChar c) { m_symbols[cell] = m_automaton.symbolOf(c); }

    // Scans the lines whose bits are set in lines[orientation]; marks the fill cells of every
    // reading that uses one and returns how many did.
    int scan(const std::array<std::uint64_t, 4> &lines, RowMasks &marks) const
    {
        int found = 0;
        const std::uint32_t *next = m_automaton.next();
        const std::uint32_t firstReading = m_automaton.firstReading();
        for (int orientation = 0; orientation < 4; ++orientation) {
            for (std::uint64_t set = lines[orientation]; set != 0; set &= set - 1) {
                const Line line = lineOf(orientation, std::countr_zero(set), m_side);
                std::uint32_t state = 0;
                for (int k = 0, cell = line.start; k < line.count; ++k, cell += line.step) {
                    state = next[state + m_symbols[cell]];
                    if (state >= firstReading) [[unlikely]]
                        for (int length : m_automaton.lengths(state))
                            found += markIfThroughFill(cell, line.step, length, marks);
                }
            }
        }
        return found;
    }

private:
    bool markIfThroughFill(int last, int step, int length, RowMasks &marks) const
    {
        bool usesFill = false;
        for (int k = 0, cell = last; k < length; ++k, cell -= step)
            usesFill = usesFill || m_solution[cell] == PuzzleGrid::Dot;
        if (!usesFill)
            return false;
        for (int k = 0, cell = last; k < length; ++k, cell -= step)
            if (m_solution[cell] == PuzzleGrid::Dot)
                marks[cell / PuzzleGrid::Stride] |= 1u << (cell % PuzzleGrid::Stride);
        return true;
    }

    const Automaton &m_automaton;
    const QChar *m_solution;
    const int m_side;
    std::array<std::uint16_t, PuzzleGrid::MaxSide * PuzzleGrid::Stride> m_symbols;
};

} // namespace

bool ClearSecondReadings(PuzzleGrid &grid, const QStringList &words, modStandard::RandomSource &random)
{
    const int side = grid.side();
    QChar *puzzle = grid.puzzleCells();
    const QChar *solution = grid.solutionCells();
    const Automaton &automaton = automatonFor(words);
    Scanner scanner(automaton, puzzle, solution, side);
    // Every line at first; afterwards only those through a redrawn cell, since any other line
    // is unchanged and held no reading.
    const std::uint64_t straight = (std::uint64_t(1) << side) - 1;
    const std::uint64_t diagonal = (std::uint64_t(1) << (2 * side - 1)) - 1;
    std::array<std::uint64_t, 4> lines{straight, straight, diagonal, diagonal};
    for (int round = 0;; ++round) {
        RowMasks marks{};
        if (scanner.scan(lines, marks) == 0)
            return true;
        if (round == MaxFillRounds)
            return false;
        lines = {};
        for (int row = 0; row < side; ++row) {
            for (std::uint32_t columns = marks[row]; columns != 0; columns &= columns - 1) {
                const int column = std::countr_zero(columns);
                const int cell = row * PuzzleGrid::Stride + column;
                puzzle[cell] = QChar(random.inRange('A', 'Z'));
                scanner.setLetter(cell, puzzle[cell]);
                lines[0] |= std::uint64_t(1) << row;
                lines[1] |= std::uint64_t(1) << column;
                lines[2] |= std::uint64_t(1) << (column - row + side - 1);
                lines[3] |= std::uint64_t(1) << (row + column);
            }
        }
    }
}

} // namespace brivamo
