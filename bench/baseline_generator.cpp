// The generator as it stood before its array core and the fill's second-reading guard: QChar
// cells, notifications and random numbers through virtual calls. The benchmark runs it beside
// the current generator so that both are measured in the same run on the same machine load.

#include "baseline_generator.h"

namespace brivamo::baseline {

int SeededRandomSource::inRange(int lo, int hi)
{
    const std::uint64_t m = m_engine() >> 8;
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
    return lo + static_cast<int>((m * span) >> 24);
}

namespace {

// The candidate's checks were out-of-line calls.
[[gnu::noinline]] void setDirection(WordPlacement &candidate, int code)
{
    candidate.setDirection(code);
}

[[gnu::noinline]] bool fits(const WordPlacement &candidate, int side)
{
    return candidate.fits(side);
}

WordPlacement ChooseCandidate(int wordNumber, int length, int side, modStandard::RandomSource &random)
{
    Q_ASSERT(length <= side);
    WordPlacement candidate;
    candidate.length = length;
    for (;;) {
        if (wordNumber == 1) {
            setDirection(candidate, 8);
            candidate.startRow = random.inRange(length, side);
            candidate.startColumn = random.inRange(length, side);
        } else {
            setDirection(candidate, random.inRange(1, 8));
            candidate.startRow = random.inRange(1, side);
            candidate.startColumn = random.inRange(1, side);
        }
        if (fits(candidate, side))
            return candidate;
    }
}

// Walks the candidate into the puzzle layer; returns the letter (1-based) at which it runs
// into a different letter of the solution layer, or 0 when the whole word fits.
int walkCandidate(PuzzleGrid &grid, const WordPlacement &candidate, const QChar *letters, PuzzleHost &host)
{
    for (int k = 1; k <= candidate.length; ++k) {
        const int row = candidate.rowOf(k);
        const int column = candidate.columnOf(k);
        const QChar placed = grid.solution(row, column);
        if (!placed.isNull() && placed != letters[k - 1])
            return k;
        grid.setPuzzle(row, column, letters[k - 1]);
        host.CellTried(row, column, letters[k - 1]);
    }
    return 0;
}

// A crossing is a cell already holding the same letter; words passing between cells do not count.
bool crossesEarlierWord(const PuzzleGrid &grid, const WordPlacement &candidate, const QChar *letters)
{
    for (int k = 1; k <= candidate.length; ++k)
        if (grid.solution(candidate.rowOf(k), candidate.columnOf(k)) == letters[k - 1])
            return true;
    return false;
}

void revertCandidate(const PuzzleGrid &grid, const WordPlacement &candidate, int lastLetter, bool pauseFirst,
                     PuzzleHost &host)
{
    if (pauseFirst)
        host.PauseRequested(RevertPauseMilliseconds);
    for (int k = 1; k <= lastLetter; ++k) {
        const int row = candidate.rowOf(k);
        const int column = candidate.columnOf(k);
        host.CellReverted(row, column, grid.solution(row, column));
    }
}

void commitCandidate(PuzzleGrid &grid, const WordPlacement &candidate, PuzzleHost &host)
{
    for (int k = 1; k <= candidate.length; ++k) {
        const int row = candidate.rowOf(k);
        const int column = candidate.columnOf(k);
        const QChar letter = grid.puzzle(row, column);
        grid.setSolution(row, column, letter);
        host.CellCommitted(row, column, letter);
    }
}

void fillEmptyCells(PuzzleGrid &grid, modStandard::RandomSource &random)
{
    const int side = grid.side();
    for (int row = 1; row <= side; ++row) {
        for (int column = 1; column <= side; ++column) {
            const QChar placed = grid.solution(row, column);
            if (!placed.isNull()) {
                grid.setPuzzle(row, column, placed);
            } else {
                grid.setSolution(row, column, PuzzleGrid::Dot);
                grid.setPuzzle(row, column, QChar(random.inRange('A', 'Z')));
            }
        }
    }
}

bool acceptableInput(const QStringList &words, int side)
{
    if (side < 1 || side > PuzzleGrid::MaxSide)
        return false;
    for (const QString &word : words)
        if (word.size() > side)
            return false;
    return true;
}

} // namespace

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random)
{
    if (!acceptableInput(words, side))
        return PuzzleOutcome::Refused;

    const int wordCount = static_cast<int>(words.size());
    const int maxTries = CandidateLimit(side) - 1;
    host.clearCancel();

    for (int attempt = 1;; ++attempt) {
        host.AttemptStarted(attempt);
        grid.recreate(side);
        int wordsPlaced = 0;

        for (int i = 1; i <= wordCount; ++i) {
            const QString &word = words[i - 1];
            const QChar *letters = word.constData();
            const int length = static_cast<int>(word.size());
            const bool mustCross = i % CrossingInterval == 0;
            bool accepted = false;

            for (int tries = 0; tries <= maxTries;) {
                const WordPlacement candidate = ChooseCandidate(i, length, side, random);
                host.Yield();
                if (host.isCancelRequested())
                    return PuzzleOutcome::Cancelled;

                if (const int collision = walkCandidate(grid, candidate, letters, host); collision > 0) {
                    revertCandidate(grid, candidate, collision, collision >= RevertPauseFromLetter, host);
                } else if (mustCross && !crossesEarlierWord(grid, candidate, letters)) {
                    revertCandidate(grid, candidate, length, length >= RevertPauseFromLetter, host);
                } else {
                    ++wordsPlaced;
                    host.WordAccepted(wordsPlaced);
                    commitCandidate(grid, candidate, host);
                    accepted = true;
                    break;
                }
                ++tries;
            }
            if (!accepted) {
                host.WordAbandoned();
                break;
            }
        }

        if (wordsPlaced == wordCount)
            break;
        host.AttemptFailed(attempt);
        if (attempt == MaxAttempts)
            return PuzzleOutcome::GivenUp;
    }

    fillEmptyCells(grid, random);
    host.PuzzleCompleted();
    return PuzzleOutcome::Completed;
}

} // namespace brivamo::baseline
