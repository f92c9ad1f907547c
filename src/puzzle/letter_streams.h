#pragma once

#include "puzzle/fill_alphabet.h"
#include "puzzle/puzzle_grid.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace brivamo {

class ListCodes;

// One automaton of every word of a list, and of every blocked word the puzzle must avoid, and
// their reversals, stepping on the list's codes and folding case as the solver reads ('a' steps
// like 'A'), so that one pass along each line of the four orientations finds every reading in
// all eight directions.
class ReadingAutomaton
{
public:
    ReadingAutomaton(const QStringList &words, const QStringList &blocked, const ListCodes &codes);

    // A word read where a state is reached: its length, and whether it is a blocked word rather
    // than a listed one.
    struct Ending
    {
        int length;
        bool blocked;
        int word; // the first listed word (0-based) of this text, -1 for a blocked one
    };

    // States are numbered premultiplied by the code count, and those where some word ends come
    // last, so a step is one load and the test for a reading one comparison.
    const std::uint32_t *next() const { return m_next.data(); }
    // The same table in half the room, when every state number fits (the usual list's table
    // then stays in the processor's nearest cache); null otherwise.
    const std::uint16_t *compactNext() const
    {
        return m_compactNext.empty() ? nullptr : m_compactNext.data();
    }
    std::uint32_t firstReading() const { return m_firstReading; }
    // The words ending in a state at or after firstReading, each once.
    std::span<const Ending> endings(std::uint32_t state) const
    {
        // States are whole multiples of the code count apart, so the division is exact and
        // a shift and a multiplication by the inverse of its odd part do it without a divide.
        const std::uint32_t index = ((state - m_firstReading) >> m_codeShift) * m_oddInverse;
        return {m_endings.data() + m_endingsFrom[index], m_endings.data() + m_endingsFrom[index + 1]};
    }
    // The longest word's length, blocked words included (at most a side).
    int longest() const { return m_longest; }
    // The shortest word's length, blocked words included.
    int shortest() const { return m_shortest; }

    // Whether three codes in a row may lie in a reading: in some word or blocked word, either
    // way (letters the solver reads alike count alike). Any reading through a cell holds one of
    // the three triples around it, so where none may, no line need be walked there. Always true
    // where no table is kept: for a word shorter than three letters, or so many codes that the
    // table would crowd the nearest cache.
    bool mayHold(unsigned a, unsigned b, unsigned c) const
    {
        if (m_triples.empty())
            return true;
        return tripleBit(a, b, c);
    }
    // The same for the three triples around the middle one of five codes in a row. All three are
    // looked up, without a branch between them: whether one holds is no pattern to predict.
    bool mayHoldAround(std::uint16_t before2, std::uint16_t before, std::uint16_t at, std::uint16_t after,
                       std::uint16_t after2) const
    {
        if (m_triples.empty())
            return true;
        return tripleBit(before2, before, at) | tripleBit(before, at, after) | tripleBit(at, after, after2);
    }

private:
    // A triple's bit: each code takes m_tripleBits bits of its index, so no multiplication is needed.
    bool tripleBit(unsigned a, unsigned b, unsigned c) const
    {
        const unsigned index = (((a << m_tripleBits) | b) << m_tripleBits) | c;
        return (m_triples[index / 64] >> (index % 64)) & 1u;
    }

    int m_codeCount;
    int m_codeShift = 0;            // trailing zero bits of the code count
    std::uint32_t m_oddInverse = 1; // the inverse of its odd part, modulo 2^32
    int m_tripleBits = 0;
    std::vector<std::uint32_t> m_next;
    std::vector<std::uint16_t> m_compactNext;
    std::uint32_t m_firstReading = 0;
    std::vector<Ending> m_endings;            // all reading states' endings, one after another
    std::vector<std::uint32_t> m_endingsFrom; // each reading state's first, and one past the last
    int m_longest = 1;
    int m_shortest = PuzzleGrid::MaxSide;
    std::vector<std::uint64_t> m_triples;
};

// A list's characters as small whole numbers, shared by the generator's candidate test and the
// fill guard. Code 0 is an empty cell, 'A' to 'Z' are 1 to 26 and every other character a word
// or the fill alphabet holds gets a code of its own after them, exactly as written ('a' and 'A'
// differ, as they do when a candidate meets a placed letter). The last code separates lines and
// stands for any character no word holds.
//
// The codes also hold the list's fill alphabet and the blocked words its puzzles must avoid
// (those of the given blocklist the solver could read in such a square at all, less those the
// list itself holds).
//
// A word's codes and the automaton are made when first asked for: a long list whose puzzle is
// given up early never pays for them.
class ListCodes
{
public:
    explicit ListCodes(const QStringList &words, const QStringList &blocked = {});
    ~ListCodes();

