#include "puzzle/puzzle_generator.h"

#include "puzzle/blocked_words.h"

#include <algorithm>
#include <array>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brivamo {

void SortWordsLongestFirst(QStringList &words)
{
    std::stable_sort(words.begin(), words.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
}

namespace {
struct FitRange;
std::array<FitRange, 9> fitRanges(int length, int side, const LevelDirections &allowed);
} // namespace

PuzzleWorkspace::PuzzleWorkspace()
    : m_streams(std::make_unique<LetterStreams>()), m_blocked(ProgramBlockedWords())
{
}

PuzzleWorkspace::~PuzzleWorkspace() = default;

const ListCodes &PuzzleWorkspace::codesFor(const QStringList &words)
{
    if (!m_codes || !m_codes->isFor(words, m_blocked))
        m_codes = std::make_unique<ListCodes>(words, m_blocked);
    return *m_codes;
}

const StreamLayout &PuzzleWorkspace::layoutFor(int side)
{
    if (!m_layout || m_layout->side != side)
        m_layout = std::make_unique<StreamLayout>(side);
    return *m_layout;
}

namespace {

// A candidate's first cell (rows and columns from 1) and direction, given as its place among the
// level's directions (from 1; LevelDirections::codes turns it into a direction code).
struct Start
{
    int choice;
    int row;
    int column;
};

// Where a word of one length may start in one direction so that its last letter stays inside the
// square (rows and columns from 1).
struct FitRange
{
    int rowLow;
    unsigned rowSpan;
    int columnLow;
    unsigned columnSpan;

    // Without branches: whether a random candidate fits is a coin toss the processor cannot predict.
    bool holds(const Start &start) const
    {
        return (static_cast<unsigned>(start.row - rowLow) <= rowSpan) &
               (static_cast<unsigned>(start.column - columnLow) <= columnSpan);
    }
};

// The fit ranges of the level's directions, by their places among them.
std::array<FitRange, 9> fitRanges(int length, int side, const LevelDirections &allowed)
{
    std::array<FitRange, 9> ranges{};
    for (int choice = 1; choice <= allowed.count; ++choice) {
        const DirectionStep step = DirectionSteps[allowed.codes[choice]];
        FitRange &range = ranges[choice];
        range.rowLow = step.row < 0 ? length : 1;
        range.rowSpan = static_cast<unsigned>((step.row > 0 ? side - length + 1 : side) - range.rowLow);
        range.columnLow = step.column < 0 ? length : 1;
        range.columnSpan =
            static_cast<unsigned>((step.column > 0 ? side - length + 1 : side) - range.columnLow);
    }
    return ranges;
}

} // namespace

struct PuzzleWorkspace::FitTable
{
    int side;
    PuzzleLevel level;
    std::array<std::array<FitRange, 9>, PuzzleGrid::MaxSide + 1> byLength;
};

const PuzzleWorkspace::FitTable &PuzzleWorkspace::fitsFor(int side, PuzzleLevel level)
{
    if (!m_fits || m_fits->side != side || m_fits->level != level) {
        m_fits = std::make_unique<FitTable>();
        m_fits->side = side;
        m_fits->level = level;
        for (int length = 1; length <= PuzzleGrid::MaxSide; ++length)
            m_fits->byLength[length] = fitRanges(length, side, DirectionsOf(level));
    }
    return *m_fits;
}

namespace {

// The one way a candidate is drawn; draw(lo, hi) gives a whole number from lo to hi, fits are
// the word's fitRanges. Word 1 takes the level's fixed direction or draws one of its directions,
// then its first letter where the word fits, so it always fits (at Hard: upwards to the left, its
// first letter in rows and columns length to side).
template <class Draw>
[[gnu::always_inline]] inline Start drawFirstStart(Draw &draw, const LevelDirections &allowed,
                                                   const std::array<FitRange, 9> &fits)
{
    const int choice = allowed.firstWord ? allowed.firstWord : draw(1, allowed.count);
    const FitRange &fit = fits[choice];
    const int row = draw(fit.rowLow, fit.rowLow + static_cast<int>(fit.rowSpan));
    return {choice, row, draw(fit.columnLow, fit.columnLow + static_cast<int>(fit.columnSpan))};
}

// Any other word draws one of the level's count directions, a row and a column, in that order, from
// the whole square.
template <class Draw> [[gnu::always_inline]] inline Start drawStart(Draw &draw, int count, int side)
{
    const int choice = draw(1, count);
    const int row = draw(1, side);
    return {choice, row, draw(1, side)};
}

// Which stream holds a direction's lines, and whether the direction reads it forwards.
struct StreamDirection
{
    int orientation;
    bool forwards;
};
inline constexpr std::array<StreamDirection, 9> StreamDirections{{
    {0, true},  // unused
    {1, false}, // upwards: a column read backwards
    {3, false}, // upwards to the right
    {0, true},  // left to right
    {2, true},  // downwards to the right
    {1, true},  // downwards
    {3, true},  // downwards to the left
    {0, false}, // right to left
    {2, false}, // upwards to the left
}};

// The judges of a silent run: true when a word (its codes, in stream order) may lie on a stretch
// of cells (codes, 0 for empty), meeting no different letter and, if it must, crossing a word.
// Parts × 8 codes of both are readable, enough for the word. No branch depends on the cells.
struct PlainJudge
{
    template <int Parts>
    static bool accepts(const std::uint16_t *cells, const std::uint16_t *word, int length, bool mustCross)
    {
        bool clear = true;
        bool crossed = !mustCross;
        for (int k = 0; k < length; ++k) {
            clear &= (cells[k] == 0) | (cells[k] == word[k]);
            crossed |= cells[k] == word[k];
        }
        return clear & crossed;
    }
};

#if defined(__SSE2__)
// Compares 8 codes at a time, Parts times; lanes past the word's length are masked off.
struct VectorJudge
{
    template <int Parts>
    static bool accepts(const std::uint16_t *cells, const std::uint16_t *word, int length, bool mustCross)
    {
        const std::uint64_t used = (std::uint64_t(1) << (2 * length)) - 1; // two mask bits per code
        const __m128i zero = _mm_setzero_si128();
        std::uint64_t empty = 0;
        std::uint64_t same = 0;
        for (int k = 0; k < Parts; ++k) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(cells + 8 * k));
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(word + 8 * k));
            empty |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(c, zero)))) << (16 * k);
            same |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(c, w)))) << (16 * k);
        }
        const bool clear = (~(empty | same) & used) == 0;
        const bool crossed = ((same & used) | std::uint64_t(!mustCross)) != 0;
        return clear & crossed;
    }
};
#else
using VectorJudge = PlainJudge;
#endif

