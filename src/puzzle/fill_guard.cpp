#include "puzzle/fill_guard.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace brivamo {

namespace {

using RowMasks = CellRows;

// Reads the four streams of a square's letters; a line's cells follow each other (within rows,
// top to bottom within columns and diagonals), so a pass along a stream reads every line
// forwards, and the reversed words read it backwards.
class Scanner
{
public:
    Scanner(const ListCodes &codes, const StreamLayout &layout, LetterStreams &streams, const QChar *solution,
            std::span<const PlacedStretch> placed, const CellRows *kept)
        : m_automaton(codes.automaton()), m_layout(layout), m_streams(streams), m_solution(solution),
          m_placed(placed), m_kept(kept)
    {
    }

    // Whether some reading was made of placed letters where no redraw can clear it.
    bool spoiled() const { return m_spoiled; }

    // Scans stream positions begin to end (exclusive) from the root state; marks the fill cells
    // of every reading there that uses one and returns how many did.
    int scan(int orientation, int begin, int end, RowMasks &marks, std::size_t state = 0) const
    {
        if (const std::uint16_t *compact = m_automaton.compactNext())
            return scanWith(compact, orientation, begin, end, marks, state);
        return scanWith(m_automaton.next(), orientation, begin, end, marks, state);
    }

    // All four streams whole.
    int scanAll(RowMasks &marks) const
    {
        if (const std::uint16_t *compact = m_automaton.compactNext())
            return scanAllWith(compact, marks);
        return scanAllWith(m_automaton.next(), marks);
    }

private:
    // Kept out of line so that its loop has the registers to itself.
    template <class State>
    [[gnu::noinline]] int scanWith(const State *next, int orientation, int begin, int end, RowMasks &marks,
                                   std::size_t state) const
    {
        int found = 0;
        const std::uint32_t firstReading = m_automaton.firstReading();
        const std::uint16_t *cells = m_streams.cells();
        const std::uint16_t *stream = m_layout.cellAt[orientation].data();
        // Two symbols a round: the loop's own bookkeeping is a third of its work otherwise.
        int at = begin;
        for (; at + 1 < end; at += 2) {
            state = next[state + cells[stream[at]]];
            if (state >= firstReading) [[unlikely]]
                found += markReadings(orientation, at, static_cast<std::uint32_t>(state), marks);
            state = next[state + cells[stream[at + 1]]];
            if (state >= firstReading) [[unlikely]]
                found += markReadings(orientation, at + 1, static_cast<std::uint32_t>(state), marks);
        }
        if (at < end) {
            state = next[state + cells[stream[at]]];
            if (state >= firstReading)
                found += markReadings(orientation, at, static_cast<std::uint32_t>(state), marks);
        }
        return found;
    }

    // Each step of a stream waits for the step before it (a load from the table), so the four
    // are walked side by side, their steps overlapping in time.
    template <class State> [[gnu::noinline]] int scanAllWith(const State *next, RowMasks &marks) const
    {
        int found = 0;
        const std::size_t firstReading = m_automaton.firstReading();
        const std::uint16_t *cells = m_streams.cells();
        const std::uint16_t *rows = m_layout.cellAt[0].data();
        const std::uint16_t *columns = m_layout.cellAt[1].data();
        const std::uint16_t *down = m_layout.cellAt[2].data();
        const std::uint16_t *up = m_layout.cellAt[3].data();
        const int common = std::min(m_layout.length[0], m_layout.length[2]);
        std::array<std::size_t, Orientations> state{};
        for (int at = 0; at < common; ++at) {
            state[0] = next[state[0] + cells[rows[at]]];
            state[1] = next[state[1] + cells[columns[at]]];
            state[2] = next[state[2] + cells[down[at]]];
            state[3] = next[state[3] + cells[up[at]]];
            if (std::max(std::max(state[0], state[1]), std::max(state[2], state[3])) >= firstReading)
                [[unlikely]]
                for (int orientation = 0; orientation < Orientations; ++orientation)
                    if (state[orientation] >= firstReading)
                        found += markReadings(orientation, at, static_cast<std::uint32_t>(state[orientation]),
                                              marks);
        }
        for (int orientation = 0; orientation < Orientations; ++orientation)
            found +=
                scanWith(next, orientation, common, m_layout.length[orientation], marks, state[orientation]);
        return found;
    }

    [[gnu::noinline]] int markReadings(int orientation, int last, std::uint32_t state, RowMasks &marks) const
    {
        int found = 0;
        for (const ReadingAutomaton::Ending &ending : m_automaton.endings(state))
            found += markIfThroughFill(orientation, last, ending, marks);
        return found;
    }