    // Cheap while the lists are still shared with the ones the codes were made for.
    bool isFor(const QStringList &words, const QStringList &blocked) const
    {
        return m_words == words && m_blockedSource == blocked;
    }

    const FillAlphabet &alphabet() const { return m_alphabet; }
    // Fill letter i of the alphabet (0 to its size - 1) as a character and as a code.
    QChar fillLetter(int i) const { return QChar(m_alphabet.letters[static_cast<std::size_t>(i)]); }
    std::uint16_t fillCode(int i) const { return m_fillCodes[static_cast<std::size_t>(i)]; }
    const QStringList &blockedWords() const { return m_blocked; }

    std::uint16_t codeOf(QChar c) const
    {
        if (const unsigned letter = c.unicode() - unsigned(u'A'); letter < 26) [[likely]]
            return static_cast<std::uint16_t>(letter + 1);
        return otherCode(c);
    }
    static std::uint16_t letterCode(int letter) { return static_cast<std::uint16_t>(letter + 1); }
    std::uint16_t separator() const { return static_cast<std::uint16_t>(m_codeCount - 1); }
    int codeCount() const { return m_codeCount; }

    // Word i (0-based, in the list's order) as codes, and reversed; zero after its last letter
    // up to WordLanes. A word longer than a side can hold is left empty.
    static constexpr int WordLanes = 32;
    struct WordCodes
    {
        std::array<std::uint16_t, WordLanes> forwards{};
        std::array<std::uint16_t, WordLanes> backwards{};
    };
    const WordCodes &word(int i) const
    {
        if (static_cast<std::size_t>(i) < m_wordCodes.size()) [[likely]]
            return m_wordCodes[static_cast<std::size_t>(i)];
        return wordMade(i);
    }

    const ReadingAutomaton &automaton() const
    {
        if (!m_automaton) [[unlikely]]
            makeAutomaton();
        return *m_automaton;
    }

private:
    std::uint16_t otherCode(QChar c) const;
    const WordCodes &wordMade(int i) const;
    void makeAutomaton() const;
    friend class ReadingAutomaton;

    QStringList m_words;         // a copy: shares the caller's data until either changes
    QStringList m_blockedSource; // the blocklist asked for, as shared
    QStringList m_blocked;       // the blocked words its puzzles must avoid
    FillAlphabet m_alphabet;
    std::vector<std::uint16_t> m_fillCodes;
    std::vector<char16_t> m_others; // characters with codes 27 and up, in order
    int m_codeCount = 0;
    // The first words, as far as asked; room for all is kept from the start, so that a word's
    // codes never move.
    mutable std::vector<WordCodes> m_wordCodes;
    mutable std::unique_ptr<ReadingAutomaton> m_automaton;
};

// The four orientations of lines: rows left to right, columns downwards, diagonals downwards to
// the right and downwards to the left. Each orientation's lines follow one another in a stream,
// a separator after each line.
inline constexpr int Orientations = 4;
// At most 30 rows of 30 cells and their separators, or 59 diagonals holding 900 cells.
inline constexpr int StreamSize = 1024;

// Where each cell of a square of one side lies in the four streams, and which cell each stream
// position holds (SeparatorCell after each line).
struct StreamLayout
{
    static constexpr int SeparatorCell = PuzzleGrid::MaxSide * PuzzleGrid::Stride;

    explicit StreamLayout(int side);

    int lineCount(int orientation) const { return orientation < 2 ? side : 2 * side - 1; }

    // A cell's line in an orientation (rows by row, columns by column, the diagonals from the
    // top right and from the top left), and its step along it (its column in a row, else its
    // row), and back.
    // Worked out for all four orientations and then picked, as which one is asked is hard to
    // foresee.
    int lineOf(int orientation, int cell) const
    {
        const int row = cell / PuzzleGrid::Stride;
        const int column = cell % PuzzleGrid::Stride;
        const std::array<int, Orientations> lines{row, column, column - row + side - 1, row + column};
        return lines[static_cast<std::size_t>(orientation)];
    }
    static int stepOf(int orientation, int cell)
    {
        return orientation == 0 ? cell % PuzzleGrid::Stride : cell / PuzzleGrid::Stride;
    }
    int cellOn(int orientation, int line, int step) const
    {
        const int across = line * PuzzleGrid::Stride + step; // a row's step is its column
        const int down = step * PuzzleGrid::Stride;          // any other's step is its row
        const std::array<int, Orientations> cells{across, down + line, down + line + step - (side - 1),
                                                  down + line - step};
        return cells[static_cast<std::size_t>(orientation)];
    }

    int side;
    std::array<int, Orientations> length{};
    std::array<std::array<std::uint16_t, PuzzleGrid::MaxSide * PuzzleGrid::Stride>, Orientations> position{};
    std::array<std::array<std::uint16_t, StreamSize>, Orientations> cellAt{};
};

