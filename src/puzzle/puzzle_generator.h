#pragma once

#include "puzzle/puzzle_grid.h"
#include "puzzle/puzzle_host.h"
#include "puzzle/standard_routines.h"

#include <QStringList>

namespace brivamo {

enum class PuzzleOutcome {
    Completed, // the grid holds a finished puzzle
    GivenUp,   // ten attempts failed
    Cancelled, // the host asked to stop
    Refused,   // no run was made: no side from 1 to 30 fits every word (nothing was notified)
};

inline constexpr int MaxAttempts = 10;
inline constexpr int CrossingInterval = 3; // words 3, 6, 9, ... must cross an earlier word
inline constexpr int RevertPauseMilliseconds = 60;
inline constexpr int RevertPauseFromLetter = 6; // collisions at this letter or later pause first

// Most candidates a word gets within one attempt: 3 × N² + 1.
constexpr int CandidateLimit(int side)
{
    return 3 * side * side + 1;
}

// Orders words longest first; words of equal length keep their order. One stable sort, so a
// list of millions of words takes a moment, not hours.
void SortWordsLongestFirst(QStringList &words);

// Chooses a fitting candidate for word number wordNumber (1-based) of the given length.
// Word 1 always lies upwards to the left with its first letter in rows and columns length to side.
WordPlacement ChooseCandidate(int wordNumber, int length, int side, modStandard::RandomSource &random);

// Hides the words (already sorted longest first) in a square of the given side, reporting
// every step to the host. On Completed the grid holds the puzzle and its solution, and no word
// of the list can be read a second time through a fill letter (ClearSecondReadings). In the
// rare square whose fill cannot be cleared, the attempt fails as if a word had been abandoned.
// Works on the grid's arrays and allocates nothing per puzzle (the list's codes and the fill
// guard's tables are kept for the next puzzle of the same list). A SeededRandomSource is
// recognised and drawn from without virtual dispatch, and its fill takes three letters from
// each number; any other source gives one fill letter per draw. With a SilentPuzzleHost
// as well, candidates are judged on letter streams and nothing is notified; the square made
// for a seed is the same either way.
PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random);
// The same, drawing from the program's own random source.
PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host);

} // namespace brivamo
