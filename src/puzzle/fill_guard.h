#pragma once

#include "puzzle/letter_streams.h"
#include "puzzle/puzzle_grid.h"
#include "puzzle/standard_routines.h"

namespace brivamo {

// Rounds of redrawing after which a fill counts as impossible to clear. A reachable clean fill
// takes one or two rounds; only lists that leave some cell no free letter (one-letter words
// covering the alphabet, say) ever get near this.
inline constexpr int MaxFillRounds = 1000;

// Runs on a grid just completed by the fill (solution layer: word letters and the dot; puzzle
// layer: a capital in every cell). Redraws fill letters until no word of the list can be read,
// in any of the eight directions, along a line that uses at least one fill cell. Each round
// redraws exactly the fill cells of the readings it found, in row order; letters are compared
// in upper case, as the solver reads them. A reading made only of placed letters stays. Returns
// false when the fill is still not clear after MaxFillRounds rounds. The streams' cells must
// hold the puzzle layer's letters as the list's codes (kept up to date while the square was
// built); they follow every redrawn letter.
bool ClearSecondReadings(PuzzleGrid &grid, const ListCodes &codes, const StreamLayout &layout,
                         LetterStreams &streams, modStandard::RandomSource &random);

} // namespace brivamo