    bool markIfThroughFill(int orientation, int last, ReadingAutomaton::Ending ending, RowMasks &marks) const
    {
        const int length = ending.length;
        const std::uint16_t *cells = m_layout.cellAt[orientation].data() + last + 1 - length;
        bool usesFill = false;
        for (int k = 0; k < length; ++k)
            usesFill = usesFill || m_solution[cells[k]] == PuzzleGrid::Dot;
        if (!usesFill) {
            if (ending.blocked || !insidePlacedWord(orientation, last + 1 - length, last, ending.word))
                m_spoiled = true;
            return false;
        }
        for (int k = 0; k < length; ++k)
            if (m_solution[cells[k]] == PuzzleGrid::Dot) {
                const int row = cells[k] / PuzzleGrid::Stride;
                const std::uint32_t bit = 1u << (cells[k] % PuzzleGrid::Stride);
                marks[row] |= bit;
                if (m_kept && ((*m_kept)[row] & bit))
                    m_spoiled = true;
            }
        return true;
    }

    // The list made a reading that lies within one word's own stretch. Most such readings are
    // a word where it was placed (the word placed as number word), so that one is asked first.
    bool insidePlacedWord(int orientation, int first, int last, int word) const
    {
        auto holds = [&](const PlacedStretch &placed) {
            return placed.orientation == orientation && placed.first <= first && last <= placed.last;
        };
        if (word >= 0 && word < static_cast<int>(m_placed.size()) && holds(m_placed[word]))
            return true;
        return std::any_of(m_placed.begin(), m_placed.end(), holds);
    }

    const ReadingAutomaton &m_automaton;
    const StreamLayout &m_layout;
    LetterStreams &m_streams;
    const QChar *m_solution;
    std::span<const PlacedStretch> m_placed;
    const CellRows *m_kept;
    mutable bool m_spoiled = false;
};

} // namespace

bool ClearSecondReadings(PuzzleGrid &grid, const ListCodes &codes, const StreamLayout &layout,
                         LetterStreams &streams, modStandard::RandomSource &random,
                         std::span<const PlacedStretch> placed, const CellRows *kept)
{
    const int side = grid.side();
    QChar *puzzle = grid.puzzleCells();
    Scanner scanner(codes, layout, streams, grid.solutionCells(), placed, kept);
    RowMasks marks{};
    int found = scanner.scanAll(marks);
    // Readings of placed letters alone are all found by this first scan; redraws cannot undo them.
    if (scanner.spoiled())
        return false;
    const int alphabetSize = codes.alphabet().size();
    // Later rounds look only where a reading could hold a redrawn cell: any other stretch is
    // unchanged and held no reading.
    std::array<std::uint16_t, PuzzleGrid::MaxSide * PuzzleGrid::MaxSide> redrawn;
    std::array<int, PuzzleGrid::MaxSide * PuzzleGrid::MaxSide> positions;
    const int reach = codes.automaton().longest() - 1;
    for (int round = 0;; ++round) {
        if (scanner.spoiled())
            return false; // a reading needs a kept cell
        if (found == 0)
            return true;
        if (round == MaxFillRounds)
            return false;
        int redrawnCount = 0;
        for (int row = 0; row < side; ++row) {
            for (std::uint32_t columns = marks[row]; columns != 0; columns &= columns - 1) {
                const int cell = row * PuzzleGrid::Stride + std::countr_zero(columns);
                // For A to Z this is the draw of 'A' to 'Z' it has always been.
                const int letter = random.inRange('A', 'A' + alphabetSize - 1) - 'A';
                puzzle[cell] = codes.fillLetter(letter);
                streams.setCell(cell, codes.fillCode(letter));
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
            // Neighbouring redrawn cells (a reading's letters, mostly) share one stretch.
            for (int i = 0; i < redrawnCount; ++i)
                positions[i] = layout.position[orientation][redrawn[i]];
            std::sort(positions.begin(), positions.begin() + redrawnCount);
            for (int i = 0; i < redrawnCount;) {
                const int begin = std::max(0, positions[i] - reach);
                int end = positions[i] + reach + 1;
                while (++i < redrawnCount && positions[i] - reach <= end)
                    end = positions[i] + reach + 1;
                found += scanner.scan(orientation, begin, std::min(layout.length[orientation], end), marks);
            }
        }
    }
}

} // namespace brivamo
