#include "puzzle/puzzle_generator.h"

#include "puzzle/fill_guard.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <typeinfo>

namespace brivamo {

void SortWordsLongestFirst(QStringList &words)
{
    std::stable_sort(words.begin(), words.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
}

namespace {

template <class Random> WordPlacement chooseCandidate(int wordNumber, int length, int side, Random &random)
{
    Q_ASSERT(length <= side);
    WordPlacement candidate;
    candidate.length = length;
    for (;;) {
        if (wordNumber == 1) {
            candidate.setDirection(8);
            candidate.startRow = random.inRange(length, side);
            candidate.startColumn = random.inRange(length, side);
        } else {
            candidate.setDirection(random.inRange(1, 8));
            candidate.startRow = random.inRange(1, side);
            candidate.startColumn = random.inRange(1, side);
        }
        if (candidate.fits(side))
            return candidate;
    }
}

// Stands in for a host that ignores every notification, so that the generator's calls to it
// compile to nothing. Only its cancel flag is real (and nothing sets it during a run).
class QuietHost
{
public:
    // Nobody sees the puzzle layer's scribbles before the fill overwrites every cell.
    static constexpr bool Scribbles = false;
    explicit QuietHost(const PuzzleHost &host) : m_host(host) {}
    void AttemptStarted(int) {}
    void Yield() {}
    void CellTried(int, int, QChar) {}
    void PauseRequested(int) {}
    void CellReverted(int, int, QChar) {}
    void WordAccepted(int) {}
    void CellCommitted(int, int, QChar) {}
    void WordAbandoned() {}
    void AttemptFailed(int) {}
    void PuzzleCompleted() {}
    bool isCancelRequested() const { return m_host.isCancelRequested(); }

private:
    const PuzzleHost &m_host;
};

// One run of the generator on the grid's plain arrays. Host is PuzzleHost (every notification
// delivered) or QuietHost; Random is the abstract source or the final seeded one, whose draws
// then inline. Cells are addressed by array index; rows and columns are worked out only for
// the notifications.
template <class Host, class Random> class Run
{
public:
    Run(PuzzleGrid &grid, const QStringList &words, int side, Host &host, Random &random)
        : m_grid(grid), m_words(words), m_side(side), m_host(host), m_random(random)
    {
    }

    PuzzleOutcome make()
    {
        const int wordCount = static_cast<int>(m_words.size());
        for (int attempt = 1;; ++attempt) {
            m_host.AttemptStarted(attempt);
            m_grid.recreate(m_side);
            m_solution = m_grid.solutionCells();
            m_puzzle = m_grid.puzzleCells();
            int wordsPlaced = 0;

            for (int i = 1; i <= wordCount; ++i) {
                const Placed placed = placeWord(i, wordsPlaced);
                if (placed == Placed::Cancelled)
                    return PuzzleOutcome::Cancelled;
                if (placed == Placed::Abandoned) {
                    m_host.WordAbandoned();
                    break;
                }
                ++wordsPlaced;
            }

            if (wordsPlaced == wordCount) {
                fillEmptyCells();
                if (ClearSecondReadings(m_grid, m_words, m_random)) {
                    m_host.PuzzleCompleted();
                    return PuzzleOutcome::Completed;
                }
                // Every letter some cell could take makes a word readable: the square is
                // restarted like one whose word could not be fitted.
                m_host.WordAbandoned();
            }
            m_host.AttemptFailed(attempt);
            if (attempt == MaxAttempts)
                return PuzzleOutcome::GivenUp;
        }
    }

private:
    enum class Placed { Accepted, Abandoned, Cancelled };

    static constexpr bool scribbles()
    {
        if constexpr (requires { Host::Scribbles; })
            return Host::Scribbles;
        return true;
    }
    static int rowOf(int cell) { return cell / PuzzleGrid::Stride + 1; }
    static int columnOf(int cell) { return cell % PuzzleGrid::Stride + 1; }

    Placed placeWord(int wordNumber, int wordsPlaced)
    {
        const QString &word = m_words[wordNumber - 1];
        const QChar *letters = word.constData();
        const int length = static_cast<int>(word.size());
        const bool mustCross = wordNumber % CrossingInterval == 0;
        const int maxTries = CandidateLimit(m_side) - 1;

        setFitRanges(length);
        for (int tries = 0; tries <= maxTries; ++tries) {
            const WordPlacement candidate = nextCandidate(wordNumber, length);
            m_host.Yield();
            if (m_host.isCancelRequested())
                return Placed::Cancelled;

            const int start = PuzzleGrid::index(candidate.startRow, candidate.startColumn);
            const int stride = candidate.rowStep * PuzzleGrid::Stride + candidate.columnStep;
            if constexpr (!scribbles()) {
                // Nothing is notified, so collision and crossing can be found in one pass.
                if (quietWalk(start, stride, letters, length, mustCross)) {
                    commit(start, stride, letters, length);
                    return Placed::Accepted;
                }
                continue;
            }
            if (const int collision = walk(start, stride, letters, length); collision > 0) {
                revert(start, stride, collision, collision >= RevertPauseFromLetter);
            } else if (mustCross && !crosses(start, stride, letters, length)) {
                revert(start, stride, length, length >= RevertPauseFromLetter);
            } else {
                m_host.WordAccepted(wordsPlaced + 1);
                commit(start, stride, letters, length);
                return Placed::Accepted;
            }
        }
        return Placed::Abandoned;
    }

    static constexpr bool drawsInBlocks()
    {
        return requires(Random & r)
        {
            r.engine().nextThree();
        };
    }

    // Where a word of this length may start in each direction (rows and columns, 1-based).
    void setFitRanges(int length)
    {
        for (int direction = 1; direction <= 8; ++direction) {
            const DirectionStep step = DirectionSteps[direction];
            m_rowLow[direction] = step.row < 0 ? length : 1;
            m_rowSpan[direction] =
                static_cast<unsigned>((step.row > 0 ? m_side - length + 1 : m_side) - m_rowLow[direction]);
            m_columnLow[direction] = step.column < 0 ? length : 1;
            m_columnSpan[direction] = static_cast<unsigned>((step.column > 0 ? m_side - length + 1 : m_side) -
                                                            m_columnLow[direction]);
        }
    }

    // The same candidates as chooseCandidate; a seeded source hands over its three numbers at
    // once, and the fit is a table look-up.
    WordPlacement nextCandidate(int wordNumber, int length)
    {
        if constexpr (drawsInBlocks()) {
            if (wordNumber != 1) {
                auto &engine = m_random.engine();
                const auto side = static_cast<std::uint64_t>(m_side);
                for (;;) {
                    const auto [a, b, c] = engine.nextThree();
                    // mapToRange(a, 1, 8), mapToRange(b, 1, side), mapToRange(c, 1, side)
                    const int direction = 1 + static_cast<int>(a >> 29);
                    const int row = 1 + static_cast<int>(((b >> 8) * side) >> 24);
                    const int column = 1 + static_cast<int>(((c >> 8) * side) >> 24);
                    if (static_cast<unsigned>(row - m_rowLow[direction]) <= m_rowSpan[direction] &&
                        static_cast<unsigned>(column - m_columnLow[direction]) <= m_columnSpan[direction]) {
                        WordPlacement candidate;
                        candidate.length = length;
                        candidate.setDirection(direction);
                        candidate.startRow = row;
                        candidate.startColumn = column;
                        return candidate;
                    }
                }
            }
        }
        return chooseCandidate(wordNumber, length, m_side, m_random);
    }

    // True when the candidate meets no different letter and, if it must, crosses a word.
    bool quietWalk(int start, int stride, const QChar *letters, int length, bool mustCross) const
    {
        bool crossed = !mustCross;
        for (int k = 0, cell = start; k < length; ++k, cell += stride) {
            const char16_t placed = m_solution[cell].unicode();
            if (placed == 0)
                continue;
            if (placed != letters[k].unicode())
                return false;
            crossed = true;
        }
        return crossed;
    }

    // Walks the candidate into the puzzle layer; returns the letter (1-based) at which it runs
    // into a different letter of the solution layer, or 0 when the whole word fits.
    int walk(int start, int stride, const QChar *letters, int length)
    {
        for (int k = 0, cell = start; k < length; ++k, cell += stride) {
            const QChar placed = m_solution[cell];
            if (!placed.isNull() && placed != letters[k])
                return k + 1;
            if constexpr (scribbles())
                m_puzzle[cell] = letters[k];
            m_host.CellTried(rowOf(cell), columnOf(cell), letters[k]);
        }
        return 0;
    }

    // A crossing is a cell already holding the same letter; words passing between cells do not count.
    bool crosses(int start, int stride, const QChar *letters, int length) const
    {
        for (int k = 0, cell = start; k < length; ++k, cell += stride)
            if (m_solution[cell] == letters[k])
                return true;
        return false;
    }

    void revert(int start, int stride, int lastLetter, bool pauseFirst)
    {
        if (pauseFirst)
            m_host.PauseRequested(RevertPauseMilliseconds);
        for (int k = 0, cell = start; k < lastLetter; ++k, cell += stride)
            m_host.CellReverted(rowOf(cell), columnOf(cell), m_solution[cell]);
    }

    void commit(int start, int stride, const QChar *letters, int length)
    {
        for (int k = 0, cell = start; k < length; ++k, cell += stride) {
            const QChar letter = scribbles() ? m_puzzle[cell] : letters[k];
            m_solution[cell] = letter;
            m_host.CellCommitted(rowOf(cell), columnOf(cell), letter);
        }
    }

    void fillEmptyCells()
    {
        for (int row = 0; row < m_side; ++row) {
            QChar *solution = m_solution + row * PuzzleGrid::Stride;
            QChar *puzzle = m_puzzle + row * PuzzleGrid::Stride;
            for (int column = 0; column < m_side; ++column) {
                if (!solution[column].isNull()) {
                    puzzle[column] = solution[column];
                } else {
                    solution[column] = PuzzleGrid::Dot;
                    puzzle[column] = QChar(m_random.inRange('A', 'Z'));
                }
            }
        }
    }

    PuzzleGrid &m_grid;
    const QStringList &m_words;
    const int m_side;
    Host &m_host;
    Random &m_random;
    QChar *m_solution = nullptr;
    QChar *m_puzzle = nullptr;
    std::array<int, 9> m_rowLow{};
    std::array<unsigned, 9> m_rowSpan{};
    std::array<int, 9> m_columnLow{};
    std::array<unsigned, 9> m_columnSpan{};
};

template <class Host, class Random>
PuzzleOutcome runWith(PuzzleGrid &grid, const QStringList &words, int side, Host &host, Random &random)
{
    return Run<Host, Random>(grid, words, side, host, random).make();
}

template <class Random>
PuzzleOutcome runWith(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host, Random &random)
{
    // Only a host of exactly the silent type is known to ignore everything; a subclass may not.
    if (typeid(host) == typeid(SilentPuzzleHost)) {
        QuietHost quiet(host);
        return runWith(grid, words, side, quiet, random);
    }
    return runWith<PuzzleHost, Random>(grid, words, side, host, random);
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

WordPlacement ChooseCandidate(int wordNumber, int length, int side, modStandard::RandomSource &random)
{
    return chooseCandidate(wordNumber, length, side, random);
}

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random)
{
    if (!acceptableInput(words, side))
        return PuzzleOutcome::Refused;
    host.clearCancel();
    if (auto *seeded = dynamic_cast<modStandard::SeededRandomSource *>(&random))
        return runWith(grid, words, side, host, *seeded);
    return runWith(grid, words, side, host, random);
}

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host)
{
    return MakePuzzle(grid, words, side, host, modStandard::ProgramRandomSource());
}

} // namespace brivamo