// Hands out an engine's numbers from its current block, keeping its place in a register rather
// than in the engine, and tells the engine how many it took when it goes.
class NumberReader
{
public:
    explicit NumberReader(modStandard::MersenneTwister &engine) : m_engine(engine) { start(); }
    ~NumberReader() { m_engine.skip(taken()); }
    NumberReader(const NumberReader &) = delete;
    NumberReader &operator=(const NumberReader &) = delete;

    std::uint32_t next()
    {
        if (m_next != m_end) [[likely]]
            return *m_next++;
        return nextBlock();
    }
    // Hands take() the numbers three at a time, as three calls would give them, until it
    // returns true. Within a block the place is kept in a register and the block's end is
    // looked at once a triple.
    template <class Take> void eachThree(Take take)
    {
        for (;;) {
            const std::uint32_t *at = m_next;
            for (const std::uint32_t *last = m_end - 2; at < last; at += 3)
                if (take(at[0], at[1], at[2])) [[unlikely]] {
                    m_next = at + 3;
                    return;
                }
            m_next = at;
            const std::uint32_t first = next();
            const std::uint32_t second = next();
            if (take(first, second, next()))
                return;
        }
    }

private:
    [[gnu::noinline]] std::uint32_t nextBlock()
    {
        m_engine.skip(taken());
        const std::uint32_t number = m_engine();
        start();
        return number;
    }
    int taken() const { return static_cast<int>(m_next - m_first); }
    void start()
    {
        int count = 0;
        m_first = m_next = m_engine.untaken(count);
        m_end = m_first + count;
    }

    modStandard::MersenneTwister &m_engine;
    const std::uint32_t *m_first = nullptr;
    const std::uint32_t *m_next = nullptr;
    const std::uint32_t *m_end = nullptr;
};

// The host of a silent run: its notifications compile to nothing, and nothing can cancel it.
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

