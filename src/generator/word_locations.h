#pragma once

#include "generator/puzzle_grid.h"

#include <QList>
#include <QStringList>

namespace brivamo {

// Where each word lies on the solution layer, in the order of `words`. The grid keeps only the
// letters, so the words are found again: each word takes a run of cells that spells it, and
// together the runs cover every letter of the layer (a word that could lie in two places takes
// the one that leaves no letter uncovered). A word that cannot be found has length 0.
QList<WordPlacement> LocateWords(const PuzzleGrid &grid, const QStringList &words);

} // namespace brivamo
