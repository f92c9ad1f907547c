#include "puzzle/fill_guard.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace brivamo {

namespace {

using RowMasks = CellRows;

// Whether stream positions first to last of an orientation lie within a placed word's stretch.
bool Covers(const PlacedStretch &stretch, int orientation, int first, int last)
{
    return stretch.orientation == orientation && stretch.first <= first && last <= stretch.last;
}

// Whether a listed word's reading (of two letters or more) lies where that word was placed.
bool ReadWherePlaced(std::span<const PlacedStretch> placed, int orientation, int first, int last, int word)
{
    return word >= 0 && word < static_cast<int>(placed.size()) &&
           Covers(placed[static_cast<std::size_t>(word)], orientation, first, last);
}

// The list made a reading that lies within one word's own stretch. Most such readings are a word
// where it was placed (the word placed as number word), so that one is asked first. A reading of
// one letter reads alike in every orientation, so it is the list's wherever a word holds its cell.
bool InsidePlacedWord(const StreamLayout &layout, std::span<const PlacedStretch> placed, int orientation,
                      int first, int last, int word)
{
    const int cell = layout.cellAt[orientation][first];
    auto holds = [&](const PlacedStretch &stretch) {
        if (first == last) {
            const int at = layout.position[stretch.orientation][cell];
            return stretch.first <= at && at <= stretch.last;
        }
        return Covers(stretch, orientation, first, last);
    };
    if (first != last && ReadWherePlaced(placed, orientation, first, last, word))
        return true;
    return std::any_of(placed.begin(), placed.end(), holds);
}

// Steps the automaton along one run of placed letters (stream positions begin to end,
// inclusive); true at its first reading that no fill can undo.
template <class State>
bool runSpoils(const State *next, const ReadingAutomaton &automaton, const StreamLayout &layout,
               const std::uint16_t *line, std::span<const PlacedStretch> placed, int orientation, int begin,
               int end)
{
    const std::uint32_t firstReading = automaton.firstReading();
    std::size_t state = 0;
    for (int at = begin; at <= end; ++at) {
        state = next[state + line[at]];
        if (state < firstReading) [[likely]]
            continue;
        for (const ReadingAutomaton::Ending &ending : automaton.endings(static_cast<std::uint32_t>(state)))
            if (ending.blocked ||
                !InsidePlacedWord(layout, placed, orientation, at + 1 - ending.length, at, ending.word))
                return true;
    }
    return false;
}

// One step across a line of one orientation onto a line of another, in lines and steps of the
// first (StreamLayout::lineOf and stepOf): the other orientations' steps (to the right, down,
// down to the right, down to the left), as seen from rows, from columns and from both diagonals.
struct Across
{
    int orientation;
    int lines;
    int steps;
};
inline constexpr std::array<std::array<Across, 3>, Orientations> AcrossSteps{{
    {{{1, 1, 0}, {2, 1, 1}, {3, 1, -1}}},
    {{{0, 1, 0}, {2, 1, 1}, {3, 1, -1}}},
    {{{0, 1, 0}, {1, 1, -1}, {3, 2, -1}}},
    {{{0, 1, 0}, {1, 1, 1}, {2, 2, 1}}},
}};

// A line's bits moved so that bit b tells about step b + steps.
template <int Steps> std::uint64_t alignedOn(std::uint64_t bits)
{
    if constexpr (Steps >= 0)
        return bits >> Steps;
    else
        return bits << -Steps;
}

// The new letters (fresh, as bits of the word's own line) that join a run of placed letters
// across the word, in one other orientation, long enough for a word of shortest letters.
template <int Own, int Choice>
std::uint64_t joiningLetters(const LetterStreams &streams, int line, std::uint64_t fresh, int shortest)
{
    constexpr Across across = AcrossSteps[Own][Choice];
    const std::uint64_t after = alignedOn<across.steps>(streams.occupied(Own, line + across.lines));
    const std::uint64_t before = alignedOn<-across.steps>(streams.occupied(Own, line - across.lines));
    if (shortest >= 3) [[likely]] {
        const std::uint64_t after2 =
            alignedOn<2 * across.steps>(streams.occupied(Own, line + 2 * across.lines));
        const std::uint64_t before2 =
            alignedOn<-2 * across.steps>(streams.occupied(Own, line - 2 * across.lines));
        return fresh & ((after & after2) | (after & before) | (before & before2));
    }
    return shortest == 2 ? fresh & (after | before) : fresh;
}

template <int Own>
std::array<std::uint64_t, 3> joiningLetters(const LetterStreams &streams, int line, std::uint64_t fresh,
                                            int shortest)
{
    return {joiningLetters<Own, 0>(streams, line, fresh, shortest),
            joiningLetters<Own, 1>(streams, line, fresh, shortest),
            joiningLetters<Own, 2>(streams, line, fresh, shortest)};
}

template <class State>
bool placedLettersSpoil(const State *next, const ReadingAutomaton &automaton, const StreamLayout &layout,
                        const LetterStreams &streams, std::span<const PlacedStretch> placed, int start,
                        std::uint64_t fresh)
{
    const int shortest = automaton.shortest();
    const PlacedStretch &word = placed.back();
    const int own = word.orientation;
    // The run of placed letters through a cell in an orientation, as stream positions, told by
    // the bits of its line: the cells next to a step are bits next to its bit.
    struct Run
    {
        int from;
        int to;
    };
    auto runThrough = [&](int orientation, int cell) {
        const std::uint64_t bits = streams.occupied(orientation, layout.lineOf(orientation, cell));
        const int bit = LetterStreams::OccupiedBit + StreamLayout::stepOf(orientation, cell);
        const int at = layout.position[orientation][cell];
        const int above = std::countr_zero(~bits >> bit);        // the cell and those after it
        const int below = std::countl_zero(~bits << (63 - bit)); // the cell and those before it
        return Run{at - below + 1, at + above - 1};
    };
    auto spoils = [&](int orientation, Run run) {
        return run.to - run.from + 1 >= shortest &&
               runSpoils(next, automaton, layout, streams.line(orientation), placed, orientation, run.from,
                         run.to);
    };
    // Along the word: its own readings are its own, or a blocked word the list itself holds, so
    // only letters beyond its ends can make a new one, in a reading across one of its ends.
    // Such a reading holds a placed letter beside an end, and one of the two triples across it.
    const std::uint16_t *ownLine = streams.line(own);
    auto mayCross = [&](int outside, int inside) {
        const int low = std::min(outside, inside);
        return ownLine[outside] != 0 &&
               (automaton.mayHold(ownLine[low - 1], ownLine[low], ownLine[low + 1]) ||
                automaton.mayHold(ownLine[low], ownLine[low + 1], ownLine[low + 2]));
    };
    const bool alongMay = mayCross(word.first - 1, word.first) || mayCross(word.last + 1, word.last);
    if (alongMay) {
        if (const Run along = runThrough(own, start);
            along.to - along.from > word.last - word.first && spoils(own, along))
            return true;
    }

    // Across it only a new letter changes a line, and only where the run of placed letters it
    // joins is long enough for a word. Those runs are found for all its letters at once from
    // the bits of the lines beside its own.
    const int line = layout.lineOf(own, start);
    std::array<std::uint64_t, 3> joining;
    switch (own) {
    case 0:
        joining = joiningLetters<0>(streams, line, fresh, shortest);
        break;
    case 1:
        joining = joiningLetters<1>(streams, line, fresh, shortest);
        break;
    case 2:
        joining = joiningLetters<2>(streams, line, fresh, shortest);
        break;
    default:
        joining = joiningLetters<3>(streams, line, fresh, shortest);
        break;
    }
    if ((joining[0] | joining[1] | joining[2]) == 0) [[likely]]
        return false;
    for (int choice = 0; choice < 3; ++choice) {
        const int orientation = AcrossSteps[own][choice].orientation;
        const std::uint16_t *across = streams.line(orientation);
        const std::uint16_t *positions = layout.position[orientation].data();
        // A line is walked only where the triples around the new letter may lie in a reading.
        // Those letters are picked out first, with no branch on each one's outcome.
        std::uint64_t walked = 0;
        for (std::uint64_t joined = joining[choice]; joined != 0; joined &= joined - 1) {
            const int bit = std::countr_zero(joined);
            const int cell = layout.cellOn(own, line, bit - LetterStreams::OccupiedBit);
            const std::uint16_t *at = across + positions[cell];
            walked |= std::uint64_t(automaton.mayHoldAround(at[-2], at[-1], at[0], at[1], at[2])) << bit;
        }
        for (; walked != 0; walked &= walked - 1) {
            const int cell = layout.cellOn(own, line, std::countr_zero(walked) - LetterStreams::OccupiedBit);
            if (spoils(orientation, runThrough(orientation, cell)))
                return true;
        }
    }
    return false;
}

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
        // Most readings are the placed words themselves, which hold no fill letter.
        if (!ending.blocked && length > 1 &&
            ReadWherePlaced(m_placed, orientation, last + 1 - length, last, ending.word))
            return false;
        const std::uint16_t *cells = m_layout.cellAt[orientation].data() + last + 1 - length;
        bool usesFill = false;
        for (int k = 0; k < length; ++k)
            usesFill |= m_solution[cells[k]] == PuzzleGrid::Dot;
        if (!usesFill) {
            if (ending.blocked || !insidePlacedWord(orientation, last + 1 - length, last, ending.word))
                m_spoiled = true;
            return false;
        }
        // A listed word's reading has all its fill letters redrawn, as it always had. A blocked
        // word is broken by a new letter in any one cell, and each redrawn cell costs a look along
        // its four lines, so only its first fill cell is redrawn.
        bool marked = false;
        for (int k = 0; k < length; ++k)
            if (m_solution[cells[k]] == PuzzleGrid::Dot) {
                const int row = cells[k] / PuzzleGrid::Stride;
                const std::uint32_t bit = 1u << (cells[k] % PuzzleGrid::Stride);
                if (!(ending.blocked && marked))
                    marks[row] |= bit;
                marked = true;
                if (m_kept && ((*m_kept)[row] & bit))
                    m_spoiled = true;
            }
        return true;
    }

    bool insidePlacedWord(int orientation, int first, int last, int word) const
    {
        return InsidePlacedWord(m_layout, m_placed, orientation, first, last, word);
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

bool PlacedLettersSpoil(const ListCodes &codes, const StreamLayout &layout, const LetterStreams &streams,
                        std::span<const PlacedStretch> placed, int start, std::uint64_t fresh)
{
    const ReadingAutomaton &automaton = codes.automaton();
    if (const std::uint16_t *compact = automaton.compactNext())
        return placedLettersSpoil(compact, automaton, layout, streams, placed, start, fresh);
    return placedLettersSpoil(automaton.next(), automaton, layout, streams, placed, start, fresh);
}

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
    const ReadingAutomaton &automaton = codes.automaton();
    const int reach = automaton.longest() - 1;
    const std::uint16_t separator = codes.separator();
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
            // Every reading a redraw can make holds a redrawn cell, so a line is looked along
            // again only where the triples around one may lie in a reading.
            const std::uint16_t *stream = layout.cellAt[orientation].data();
            auto codeAt = [&](int at) { return at < 0 ? separator : streams.cell(stream[at]); };
            int looks = 0;
            for (int i = 0; i < redrawnCount; ++i) {
                const int at = layout.position[orientation][redrawn[i]];
                if (automaton.mayHoldAround(codeAt(at - 2), codeAt(at - 1), codeAt(at), codeAt(at + 1),
                                            codeAt(at + 2)))
                    positions[looks++] = at;
            }
            // Many redrawn cells: one pass over the whole stream is less work.
            if (looks * (2 * reach + 1) >= layout.length[orientation]) {
                found += scanner.scan(orientation, 0, layout.length[orientation], marks);
                continue;
            }
            // Neighbouring redrawn cells (a reading's letters, mostly) share one stretch.
            std::sort(positions.begin(), positions.begin() + looks);
            for (int i = 0; i < looks;) {
                const int begin = std::max(0, positions[i] - reach);
                int end = positions[i] + reach + 1;
                while (++i < looks && positions[i] - reach <= end)
                    end = positions[i] + reach + 1;
                found += scanner.scan(orientation, begin, std::min(layout.length[orientation], end), marks);
            }
        }
    }
}

} // namespace brivamo