// One run of the generator on the grid's plain arrays, cells addressed by array index (rows and
// columns are worked out only for the notifications). Either the notifying run (Host PuzzleHost,
// any source; candidates walked on the grid, every step reported) or a silent one (Host NoHost,
// the seeded source; candidates judged on the letter streams by Judge). Both keep the streams'
// letters as the words are placed and the fill is drawn, for the fill guard.
template <class Host, class Random, class Judge = void> class Run
{
public:
    Run(PuzzleGrid &grid, const QStringList &words, int side, Host &host, Random &random,
        PuzzleWorkspace &workspace, PuzzleLevel level)
        : m_grid(grid), m_words(words), m_side(side), m_directions(DirectionsOf(level)), m_host(host),
          m_random(random), m_codes(workspace.codesFor(words)), m_layout(workspace.layoutFor(side)),
          m_fits(workspace.fitsFor(side, level)), m_streams(workspace.streams()),
          m_placed(workspace.placed()),
          m_message(LettersInAlphabet(workspace.hiddenMessage(), m_codes.alphabet()))
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
            m_streams.clear(m_layout, m_codes.separator());
            m_placed.clear();
            m_placed.reserve(m_words.size());
            int wordsPlaced = 0;

            for (int i = 1; i <= wordCount; ++i) {
                Placed placed;
                if constexpr (Silent)
                    placed = placeWordSilently(i);
                else
                    placed = placeWord(i, wordsPlaced);
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
                if (spelt && ClearSecondReadings(m_grid, m_codes, m_layout, m_streams, m_random, m_placed,
                                                 m_message.isEmpty() ? nullptr : &m_kept)) {
                    m_host.PuzzleCompleted();
                    return PuzzleOutcome::Completed;
                }
                // Placed letters alone spell a word a second time or a blocked word, or every
                // letter some cell could take makes one readable: the square is restarted like
                // one whose word could not be fitted.
                m_host.WordAbandoned();
            }
            m_host.AttemptFailed(attempt);
            if (attempt == MaxAttempts)
                return PuzzleOutcome::GivenUp;
        }
    }

