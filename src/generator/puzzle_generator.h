#pragma once

#include "generator/fill_guard.h"
#include "generator/puzzle_grid.h"
#include "generator/puzzle_host.h"
#include "generator/puzzle_level.h"
#include "generator/standard_routines.h"

#include <QStringList>

#include <memory>
#include <vector>

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

// What the generator keeps from one puzzle to the next: the list's codes and reading automaton,
// made again only when the list or the blocked words change. Whoever makes puzzles holds one
// for as long as it does (the puzzle window for its lifetime, the command line for its run). A
// run started while another uses the workspace (from inside a Yield, say) works in a fresh one
// of its own instead.
class PuzzleWorkspace
{
public:
    PuzzleWorkspace();
    ~PuzzleWorkspace();
    PuzzleWorkspace(const PuzzleWorkspace &) = delete;
    PuzzleWorkspace &operator=(const PuzzleWorkspace &) = delete;

    const ListCodes &codesFor(const QStringList &words);
    // Where the current attempt's words lie.
    std::vector<PlacedStretch> &placed() { return m_placed; }

    // A message the fill cells spell, read row by row from the top left: the letters of the
    // text in the list's fill alphabet (LettersInAlphabet); the other fill cells stay random.
    // Empty (the default): no message, and the fill is as it always was.
    const QString &hiddenMessage() const { return m_hiddenMessage; }
    void setHiddenMessage(const QString &text) { m_hiddenMessage = text; }

    // The words no puzzle made here may let the solver read (ProgramBlockedWords() unless set).
    const QStringList &blockedWords() const { return m_blocked; }
    void setBlockedWords(const QStringList &words) { m_blocked = words; }

    // Set by a run for as long as it lasts.
    bool inUse() const { return m_inUse; }
    void setInUse(bool inUse) { m_inUse = inUse; }

private:
    std::unique_ptr<ListCodes> m_codes;
    std::vector<PlacedStretch> m_placed;
    QStringList m_blocked;
    QString m_hiddenMessage;
    bool m_inUse = false;
};

// Hides the words (already sorted longest first) in a square of the given side, reporting
// every step to the host. On Completed the grid holds the puzzle and its solution, every word
// of the list can be read exactly once (a reading inside another listed word's own place
// aside) and no blocked word can be read at all (ClearSecondReadings). A candidate whose
// letters would let placed letters alone spell such a reading is turned down like one that
// collides (PlacedLettersSpoil). A square whose fill cannot be cleared fails its attempt as if
// a word had been abandoned. The fill letters come from the list's fill alphabet; the fill
// asks the source for a row of letters at a time (RandomSource::drawLetters), every cell of the
// row included. With a hidden message set in the workspace, a square with fewer fill cells
// than the message has letters, or where a word would have to be read through one of them,
// fails its attempt too. The level limits the directions the words take; below Hard, word 1
// takes one of them at random instead of lying upwards to the left.
PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random, PuzzleWorkspace &workspace,
                         PuzzleLevel level = PuzzleLevel::Hard);
// The same for a one-off puzzle, in a workspace of its own.
PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random, PuzzleLevel level = PuzzleLevel::Hard);
// The same run without a host: nothing is notified and nothing can cancel it (the command line,
// class sets). The host's calls are left out when this is compiled, so the square comes sooner.
PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side,
                         modStandard::SeededRandomSource &random, PuzzleWorkspace &workspace,
                         PuzzleLevel level = PuzzleLevel::Hard);

} // namespace brivamo
