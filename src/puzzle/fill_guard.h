#pragma once

#include "puzzle/letter_streams.h"
#include "puzzle/puzzle_grid.h"
#include "puzzle/standard_routines.h"

#include <array>
#include <cstdint>
#include <span>

namespace brivamo {

// Rounds of redrawing after which a fill counts as impossible to clear. A reachable clean fill
// takes one or two rounds; only lists that leave some cell no free letter (one-letter words
// covering the alphabet, say) ever get near this.
inline constexpr int MaxFillRounds = 1000;

// Where a placed word lies: its orientation's stream positions first to last.
struct PlacedStretch
{
    int orientation;
    int first;
    int last;
};

// One bit a cell, a row a word: bit c of row r is cell (r + 1, c + 1).
using CellRows = std::array<std::uint32_t, PuzzleGrid::MaxSide>;

// Runs on a grid just completed by the fill (solution layer: word letters and the dot; puzzle
// layer: a fill letter in every other cell). Redraws fill letters, from the list's fill
// alphabet, until neither a word of the list nor one of its blocked words can be read, in any
// of the eight directions, along a line that uses at least one fill cell. Each round redraws
// exactly the fill cells of the readings it found, in row order; letters are compared in upper
// case, as the solver reads them. Returns false, leaving the square to be restarted, when the
// fill is still not clear after MaxFillRounds rounds, and at once when placed letters alone
// (which no redraw changes) spell a blocked word, or a listed word anywhere but inside a placed
// word's own stretch (its own place, or CAT inside CATTLE).
// Fill cells marked in kept (a hidden message's) are never redrawn: a reading that needs one
// fails the square as well.
// The streams' cells must hold the puzzle layer's letters as the list's codes (kept up to date
// while the square was built); they follow every redrawn letter.
bool ClearSecondReadings(PuzzleGrid &grid, const ListCodes &codes, const StreamLayout &layout,
                         LetterStreams &streams, modStandard::RandomSource &random,
                         std::span<const PlacedStretch> placed, const CellRows *kept = nullptr);

// Whether the word placed last (its letters already in the streams, its stretch last in placed,
// start its first cell) lets placed letters alone spell, along a line through one of its cells,
// a blocked word or a listed word outside every placed word's own stretch. No fill letter can
// undo such a reading, so the square could never be finished with the word there. Fresh tells
// which of its letters went into empty cells: bit LetterStreams::OccupiedBit + k for step k of
// its own line (StreamLayout::stepOf).
bool PlacedLettersSpoil(const ListCodes &codes, const StreamLayout &layout, const LetterStreams &streams,
                        std::span<const PlacedStretch> placed, int start, std::uint64_t fresh);

} // namespace brivamo