private:
    enum class Placed { Accepted, Abandoned, Cancelled };
    static constexpr bool Silent = std::is_same_v<Host, NoHost>;

    static int rowOf(int cell) { return cell / PuzzleGrid::Stride + 1; }
    static int columnOf(int cell) { return cell % PuzzleGrid::Stride + 1; }
    static int strideOf(int direction)
    {
        return DirectionSteps[direction].row * PuzzleGrid::Stride + DirectionSteps[direction].column;
    }

    // --- the notifying run ---

    Placed placeWord(int wordNumber, int wordsPlaced)
    {
        const QString &word = m_words[wordNumber - 1];
        const QChar *letters = word.constData();
        const int length = static_cast<int>(word.size());
        const std::uint16_t *codes = m_codes.word(wordNumber - 1).forwards.data();
        const bool mustCross = wordNumber % CrossingInterval == 0;
        const int maxTries = CandidateLimit(m_side) - 1;
        const std::array<FitRange, 9> &fits = m_fits.byLength[length];
        auto draw = [this](int lo, int hi) { return m_random.inRange(lo, hi); };

        for (int tries = 0; tries <= maxTries; ++tries) {
            Start candidate;
            do
                candidate = wordNumber == 1 ? drawFirstStart(draw, m_directions, fits)
                                            : drawStart(draw, m_directions.count, m_side);
            while (!fits[candidate.choice].holds(candidate));
            m_host.Yield();
            if (m_host.isCancelRequested())
                return Placed::Cancelled;

            const int start = PuzzleGrid::index(candidate.row, candidate.column);
            const int stride = strideOf(m_directions.codes[candidate.choice]);
            if (const int collision = walk(start, stride, letters, length); collision > 0) {
                revert(start, stride, collision, collision >= RevertPauseFromLetter);
            } else if ((mustCross && !crosses(start, stride, letters, length)) ||
                       !place(start, m_directions.codes[candidate.choice], letters, codes, length)) {
                revert(start, stride, length, length >= RevertPauseFromLetter);
            } else {
                m_host.WordAccepted(wordsPlaced + 1);
                for (int k = 0, cell = start; k < length; ++k, cell += stride)
                    m_host.CellCommitted(rowOf(cell), columnOf(cell), letters[k]);
                return Placed::Accepted;
            }
        }
        return Placed::Abandoned;
    }

    // Walks the candidate into the puzzle layer; returns the letter (1-based) at which it runs
    // into a different letter of the solution layer, or 0 when the whole word fits.
    int walk(int start, int stride, const QChar *letters, int length)
    {
        for (int k = 0, cell = start; k < length; ++k, cell += stride) {
            const QChar placed = m_solution[cell];
            if (!placed.isNull() && placed != letters[k])
                return k + 1;
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

    // --- the silent run ---

    // What a candidate of one direction needs: where the word may start and where its cells lie
    // in the streams (the stretch begins shift codes before the start cell's position, and holds
    // the word forwards or backwards), and the grid's step from one letter to the next.
    struct Lane
    {
        FitRange fit;
        int stride;
        const std::uint16_t *word;
        const std::uint16_t *line; // the stream, less length - 1 codes for a word read backwards
        const std::uint16_t *position;
    };

    Placed placeWordSilently(int wordNumber)
    {
        const QString &word = m_words[wordNumber - 1];
        const int length = static_cast<int>(word.size());
        const ListCodes::WordCodes &codes = m_codes.word(wordNumber - 1);
        const std::array<FitRange, 9> &fits = m_fits.byLength[length];
        // By the directions' places among the level's, as they are drawn.
        std::array<Lane, 9> lanes;
        for (int choice = 1; choice <= m_directions.count; ++choice) {
            const int direction = m_directions.codes[choice];
            const StreamDirection stream = StreamDirections[direction];
            // Chosen by masks and indexes: which way a direction reads is no pattern to predict.
            const int backwards = !stream.forwards;
            const std::array<const std::uint16_t *, 2> ways{codes.forwards.data(), codes.backwards.data()};
            lanes[choice] = {fits[choice], strideOf(direction), ways[static_cast<std::size_t>(backwards)],
                             m_streams.line(stream.orientation) + ((1 - length) & -backwards),
                             m_layout.position[stream.orientation].data()};
        }
        NumberReader numbers(m_random.engine());
        auto draw = [&numbers](int lo, int hi) {
            return modStandard::SeededRandomSource::mapToRange(numbers.next(), lo, hi);
        };
        if (wordNumber == 1) {
            // The square is still empty, so the first candidate is taken: a lone word spells
            // nothing it may not.
            const Start candidate = drawFirstStart(draw, m_directions, fits);
            [[maybe_unused]] const bool stands =
                place(PuzzleGrid::index(candidate.row, candidate.column),
                      m_directions.codes[candidate.choice], word.constData(), codes.forwards.data(), length);
            return Placed::Accepted;
        }
        switch ((length + 7) / 8) {
        case 1:
            return judgeAtLevel<1>(wordNumber, lanes, numbers);
        case 2:
            return judgeAtLevel<2>(wordNumber, lanes, numbers);
        case 3:
            return judgeAtLevel<3>(wordNumber, lanes, numbers);
        default:
            return judgeAtLevel<4>(wordNumber, lanes, numbers);
        }
    }

    // The number of directions is a constant of the loop, so that drawing one costs no more at
    // Hard than it did before there were levels.
    template <int Parts>
    Placed judgeAtLevel(int wordNumber, const std::array<Lane, 9> &lanes, NumberReader &numbers)
    {
        switch (m_directions.count) {
        case 2:
            return judgeCandidates<Parts, 2>(wordNumber, lanes, numbers);
        case 4:
            return judgeCandidates<Parts, 4>(wordNumber, lanes, numbers);
        default:
            return judgeCandidates<Parts, 8>(wordNumber, lanes, numbers);
        }
    }

    template <int Parts, int Directions>
    Placed judgeCandidates(int wordNumber, const std::array<Lane, 9> &lanes, NumberReader &numbers)
    {
        const QString &word = m_words[wordNumber - 1];
        const int length = static_cast<int>(word.size());
        const bool mustCross = wordNumber % CrossingInterval == 0;
        const int maxTries = CandidateLimit(m_side) - 1;
        const int side = m_side;
        int tries = 0;
        Placed outcome = Placed::Abandoned;
        // No branch below depends on a candidate until it is taken or the tries run out. A
        // candidate that would leave the square is judged all the same (the streams' margins
        // keep its reads inside them) and counts for nothing, as the notifying run draws again.
        numbers.eachThree([&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
            // drawStart's three draws.
            std::array<std::uint32_t, 3> three{a, b, c};
            std::size_t taken = 0;
            auto draw = [&](int lo, int hi) {
                return modStandard::SeededRandomSource::mapToRange(three[taken++], lo, hi);
            };
            const Start candidate = drawStart(draw, Directions, side);
            // Counted from zero, so that the lane's address is worked out once, not twice.
            const Lane &lane = (lanes.data() + 1)[candidate.choice - 1];
            const bool inside = lane.fit.holds(candidate);
            const int start = PuzzleGrid::index(candidate.row, candidate.column);
            const bool accepted = inside & Judge::template accepts<Parts>(lane.line + lane.position[start],
                                                                          lane.word, length, mustCross);
            tries += inside;
            if (!(accepted | (tries > maxTries))) [[likely]]
                return false;
            if (accepted && place(start, m_directions.codes[candidate.choice], word.constData(),
                                  m_codes.word(wordNumber - 1).forwards.data(), length)) {
                outcome = Placed::Accepted;
                return true;
            }
            return tries > maxTries;
        });
        return outcome;
    }

    // --- both ---

    // The word's letters go into the solution layer and the streams, and its stretch into the
    // placed words. They are taken back at once (false) when placed letters alone would then
    // spell a blocked word, or a listed word outside its own place: no fill could undo that, so
    // the candidate is turned down like one that collides.
    bool place(int start, int direction, const QChar *letters, const std::uint16_t *codes, int length)
    {
        const int stride = strideOf(direction);
        const StreamDirection stream = StreamDirections[direction];
        const int from = m_layout.position[stream.orientation][start];
        const int to = stream.forwards ? from + length - 1 : from - (length - 1);
        m_placed.push_back({stream.orientation, std::min(from, to), std::max(from, to)});
        const std::uint64_t fresh = m_streams.placeWord(m_layout, stream.orientation, start,
                                                        DirectionSteps[direction], codes, length);
        for (int k = 0, cell = start; k < length; ++k, cell += stride)
            m_solution[cell] = letters[k];
        // A lone word spells nothing it may not: a blocked word inside it is allowed, and a
        // listed word inside it is read within its own stretch.
        if (m_placed.size() == 1 || !PlacedLettersSpoil(m_codes, m_layout, m_streams, m_placed, start, fresh))
            [[likely]]
            return true;
        m_placed.pop_back();
        m_streams.takeBack(m_layout, stream.orientation, start, stride, length, fresh);
        for (int k = 0, cell = start; k < length; ++k, cell += stride)
            if (m_streams.cell(cell) == 0)
                m_solution[cell] = QChar();
        return false;
    }

    // Every cell of a row gets a drawn letter and the placed ones keep theirs, so that no branch
    // depends on where the words lie: the puzzle layer takes the placed or the drawn letter, the
    // solution layer keeps its letter or takes the dot, and the streams' cells follow the puzzle.
    // A to Z, the usual alphabet, is worked out eight or four cells at a time; any other is looked up.
    void fillEmptyCells()
    {
        std::array<std::uint16_t, PuzzleGrid::MaxSide> letters;
        std::uint16_t *codes = m_streams.cells();
        const FillAlphabet &alphabet = m_codes.alphabet();
        for (int row = 0; row < m_side; ++row) {
            m_random.drawLetters(letters.data(), m_side, alphabet.size());
            const int first = row * PuzzleGrid::Stride;
            int column = 0;
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            // Cells column on, as many as load and store move (eight, or four).
            auto fillLanes = [&](auto load, auto store) {
                const int cell = first + column;
                const __m128i placed = load(m_solution + cell);
                const __m128i letter = load(letters.data() + column);
                const __m128i empty = _mm_cmpeq_epi16(placed, zero);
                auto choose = [&](__m128i ifEmpty, __m128i otherwise) {
                    return _mm_or_si128(_mm_and_si128(empty, ifEmpty), _mm_andnot_si128(empty, otherwise));
                };
                store(m_puzzle + cell, choose(_mm_add_epi16(letter, _mm_set1_epi16(u'A')), placed));
                store(m_solution + cell,
                      choose(_mm_set1_epi16(static_cast<short>(PuzzleGrid::Dot.unicode())), placed));
                store(codes + cell, choose(_mm_add_epi16(letter, _mm_set1_epi16(1)), load(codes + cell)));
            };
            auto load8 = [](const void *at) { return _mm_loadu_si128(static_cast<const __m128i *>(at)); };
            auto store8 = [](void *at, __m128i v) { _mm_storeu_si128(static_cast<__m128i *>(at), v); };
            auto load4 = [](const void *at) { return _mm_loadl_epi64(static_cast<const __m128i *>(at)); };
            auto store4 = [](void *at, __m128i v) { _mm_storel_epi64(static_cast<__m128i *>(at), v); };
            if (alphabet.plain) {
                for (; column + 8 <= m_side; column += 8)
                    fillLanes(load8, store8);
                if (column + 4 <= m_side) {
                    fillLanes(load4, store4);
                    column += 4;
                }
            }
#endif
            for (; column < m_side; ++column) {
                const int cell = first + column;
                const char16_t placed = m_solution[cell].unicode();
                // All ones where a word lies: the choices are masks, not branches.
                const auto keep = static_cast<std::uint16_t>(-static_cast<int>(placed != 0));
                m_puzzle[cell] = QChar(
                    char16_t((placed & keep) | (m_codes.fillLetter(letters[column]).unicode() & ~keep)));
                m_solution[cell] = QChar(char16_t((placed & keep) | (PuzzleGrid::Dot.unicode() & ~keep)));
                codes[cell] = static_cast<std::uint16_t>((codes[cell] & keep) |
                                                         (m_codes.fillCode(letters[column]) & ~keep));
            }
        }
    }

    // The first fill cells, row by row, take the message's letters and are kept from redrawing.
    // False when the square has too few fill cells for it.
    bool spellMessage()
    {
        m_kept = {};
        qsizetype next = 0;
        for (int row = 0; row < m_side && next < m_message.size(); ++row)
            for (int column = 0; column < m_side && next < m_message.size(); ++column) {
                const int cell = row * PuzzleGrid::Stride + column;
                if (m_solution[cell] != PuzzleGrid::Dot)
                    continue;
                m_puzzle[cell] = m_message[next++];
                m_streams.setCell(cell, m_codes.codeOf(m_puzzle[cell]));
                m_kept[row] |= 1u << column;
            }
        return next == m_message.size();
    }

    PuzzleGrid &m_grid;
    const QStringList &m_words;
    const int m_side;
    const LevelDirections m_directions;
    Host &m_host;
    Random &m_random;
    QChar *m_solution = nullptr;
    QChar *m_puzzle = nullptr;
    const ListCodes &m_codes;
    const StreamLayout &m_layout;
    const PuzzleWorkspace::FitTable &m_fits;
    LetterStreams &m_streams;
    std::vector<PlacedStretch> &m_placed;
    const QString m_message;
    CellRows m_kept{};
};

bool acceptableInput(const QStringList &words, int side)
{
    if (side < 1 || side > PuzzleGrid::MaxSide)
        return false;
    for (const QString &word : words)
        if (word.size() > side)
            return false;
    return true;
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

} // namespace

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random, PuzzleWorkspace &workspace, PuzzleLevel level)
{
    if (!acceptableInput(words, side))
        return PuzzleOutcome::Refused;
    if (workspace.inUse()) {
        PuzzleWorkspace own;
        return MakePuzzle(grid, words, side, host, random, own, level);
    }
    const WorkspaceUse use(workspace);
    host.clearCancel();
    return Run<PuzzleHost, modStandard::RandomSource>(grid, words, side, host, random, workspace, level)
        .make();
}

PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random, PuzzleLevel level)
{
    PuzzleWorkspace workspace;
    return MakePuzzle(grid, words, side, host, random, workspace, level);
}

PuzzleOutcome MakePuzzleSilently(PuzzleGrid &grid, const QStringList &words, int side,
                                 modStandard::SeededRandomSource &random, PuzzleWorkspace &workspace,
                                 PuzzleLevel level, StretchJudge judge)
{
    if (!acceptableInput(words, side))
        return PuzzleOutcome::Refused;
    if (workspace.inUse()) {
        PuzzleWorkspace own;
        return MakePuzzleSilently(grid, words, side, random, own, level, judge);
    }
    const WorkspaceUse use(workspace);
    NoHost host;
    using Seeded = modStandard::SeededRandomSource;
    if (judge == StretchJudge::Plain)
        return Run<NoHost, Seeded, PlainJudge>(grid, words, side, host, random, workspace, level).make();
    return Run<NoHost, Seeded, VectorJudge>(grid, words, side, host, random, workspace, level).make();
}

} // namespace brivamo
