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
    // The longest word's length (at most a side).
    int longest() const { return m_longest; }

    int symbols() const { return m_symbols; }
    int noMatch() const { return m_symbols - 1; }

    std::uint16_t symbolOf(QChar c) const
    {
        if (const unsigned letter = c.unicode() - unsigned(u'A'); letter < LetterCount) [[likely]]
            return static_cast<std::uint16_t>(letter);
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
            m_longest = std::max(m_longest, static_cast<int>(word.size()));
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
    int m_longest = 1;
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

constexpr int Orientations = 4;
// Each orientation's lines one after another, a separator after each: at most 30 rows of 30
// cells, or 59 diagonals holding 900 cells.
constexpr int StreamSize = 1024;

// Where each cell of a square of one side lies in the four streams (rows left to right, columns
// downwards, diagonals downwards to the right and to the left), and which cell each position
// holds (−1: a separator).
struct StreamLayout
{
    explicit StreamLayout(int side) : side(side)
    {
        for (auto &cells : cellAt)
            cells.fill(-1);
        for (int orientation = 0; orientation < Orientations; ++orientation) {
            int at = 0;
            for (int line = 0; line < lineCount(orientation); ++line) {
                for (int row = 0; row < side; ++row)
                    for (int column = 0; column < side; ++column)
                        if (lineIndex(orientation, row, column) == line) {
                            const int cell = row * PuzzleGrid::Stride + column;
                            position[orientation][cell] = static_cast<std::uint16_t>(at);
                            cellAt[orientation][at++] = static_cast<std::int16_t>(cell);
                        }
                lineEnd[orientation][line] = static_cast<std::uint16_t>(at);
                ++at; // separator
            }
            length[orientation] = at;
        }
    }

    int lineCount(int orientation) const { return orientation < 2 ? side : 2 * side - 1; }

    // The line of a cell, numbered so that cells along it come in stream order.
    int lineIndex(int orientation, int row, int column) const
    {
        switch (orientation) {
        case 0:
            return row;
        case 1:
            return column;
        case 2:
            return column - row + side - 1;
        default:
            return row + column;
        }
    }

    int side;
    std::array<int, Orientations> length{};
    std::array<std::array<std::uint16_t, PuzzleGrid::MaxSide * PuzzleGrid::Stride>, Orientations> position{};
    std::array<std::array<std::int16_t, StreamSize>, Orientations> cellAt{};
    std::array<std::array<std::uint16_t, 2 * PuzzleGrid::MaxSide>, Orientations> lineStart{};
    std::array<std::array<std::uint16_t, 2 * PuzzleGrid::MaxSide>, Orientations> lineEnd{};
};

const StreamLayout &layoutFor(int side)
{
    thread_local std::unique_ptr<StreamLayout> cached;
    if (!cached || cached->side != side)
        cached = std::make_unique<StreamLayout>(side);
    return *cached;
}

// The square's letters as automaton symbols in the four streams; a line's cells follow each other
// (within rows, top to bottom within columns and diagonals), so a pass along a stream reads every
// line forwards, and the reversed words read it backwards.
class Scanner
{
public:
    Scanner(const Automaton &automaton, const StreamLayout &layout, const QChar *puzzle,
            const QChar *solution)
        : m_automaton(automaton), m_layout(layout), m_solution(solution)
    {
        const std::uint16_t separator = static_cast<std::uint16_t>(automaton.noMatch());
        for (int orientation = 0; orientation < Orientations; ++orientation)
            for (int line = 0; line < layout.lineCount(orientation); ++line)
                m_streams[orientation][layout.lineEnd[orientation][line]] = separator;
        for (int row = 0; row < layout.side; ++row)
            for (int column = 0; column < layout.side; ++column)
                setLetter(row * PuzzleGrid::Stride + column, puzzle[row * PuzzleGrid::Stride + column]);
    }

    void setLetter(int cell, QChar c)
    {
        const std::uint16_t symbol = m_automaton.symbolOf(c);
        for (int orientation = 0; orientation < Orientations; ++orientation)
            m_streams[orientation][m_layout.position[orientation][cell]] = symbol;
    }

    // Scans stream positions begin to end (exclusive) from the root state; marks the fill cells
    // of every reading there that uses one and returns how many did.
    // Kept out of line so that its loop has the registers to itself.
    [[gnu::noinline]] int scan(int orientation, int begin, int end, RowMasks &marks,
                               std::size_t state = 0) const
    {
        int found = 0;
        const std::uint32_t *next = m_automaton.next();
        const std::uint32_t firstReading = m_automaton.firstReading();
        const std::uint16_t *stream = m_streams[orientation].data();
        // Two symbols a round: the loop's own bookkeeping is a third of its work otherwise.
        int at = begin;
        for (; at + 1 < end; at += 2) {
            state = next[state + stream[at]];
            if (state >= firstReading) [[unlikely]]
                found += markReadings(orientation, at, static_cast<std::uint32_t>(state), marks);
            state = next[state + stream[at + 1]];
            if (state >= firstReading) [[unlikely]]
                found += markReadings(orientation, at + 1, static_cast<std::uint32_t>(state), marks);
        }
        if (at < end) {
            state = next[state + stream[at]];
            if (state >= firstReading)
                found += markReadings(orientation, at, static_cast<std::uint32_t>(state), marks);
        }
        return found;
    }

    // All four streams whole. Each step of a stream waits for the step before it (a load from
    // the table), so the four are walked side by side, their steps overlapping in time.
    [[gnu::noinline]] int scanAll(RowMasks &marks) const
    {
        int found = 0;
        const std::uint32_t *next = m_automaton.next();
        const std::size_t firstReading = m_automaton.firstReading();
        const std::uint16_t *rows = m_streams[0].data();
        const std::uint16_t *columns = m_streams[1].data();
        const std::uint16_t *down = m_streams[2].data();
        const std::uint16_t *up = m_streams[3].data();
        const int common = std::min(m_layout.length[0], m_layout.length[2]);
        std::array<std::size_t, Orientations> state{};
        for (int at = 0; at < common; ++at) {
            state[0] = next[state[0] + rows[at]];
            state[1] = next[state[1] + columns[at]];
            state[2] = next[state[2] + down[at]];
            state[3] = next[state[3] + up[at]];
            if (std::max(std::max(state[0], state[1]), std::max(state[2], state[3])) >= firstReading)
                [[unlikely]]
                for (int orientation = 0; orientation < Orientations; ++orientation)
                    if (state[orientation] >= firstReading)
                        found += markReadings(orientation, at, static_cast<std::uint32_t>(state[orientation]),
                                              marks);
        }
        for (int orientation = 0; orientation < Orientations; ++orientation)
            found += scan(orientation, common, m_layout.length[orientation], marks, state[orientation]);
        return found;
    }

private:
    [[gnu::noinline]] int markReadings(int orientation, int last, std::uint32_t state, RowMasks &marks) const
    {
        int found = 0;
        for (int length : m_automaton.lengths(state))
            found += markIfThroughFill(orientation, last, length, marks);
        return found;
    }

    bool markIfThroughFill(int orientation, int last, int length, RowMasks &marks) const
    {
        const std::int16_t *cells = m_layout.cellAt[orientation].data() + last + 1 - length;
        bool usesFill = false;
        for (int k = 0; k < length; ++k)
            usesFill = usesFill || m_solution[cells[k]] == PuzzleGrid::Dot;
        if (!usesFill)
            return false;
        for (int k = 0; k < length; ++k)
            if (m_solution[cells[k]] == PuzzleGrid::Dot)
                marks[cells[k] / PuzzleGrid::Stride] |= 1u << (cells[k] % PuzzleGrid::Stride);
        return true;
    }

    const Automaton &m_automaton;
    const StreamLayout &m_layout;
    const QChar *m_solution;
    std::array<std::array<std::uint16_t, StreamSize>, Orientations> m_streams;
};

} // namespace

