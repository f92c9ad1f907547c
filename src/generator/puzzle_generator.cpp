#include "generator/puzzle_generator.h"

#include "generator/blocked_words.h"

#include <algorithm>
#include <array>
#include <type_traits>

namespace brivamo {

void SortWordsLongestFirst(QStringList &words)
{
    std::stable_sort(words.begin(), words.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
}

PuzzleWorkspace::PuzzleWorkspace() : m_blocked(ProgramBlockedWords()) {}

PuzzleWorkspace::~PuzzleWorkspace() = default;

const ListCodes &PuzzleWorkspace::codesFor(const QStringList &words)
{
    if (!m_codes || !m_codes->isFor(words, m_blocked, m_hiddenMessage))
        m_codes = std::make_unique<ListCodes>(words, m_blocked, m_hiddenMessage);
    return *m_codes;
}

namespace {

// The host of a run without one: its notifications compile to nothing, and nothing can cancel it.
struct NoHost
{
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
    static constexpr bool isCancelRequested() { return false; }
};

// Where a word's first letter may lie along one axis, given that axis's step, so that its last
// letter stays inside the square.
int firstFit(int step, int length)
{
    return step < 0 ? length : 1;
}
int lastFit(int step, int length, int side)
{
    return step > 0 ? side - length + 1 : side;
}

// One run of the generator, reporting every step to the host (PuzzleHost, or NoHost for a run
// without one).
template <class Host, class Random> class Run
{
public:
    Run(PuzzleGrid &grid, const QStringList &words, int side, Host &host, Random &random,
        PuzzleWorkspace &workspace, PuzzleLevel level)
        : m_grid(grid), m_words(words), m_side(side), m_directions(DirectionsOf(level)), m_host(host),
          m_random(random), m_codes(workspace.codesFor(words)), m_placed(workspace.placed()),
          m_message(LettersInAlphabet(workspace.hiddenMessage(), m_codes.alphabet()))
    {
    }

    PuzzleOutcome make()
    {
        const int wordCount = static_cast<int>(m_words.size());
        for (int attempt = 1;; ++attempt) {
            m_host.AttemptStarted(attempt);
            m_grid.recreate(m_side);
            m_placed.clear();
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
                const bool spelt = m_message.isEmpty() || spellMessage();
                if (spelt && ClearSecondReadings(m_grid, m_codes, m_random,
                                                 m_message.isEmpty() ? nullptr : &m_kept, m_messageRuns)) {
                    m_host.PuzzleCompleted();
                    return PuzzleOutcome::Completed;
                }
                // A reading needs a letter of the hidden message, or every letter some cell
                // could take makes one readable: the square is restarted like one whose word
                // could not be fitted.
                m_host.WordAbandoned();
            }
            m_host.AttemptFailed(attempt);
            if (attempt == MaxAttempts)
                return PuzzleOutcome::GivenUp;
        }
    }

private:
    enum class Placed { Accepted, Abandoned, Cancelled };

    Placed placeWord(int wordNumber, int wordsPlaced)
    {
        const QString &word = m_words[wordNumber - 1];
        const bool mustCross = wordNumber % CrossingInterval == 0;
        for (int tries = 0; tries < CandidateLimit(m_side); ++tries) {
            const WordPlacement candidate = wordNumber == 1 ? firstCandidate(word) : otherCandidate(word);
            m_host.Yield();
            if (m_host.isCancelRequested())
                return Placed::Cancelled;

            if (const int collision = walk(candidate, word); collision > 0) {
                revert(candidate, collision, collision >= RevertPauseFromLetter);
            } else if ((mustCross && !crosses(candidate, word)) || !place(candidate, word)) {
                revert(candidate, candidate.length, candidate.length >= RevertPauseFromLetter);
            } else {
                m_host.WordAccepted(wordsPlaced + 1);
                for (int k = 1; k <= candidate.length; ++k)
                    m_host.CellCommitted(candidate.rowOf(k), candidate.columnOf(k), word[k - 1]);
                return Placed::Accepted;
            }
        }
        return Placed::Abandoned;
    }

    int draw(int lo, int hi) { return m_random.inRange(lo, hi); }

    // Word 1 takes the level's fixed direction or draws one of its directions, then its first
    // letter where the word fits, so it always fits (at Hard: upwards to the left, its first
    // letter in rows and columns length to side).
    WordPlacement firstCandidate(const QString &word)
    {
        WordPlacement candidate;
        candidate.length = static_cast<int>(word.size());
        const int choice = m_directions.firstWord ? m_directions.firstWord : draw(1, m_directions.count);
        candidate.setDirection(m_directions.codes[static_cast<std::size_t>(choice)]);
        candidate.startRow = draw(firstFit(candidate.rowStep, candidate.length),
                                  lastFit(candidate.rowStep, candidate.length, m_side));
        candidate.startColumn = draw(firstFit(candidate.columnStep, candidate.length),
                                     lastFit(candidate.columnStep, candidate.length, m_side));
        return candidate;
    }

    // Any other word draws one of the level's directions, a row and a column, in that order,
    // from the whole square, until the word fits.
    WordPlacement otherCandidate(const QString &word)
    {
        WordPlacement candidate;
        candidate.length = static_cast<int>(word.size());
        do {
            candidate.setDirection(m_directions.codes[static_cast<std::size_t>(draw(1, m_directions.count))]);
            candidate.startRow = draw(1, m_side);
            candidate.startColumn = draw(1, m_side);
        } while (!candidate.fits(m_side));
        return candidate;
    }

    // Walks the candidate into the puzzle layer; returns the letter (1-based) at which it runs
    // into a different letter of the solution layer, or 0 when the whole word fits.
    int walk(const WordPlacement &candidate, const QString &word)
    {
        const QChar *letters = word.constData();
        for (int k = 1; k <= candidate.length; ++k) {
            const int row = candidate.rowOf(k);
            const int column = candidate.columnOf(k);
            const QChar placed = m_grid.solution(row, column);
            if (!placed.isNull() && placed != letters[k - 1])
                return k;
            m_grid.setPuzzle(row, column, letters[k - 1]);
            m_host.CellTried(row, column, letters[k - 1]);
        }
        return 0;
    }

    // A crossing is a cell already holding the same letter; words passing between cells do not count.
    bool crosses(const WordPlacement &candidate, const QString &word) const
    {
        for (int k = 1; k <= candidate.length; ++k)
            if (m_grid.solution(candidate.rowOf(k), candidate.columnOf(k)) == word[k - 1])
                return true;
        return false;
    }

    void revert(const WordPlacement &candidate, int lastLetter, bool pauseFirst)
    {
        if (pauseFirst)
            m_host.PauseRequested(RevertPauseMilliseconds);
        for (int k = 1; k <= lastLetter; ++k) {
            const int row = candidate.rowOf(k);
            const int column = candidate.columnOf(k);
            m_host.CellReverted(row, column, m_grid.solution(row, column));
        }
    }

    // The word's letters go into the solution layer and its stretch into the placed words. They
    // are taken back at once (false) when placed letters alone would then spell a blocked word,
    // or a listed word outside its own place: no fill could undo that, so the candidate is
    // turned down like one that collides.
    bool place(const WordPlacement &candidate, const QString &word)
    {
        std::array<int, PuzzleGrid::MaxSide> fresh;
        std::size_t freshCount = 0;
        for (int k = 1; k <= candidate.length; ++k) {
            const int row = candidate.rowOf(k);
            const int column = candidate.columnOf(k);
            if (m_grid.solution(row, column).isNull()) {
                fresh[freshCount++] = PuzzleGrid::index(row, column);
                m_grid.setSolution(row, column, word[k - 1]);
            }
        }
        const PlacedStretch stretch = StretchOf(candidate);
        if (PlacedLettersSpoil(m_grid, m_codes, m_placed, stretch, std::span(fresh.data(), freshCount))) {
            for (std::size_t i = 0; i < freshCount; ++i)
                m_grid.solutionCells()[fresh[i]] = QChar();
            return false;
        }
        m_placed.push_back(stretch);
        return true;
    }

    // Every cell no word uses takes a fill letter in the puzzle layer and the dot in the
    // solution layer; the fill draws a letter for every cell of a row, placed ones included.
    void fillEmptyCells()
    {
        std::array<std::uint16_t, PuzzleGrid::MaxSide> letters;
        for (int row = 1; row <= m_side; ++row) {
            m_random.drawLetters(letters.data(), m_side, m_codes.alphabet().size());
            for (int column = 1; column <= m_side; ++column) {
                const QChar placed = m_grid.solution(row, column);
                if (placed.isNull()) {
                    m_grid.setPuzzle(row, column,
                                     m_codes.fillLetter(letters[static_cast<std::size_t>(column - 1)]));
                    m_grid.setSolution(row, column, PuzzleGrid::Dot);
                } else {
                    m_grid.setPuzzle(row, column, placed);
                }
            }
        }
    }

    // The first fill cells, row by row, take the message's letters and are kept from redrawing.
    // Where its letters lie side by side in a row, the solver reads them in the message's order:
    // that stretch is the message's own, as a listed word's place is. False when the square has
    // too few fill cells.
    bool spellMessage()
    {
        m_kept = {};
        m_messageRuns.clear();
        qsizetype next = 0;
        int previous = -1;
        for (int row = 1; row <= m_side && next < m_message.size(); ++row)
            for (int column = 1; column <= m_side && next < m_message.size(); ++column) {
                if (m_grid.solution(row, column) != PuzzleGrid::Dot)
                    continue;
                const int cell = PuzzleGrid::index(row, column);
                if (column > 1 && cell == previous + 1)
                    m_messageRuns.back().last = cell;
                else
                    m_messageRuns.push_back({0, cell, cell});
                previous = cell;
                m_grid.setPuzzle(row, column, m_message[next++]);
                m_kept[static_cast<std::size_t>(row - 1)] |= 1u << (column - 1);
            }
        return next == m_message.size();
    }

    PuzzleGrid &m_grid;
    const QStringList &m_words;
    const int m_side;
    const LevelDirections m_directions;
    Host &m_host;
    Random &m_random;
    const ListCodes &m_codes;
    std::vector<PlacedStretch> &m_placed;
    const QString m_message;
    CellRows m_kept{};
    std::vector<PlacedStretch> m_messageRuns;
};

bool acceptableInput(const QStringList &words, int side)
{
    if (side < 1 || side > PuzzleGrid::MaxSide)
        return false;
    return std::all_of(words.begin(), words.end(),
                       [side](const QString &word) { return word.size() <= side; });
}

// Marks the workspace as used for as long as a run lasts.
class WorkspaceUse
{
public:
    explicit WorkspaceUse(PuzzleWorkspace &workspace) : m_workspace(workspace) { m_workspace.setInUse(true); }
    ~WorkspaceUse() { m_workspace.setInUse(false); }
    WorkspaceUse(const WorkspaceUse &) = delete;
    WorkspaceUse &operator=(const WorkspaceUse &) = delete;

private:
    PuzzleWorkspace &m_workspace;
};

template <class Host, class Random>
PuzzleOutcome run(PuzzleGrid &grid, const QStringList &words, int side, Host &host, Random &random,
                  PuzzleWorkspace &workspace, PuzzleLevel level)
{
    if (!acceptableInput(words, side))
        return PuzzleOutcome::Refused;
    if (workspace.inUse()) {
        PuzzleWorkspace own;
        return run(grid, words, side, host, random, own, level);
    }
    const WorkspaceUse use(workspace);
    if constexpr (std::is_same_v<Host, PuzzleHost>)
        host.clearCancel();
    return Run<Host, Random>(grid, words, side, host, random, workspace, level).make();
}

} // namespace

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random, PuzzleWorkspace &workspace, PuzzleLevel level)
{
    return run(grid, words, side, host, random, workspace, level);
}

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random, PuzzleLevel level)
{
    PuzzleWorkspace workspace;
    return run(grid, words, side, host, random, workspace, level);
}

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side,
                         modStandard::SeededRandomSource &random, PuzzleWorkspace &workspace,
                         PuzzleLevel level)
{
    NoHost host;
    return run(grid, words, side, host, random, workspace, level);
}

} // namespace brivamo