// A square's letters as codes, twice over. The cells, in the grid's order, are what the fill
// guard reads, each stream through the layout's cellAt. The placed words' letters are also kept
// in the four streams themselves (0 where a cell is empty), where a candidate's cells lie side
// by side and can be compared with its word 32 codes at a time; each stream has room before and
// after it, so that a stretch can be read whole wherever it starts.
class LetterStreams
{
public:
    static constexpr int Margin = ListCodes::WordLanes;
    // Which cells hold a placed letter is also kept as bits, a 64-bit word a line of each
    // orientation, bit OccupiedBit + k for the line's step k (StreamLayout::lineOf, stepOf). Lines and
    // steps a few beyond the square read as empty, so that the cells near any cell can be
    // looked at by shifts without a bounds check.
    static constexpr int OccupiedMargin = 4;
    static constexpr int OccupiedBit = 2;

    // An empty square: no placed letter in the streams, and the separator cell set.
    void clear(const StreamLayout &layout, std::uint16_t separator);

    // A placed word's letters, codes[k] into cell start + k × stride, all on one line of
    // orientation own. Returns which of them went into empty cells, as bits of that line.
    std::uint64_t placeWord(const StreamLayout &layout, int own, int start, DirectionStep step,
                            const std::uint16_t *codes, int length)
    {
        const int stride = step.row * PuzzleGrid::Stride + step.column;
        const int last = start + (length - 1) * stride;
        std::uint64_t &line = m_occupied[own][OccupiedMargin + layout.lineOf(own, start)];
        const std::uint64_t cells =
            ((std::uint64_t(1) << length) - 1)
            << (OccupiedBit + std::min(StreamLayout::stepOf(own, start), StreamLayout::stepOf(own, last)));
        const std::uint64_t fresh = cells & ~line;
        line |= cells;
        // A cell's row and column are followed as the word goes, not looked up: a table of its
        // lines and steps would crowd the automaton's rows out of the nearest cache.
        int row = start / PuzzleGrid::Stride;
        int column = start % PuzzleGrid::Stride;
        for (int k = 0, cell = start; k < length; ++k, cell += stride, row += step.row, column += step.column)
            mark<true>(layout, cell, row, column, codes[k]);
        return fresh;
    }
    // Takes out again the letters placeWord put into empty cells (fresh, as it returned them).
    void takeBack(const StreamLayout &layout, int own, int start, int stride, int length, std::uint64_t fresh)
    {
        for (int k = 0, cell = start; k < length; ++k, cell += stride)
            if ((fresh >> (OccupiedBit + StreamLayout::stepOf(own, cell))) & 1)
                mark<false>(layout, cell, cell / PuzzleGrid::Stride, cell % PuzzleGrid::Stride, 0);
    }
    // A fill letter, or the letter a placed cell already holds.
    void setCell(int cell, std::uint16_t code) { m_cells[cell] = code; }
    std::uint16_t cell(int cell) const { return m_cells[cell]; }
    const std::uint16_t *cells() const { return m_cells.data(); }
    std::uint16_t *cells() { return m_cells.data(); }

    const std::uint16_t *line(int orientation) const { return m_lines[orientation].data() + Margin; }
    // Line may lie up to OccupiedMargin beyond the orientation's lines either way.
    std::uint64_t occupied(int orientation, int line) const
    {
        return m_occupied[orientation][OccupiedMargin + line];
    }

private:
    // A placed letter's code (0 when taken out) in the cells and the four streams, and its bit in
    // the four orientations' bits.
    template <bool Placed>
    void mark(const StreamLayout &layout, int cell, int row, int column, std::uint16_t code)
    {
        m_cells[cell] = code;
        auto markOn = [&](int orientation, int line, int step) {
            std::uint64_t &bits = m_occupied[orientation][OccupiedMargin + line];
            const std::uint64_t bit = std::uint64_t(1) << (OccupiedBit + step);
            bits = Placed ? bits | bit : bits & ~bit;
            m_lines[orientation][Margin + layout.position[orientation][cell]] = code;
        };
        markOn(0, row, column);
        markOn(1, column, row);
        markOn(2, column - row + layout.side - 1, row);
        markOn(3, row + column, row);
    }

    std::array<std::uint16_t, StreamLayout::SeparatorCell + 1> m_cells{};
    std::array<std::array<std::uint16_t, Margin + StreamSize + Margin>, Orientations> m_lines{};
    std::array<std::array<std::uint64_t, OccupiedMargin + 2 * PuzzleGrid::MaxSide - 1 + OccupiedMargin>,
               Orientations>
        m_occupied{};
};

} // namespace brivamo