bool ClearSecondReadings(PuzzleGrid &grid, const QStringList &words, modStandard::RandomSource &random)
{
    const int side = grid.side();
    QChar *puzzle = grid.puzzleCells();
    const QChar *solution = grid.solutionCells();
    const Automaton &automaton = automatonFor(words);
    const StreamLayout &layout = layoutFor(side);
    Scanner scanner(automaton, layout, puzzle, solution);
    RowMasks marks{};
    int found = scanner.scanAll(marks);
    // Later rounds look only where a reading could hold a redrawn cell: any other stretch is
    // unchanged and held no reading.
    std::array<std::uint16_t, PuzzleGrid::MaxSide * PuzzleGrid::MaxSide> redrawn;
    const int reach = automaton.longest() - 1;
    for (int round = 0;; ++round) {
        if (found == 0)
            return true;
        if (round == MaxFillRounds)
            return false;
        int redrawnCount = 0;
        for (int row = 0; row < side; ++row) {
            for (std::uint32_t columns = marks[row]; columns != 0; columns &= columns - 1) {
                const int cell = row * PuzzleGrid::Stride + std::countr_zero(columns);
                puzzle[cell] = QChar(random.inRange('A', 'Z'));
                scanner.setLetter(cell, puzzle[cell]);
                redrawn[redrawnCount++] = static_cast<std::uint16_t>(cell);
            }
        }
        marks = {};
        found = 0;
        for (int orientation = 0; orientation < Orientations; ++orientation) {
            // Many redrawn cells: one pass over the whole stream is less work.
            if (redrawnCount * (2 * reach + 1) >= layout.length[orientation]) {
                found += scanner.scan(orientation, 0, layout.length[orientation], marks);
                continue;
            }
            for (int i = 0; i < redrawnCount; ++i) {
                const int at = layout.position[orientation][redrawn[i]];
                found += scanner.scan(orientation, std::max(0, at - reach),
                                      std::min(layout.length[orientation], at + reach + 1), marks);
            }
        }
    }
}

} // namespace brivamo
