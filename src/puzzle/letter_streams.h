#pragma once

#include "puzzle/puzzle_grid.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace brivamo {

// A list's characters as small whole numbers, shared by the generator's candidate test and the
// fill guard. Code 0 is an empty cell, 'A' to 'Z' are 1 to 26 and every other character a word
// holds gets a code of its own after them, exactly as written ('a' and 'A' differ, as they do
// when a candidate meets a placed letter). The last code separates lines and stands for any
// character no word holds.
//
// The codes also drive one automaton of every word and its reversal, which folds case as the
// solver reads ('a' steps like 'A'), so that one pass along each line of the four orientations
// finds every reading in all eight directions.
class ListCodes
{
public:
    explicit ListCodes(const QStringList &words);

    // Cheap while the list is still shared with the one the codes were made for.
    bool isFor(const QStringList &words) const { return m_words == words; }

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
    // up to WordLanes. Words longer than a side can hold are left empty.
    static constexpr int WordLanes = 32;
    const std::uint16_t *forwards(int word) const { return m_wordCodes[2 * word].data(); }
    const std::uint16_t *backwards(int word) const { return m_wordCodes[2 * word + 1].data(); }

    // The automaton: states are numbered premultiplied by the code count, and those where some
    // word ends come last, so a step is one load and the test for a reading one comparison.
    const std::uint32_t *next() const { return m_next.data(); }
    std::uint32_t firstReading() const { return m_firstReading; }
    // Lengths of the words ending in a state at or after firstReading, each once.
    const std::vector<int> &lengths(std::uint32_t state) const
    {
        return m_lengths[(state - m_firstReading) / static_cast<std::uint32_t>(m_codeCount)];
    }
    // The longest word's length (at most a side).
    int longest() const { return m_longest; }

private:
    std::uint16_t otherCode(QChar c) const;
    void buildAutomaton();

    QStringList m_words;            // a copy: shares the caller's data until either changes
    std::vector<char16_t> m_others; // characters with codes 27 and up, in order
    int m_codeCount = 0;
    std::vector<std::array<std::uint16_t, WordLanes>> m_wordCodes;
    std::vector<std::uint32_t> m_next;
    std::uint32_t m_firstReading = 0;
    std::vector<std::vector<int>> m_lengths;
    int m_longest = 1;
};

// Made once per list and thread, kept for the next puzzle of the same list.
const ListCodes &listCodesFor(const QStringList &words);

// The four orientations of lines: rows left to right, columns downwards, diagonals downwards to
// the right and downwards to the left. Each orientation's lines follow one another in a stream,
// a separator after each line.
inline constexpr int Orientations = 4;
// At most 30 rows of 30 cells and their separators, or 59 diagonals holding 900 cells.
inline constexpr int StreamSize = 1024;

// Where each cell of a square of one side lies in the four streams, and which cell each stream
// position holds (−1: a separator).
struct StreamLayout
{
    explicit StreamLayout(int side);

    int lineCount(int orientation) const { return orientation < 2 ? side : 2 * side - 1; }

    int side;
    std::array<int, Orientations> length{};
    std::array<std::array<std::uint16_t, PuzzleGrid::MaxSide * PuzzleGrid::Stride>, Orientations> position{};
    std::array<std::array<std::int16_t, StreamSize>, Orientations> cellAt{};
    std::array<std::array<std::uint16_t, 2 * PuzzleGrid::MaxSide>, Orientations> lineEnd{};
};

// Made once per side and thread.
const StreamLayout &layoutFor(int side);

// A square's cells as codes in the four streams. Each stream has room before and after it, so
// that a candidate's stretch can be read whole, 32 codes at a time, wherever it starts.
class LetterStreams
{
public:
    static constexpr int Margin = ListCodes::WordLanes;

    // Every cell empty, a separator after each line.
    void clear(const StreamLayout &layout, std::uint16_t separator);
    // The puzzle layer's letters as they are now.
    void load(const StreamLayout &layout, const ListCodes &codes, const QChar *puzzle);

    void set(const StreamLayout &layout, int cell, std::uint16_t code)
    {
        for (int orientation = 0; orientation < Orientations; ++orientation)
            m_data[orientation][Margin + layout.position[orientation][cell]] = code;
    }
    std::uint16_t at(const StreamLayout &layout, int cell) const
    {
        return m_data[0][Margin + layout.position[0][cell]];
    }

    const std::uint16_t *stream(int orientation) const { return m_data[orientation].data() + Margin; }

private:
    std::array<std::array<std::uint16_t, Margin + StreamSize + Margin>, Orientations> m_data{};
};

} // namespace brivamo
