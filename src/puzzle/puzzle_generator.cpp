#include "puzzle/puzzle_generator.h"

#include "puzzle/fill_guard.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <typeinfo>

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

// True when a word (its codes, in stream order) may lie on a stretch of cells (codes, 0 for
// empty): it meets no different letter and, if it must, crosses a word. Both are read 8 codes
// at a time, Parts times (enough for the word); lanes past the word's length are ignored. No
// branch depends on the cells, since whether a random candidate collides is a coin toss the
// processor cannot predict.
template <int Parts>
inline bool stretchAccepts(const std::uint16_t *cells, const std::uint16_t *word, int length, bool mustCross)
{
    const std::uint64_t used = (std::uint64_t(1) << (2 * length)) - 1; // two mask bits per code
    std::uint64_t empty = 0;
    std::uint64_t same = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto part = [&](int k) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(cells + 8 * k));
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(word + 8 * k));
        empty |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(c, zero)))) << (16 * k);
        same |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(c, w)))) << (16 * k);
    };
    part(0);
    if constexpr (Parts > 1)
        part(1);
    if constexpr (Parts > 2)
        part(2);
    if constexpr (Parts > 3)
        part(3);
#else
    for (int k = 0; k < length; ++k) {
        empty |= std::uint64_t(cells[k] == 0 ? 3 : 0) << (2 * k);
        same |= std::uint64_t(cells[k] == word[k] ? 3 : 0) << (2 * k);
    }
#endif
    const bool clear = (~(empty | same) & used) == 0;
    const bool crossed = ((same & used) | std::uint64_t(!mustCross)) != 0;
    return clear & crossed;
}

// Hands out an engine's numbers three at a time, keeping its place in a register rather than in
// the engine, and tells the engine how many it took when it goes.
class TripleReader
{
public:
    explicit TripleReader(modStandard::MersenneTwister &engine) : m_engine(engine) { start(); }
    ~TripleReader() { m_engine.skip(static_cast<int>(m_next - m_first)); }
    TripleReader(const TripleReader &) = delete;
    TripleReader &operator=(const TripleReader &) = delete;

