#pragma once

#include "generator/puzzle_grid.h"
#include "generator/reading_automaton.h"
#include "generator/standard_routines.h"

#include <array>
#include <cstdint>
#include <span>

namespace brivamo {

// Rounds of redrawing after which a fill counts as impossible to clear. A reachable clean fill
// takes one or two rounds; only lists that leave some cell no free letter (one-letter words
// covering the alphabet, say) ever get near this.
inline constexpr int MaxFillRounds = 1000;

// Where a placed word lies: its orientation (0 rows, 1 columns, 2 diagonals downwards to the
// right, 3 downwards to the left) and its first and last cells in that orientation's order
// (PuzzleGrid::index; the order of cells along every orientation is the order of their indexes).
struct PlacedStretch
{
    int orientation;
    int first;
    int last;
};
PlacedStretch StretchOf(const WordPlacement &placement);

// One bit a cell, a row a word: bit c of row r is cell (r + 1, c + 1).
using CellRows = std::array<std::uint32_t, PuzzleGrid::MaxSide>;

// Runs on a grid just completed by the fill (solution layer: word letters and the dot; puzzle
// layer: a fill letter in every other cell), whose placed letters alone spell nothing they may
// not (PlacedLettersSpoil saw to that as the words were placed). Redraws fill letters, from the
// list's fill alphabet, until neither a word of the list nor one of its blocked words can be
// read, in any of the eight directions, along a line that uses at least one fill cell. Each
// round redraws the fill cells of the readings it found, in row order: all of a listed word's,
// the first of a blocked word's (one new letter breaks it). Letters are compared in upper case,
// as the solver reads them. Returns false, leaving the square to be restarted, when the fill is
// still not clear after MaxFillRounds rounds.
// Fill cells marked in kept (a hidden message's) are never redrawn: a reading that needs one
// fails the square at once, unless it is a blocked word lying within one of messageWords (the
// stretches of a row where the message's letters lie side by side, row orientation).
bool ClearSecondReadings(PuzzleGrid &grid, const ListCodes &codes, modStandard::RandomSource &random,
                         const CellRows *kept = nullptr, std::span<const PlacedStretch> messageWords = {});

// Whether a word just put into the solution layer (its stretch word, its cells that were empty
// before it fresh) lets placed letters alone spell, along a line through one of its fresh cells,
// a blocked word or a listed word outside every placed word's own stretch (those placed before
// it, and its own): a blocked word inside a listed one is allowed within that word's stretch
// only. No fill letter can undo such a reading, so the square could never be
// finished with the word there.
bool PlacedLettersSpoil(const PuzzleGrid &grid, const ListCodes &codes, std::span<const PlacedStretch> placed,
                        const PlacedStretch &word, std::span<const int> fresh);

} // namespace brivamo