    std::array<std::uint32_t, 3> next()
    {
        if (m_end - m_next >= 3) [[likely]] {
            const std::uint32_t *p = m_next;
            m_next += 3;
            return {p[0], p[1], p[2]};
        }
        m_engine.skip(static_cast<int>(m_next - m_first));
        const std::array<std::uint32_t, 3> numbers = m_engine.nextThree();
        start();
        return numbers;
    }

private:
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

LetterStreams &threadStreams()
{
    thread_local LetterStreams streams;
    return streams;
}

// One run of the generator on the grid's plain arrays. Host is PuzzleHost (every notification
// delivered) or QuietHost; Random is the abstract source or the final seeded one, whose draws
// then inline. Cells are addressed by array index; rows and columns are worked out only for
// the notifications.
template <class Host, class Random> class Run
{
public:
    Run(PuzzleGrid &grid, const QStringList &words, int side, Host &host, Random &random)
        : m_grid(grid), m_words(words), m_side(side), m_host(host), m_random(random),
          m_codes(listCodesFor(words)), m_layout(layoutFor(side)), m_streams(threadStreams())
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
            if constexpr (quick())
                m_streams.clear(m_layout, m_codes.separator());
            int wordsPlaced = 0;

            for (int i = 1; i <= wordCount; ++i) {
                Placed placed;
                if constexpr (quick())
                    placed = placeWordQuickly(i);
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
                // The quick path kept the cell codes up to date; the others read them now.
                if constexpr (!quick())
                    m_streams.load(m_layout, m_codes, m_puzzle);
                if (ClearSecondReadings(m_grid, m_codes, m_layout, m_streams, m_random)) {
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
    // Nothing is notified and the draws come in blocks: candidates are judged on the letter
    // streams, which then go on to the fill guard ready made.
    static constexpr bool quick() { return !scribbles() && drawsInBlocks(); }
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

    // What a candidate of one direction needs: where the word may start (rows and columns,
    // 1-based) and, on the quick path, where its cells lie in the streams (the stretch begins
    // shift codes before the start cell's position, and holds the word forwards or backwards).
    struct Lane
    {
        int rowLow;
        unsigned rowSpan;
        int columnLow;
        unsigned columnSpan;
        int shift;
        const std::uint16_t *word;
        const std::uint16_t *line;
        const std::uint16_t *position;
    };

    Placed placeWordQuickly(int wordNumber)
    {
        const QString &word = m_words[wordNumber - 1];
        const QChar *letters = word.constData();
        const int length = static_cast<int>(word.size());
        const ListCodes::WordCodes &codes = m_codes.word(wordNumber - 1);
        const std::uint16_t *forwards = codes.forwards.data();
        if (wordNumber == 1) {
            // The square is still empty, so the first candidate is taken.
            const WordPlacement candidate = chooseCandidate(wordNumber, length, m_side, m_random);
            if (m_host.isCancelRequested())
                return Placed::Cancelled;
            commitQuickly(PuzzleGrid::index(candidate.startRow, candidate.startColumn), candidate.direction,
                          letters, forwards, length);
            return Placed::Accepted;
        }

        setFitRanges(length);
        setStretches(codes, length);
        switch ((length + 7) / 8) {
        case 1:
            return tryCandidates<1>(wordNumber, letters, forwards, length);
        case 2:
            return tryCandidates<2>(wordNumber, letters, forwards, length);
        case 3:
            return tryCandidates<3>(wordNumber, letters, forwards, length);
        default:
            return tryCandidates<4>(wordNumber, letters, forwards, length);
        }
    }

    template <int Parts>
    Placed tryCandidates(int wordNumber, const QChar *letters, const std::uint16_t *forwards, int length)
    {
        const std::array<Lane, 9> lanes = m_lanes;
        const bool mustCross = wordNumber % CrossingInterval == 0;
        const int maxTries = CandidateLimit(m_side) - 1;
        const auto side = static_cast<std::uint64_t>(m_side);
        TripleReader draws(m_random.engine());
        // No branch below depends on a candidate until it is taken or the tries run out:
        // whether a random candidate fits, collides or crosses is a coin toss the processor
        // cannot predict. A candidate that would leave the square is judged all the same (the
        // streams' margins keep its reads inside them) and counts for nothing.
        for (int tries = 0;;) {
            const auto [a, b, c] = draws.next();
            // mapToRange(a, 1, 8), mapToRange(b, 1, side), mapToRange(c, 1, side)
            const Lane &lane = lanes[1 + (a >> 29)];
            const int row = 1 + static_cast<int>(((b >> 8) * side) >> 24);
            const int column = 1 + static_cast<int>(((c >> 8) * side) >> 24);
            const bool inside = (static_cast<unsigned>(row - lane.rowLow) <= lane.rowSpan) &
                                (static_cast<unsigned>(column - lane.columnLow) <= lane.columnSpan);
            const int start = PuzzleGrid::index(row, column);
            const bool accepted =
                inside & stretchAccepts<Parts>(lane.line + lane.position[start] + lane.shift, lane.word,
                                               length, mustCross);
            tries += inside;
            if (accepted | (tries > maxTries) | (inside & m_host.isCancelRequested())) [[unlikely]] {
                if (m_host.isCancelRequested())
                    return Placed::Cancelled;
                if (!accepted)
                    return Placed::Abandoned;
                commitQuickly(start, static_cast<int>(&lane - lanes.data()), letters, forwards, length);
                return Placed::Accepted;
            }
        }
    }

    // Where the word's stretch lies in the streams for each direction.
    void setStretches(const ListCodes::WordCodes &codes, int length)
    {
        for (int direction = 1; direction <= 8; ++direction) {
            const StreamDirection stream = StreamDirections[direction];
            Lane &lane = m_lanes[direction];
            lane.shift = stream.forwards ? 0 : 1 - length;
            lane.word = stream.forwards ? codes.forwards.data() : codes.backwards.data();
            lane.line = m_streams.line(stream.orientation);
            lane.position = m_layout.position[stream.orientation].data();
        }
    }

    void commitQuickly(int start, int direction, const QChar *letters, const std::uint16_t *codes, int length)
    {
        const int stride =
            DirectionSteps[direction].row * PuzzleGrid::Stride + DirectionSteps[direction].column;
        for (int k = 0, cell = start; k < length; ++k, cell += stride) {
            m_solution[cell] = letters[k];
            m_streams.place(m_layout, cell, codes[k]);
        }
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
            Lane &lane = m_lanes[direction];
            lane.rowLow = step.row < 0 ? length : 1;
            lane.rowSpan = static_cast<unsigned>((step.row > 0 ? m_side - length + 1 : m_side) - lane.rowLow);
            lane.columnLow = step.column < 0 ? length : 1;
            lane.columnSpan =
                static_cast<unsigned>((step.column > 0 ? m_side - length + 1 : m_side) - lane.columnLow);
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
                    const Lane &lane = m_lanes[direction];
                    if (static_cast<unsigned>(row - lane.rowLow) <= lane.rowSpan &&
                        static_cast<unsigned>(column - lane.columnLow) <= lane.columnSpan) {
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
        if constexpr (drawsInBlocks()) {
            fillFromBlocks();
            return;
        }
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

    // Three letters from each number: the number's first three digits in base 26, that is
    // floor(n × 26³ / 2³²), each of the 17,576 triples as likely as any other to within 1 in
    // 240,000. Every cell of a row gets a letter and the placed ones keep theirs, so that no
    // branch depends on where the words lie.
    void fillFromBlocks()
    {
        auto &engine = m_random.engine();
        std::array<std::uint16_t, PuzzleGrid::MaxSide + 2> letters;
        for (int row = 0; row < m_side; ++row) {
            for (int column = 0; column < m_side; column += 3) {
                std::uint64_t digits = engine();
                for (int k = 0; k < 3; ++k) {
                    digits *= 26;
                    letters[column + k] = static_cast<std::uint16_t>(digits >> 32);
                    digits &= 0xffffffffu;
                }
            }
            const int first = row * PuzzleGrid::Stride;
            int column = 0;
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            for (; column + 8 <= m_side; column += 8) {
                const int cell = first + column;
                auto *solution = reinterpret_cast<__m128i *>(m_solution + cell);
                const __m128i placed = _mm_loadu_si128(solution);
                const __m128i letter =
                    _mm_loadu_si128(reinterpret_cast<const __m128i *>(letters.data() + column));
                const __m128i empty = _mm_cmpeq_epi16(placed, zero);
                auto choose = [&](__m128i ifEmpty, __m128i otherwise) {
                    return _mm_or_si128(_mm_and_si128(empty, ifEmpty), _mm_andnot_si128(empty, otherwise));
                };
                _mm_storeu_si128(reinterpret_cast<__m128i *>(m_puzzle + cell),
                                 choose(_mm_add_epi16(letter, _mm_set1_epi16(u'A')), placed));
                _mm_storeu_si128(
                    solution, choose(_mm_set1_epi16(static_cast<short>(PuzzleGrid::Dot.unicode())), placed));
                if constexpr (quick()) {
                    auto *codes = reinterpret_cast<__m128i *>(m_streams.cells() + cell);
                    _mm_storeu_si128(
                        codes, choose(_mm_add_epi16(letter, _mm_set1_epi16(1)), _mm_loadu_si128(codes)));
                }
            }
#endif
            for (; column < m_side; ++column) {
                const int cell = first + column;
                const char16_t placed = m_solution[cell].unicode();
                // All ones where a word lies: the choices are masks, not branches.
                const auto keep = static_cast<std::uint16_t>(-static_cast<int>(placed != 0));
                m_puzzle[cell] = QChar(char16_t((placed & keep) | ((u'A' + letters[column]) & ~keep)));
                m_solution[cell] = QChar(char16_t((placed & keep) | (PuzzleGrid::Dot.unicode() & ~keep)));
                if constexpr (quick())
                    m_streams.setCell(
                        cell, static_cast<std::uint16_t>((m_streams.cell(cell) & keep) |
                                                         (ListCodes::letterCode(letters[column]) & ~keep)));
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
    const ListCodes &m_codes;
    const StreamLayout &m_layout;
    LetterStreams &m_streams;
    std::array<Lane, 9> m_lanes{};
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
