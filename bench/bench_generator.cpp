// Puzzle making with a host that ignores every notification: time per puzzle (the CPU
// column), share of puzzles completed, median processor time of a completed puzzle and
// processor time per candidate placement.
//
// Speedup/...: the earlier generator (baseline_generator.cpp) and the current one, taking
// turns in batches within one run, as completed puzzles per processor second and their ratio.
// Scan/...: 10,000 puzzles per case from both, each pair from the same seed, checked by an
// independent brute-force scan for words readable through a fill letter; also counts pairs
// whose solution layers differ or whose puzzle layers differ outside the fill cells.

#include "baseline_generator.h"
#include "puzzle/puzzle_generator.h"
#include "reading_scan.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <algorithm>
#include <ctime>
#include <vector>

using namespace brivamo;

namespace {

QString benchFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("BRIVAMO_BENCH_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(BRIVAMO_BENCH_DIR) : fromEnvironment;
}

QStringList readList(const QString &name)
{
    QFile file(benchFolder() + QStringLiteral("/lists/") + name + QStringLiteral(".lst"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList words;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray word = line.trimmed();
        if (!word.isEmpty())
            words << QString::fromLatin1(word);
    }
    SortWordsLongestFirst(words);
    return words;
}

// Processor time of this thread: the machine may be shared, so wall time would overstate.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

class CountingHost final : public SilentPuzzleHost
{
public:
    void Yield() override { ++candidates; }
    long long candidates = 0;
};

void makePuzzles(benchmark::State &state, const QString &listName, int side)
{
    const QStringList words = readList(listName);
    if (words.isEmpty()) {
        state.SkipWithError("list file missing (set BRIVAMO_BENCH_DIR)");
        return;
    }
    PuzzleGrid grid(side);
    PuzzleWorkspace workspace;
    modStandard::SeededRandomSource random(12345);
    std::vector<double> completedSeconds;
    double totalSeconds = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        const PuzzleOutcome outcome = MakePuzzleSilently(grid, words, side, random, workspace);
        const double seconds = threadSeconds() - start;
        totalSeconds += seconds;
        if (outcome == PuzzleOutcome::Completed)
            completedSeconds.push_back(seconds);
        benchmark::DoNotOptimize(grid);
    }

    // Replays the same sequence untimed, notified, to count the candidates the timed puzzles tried.
    CountingHost counter;
    modStandard::SeededRandomSource replay(12345);
    for (benchmark::IterationCount i = 0; i < state.iterations(); ++i)
        MakePuzzle(grid, words, side, counter, replay, workspace);

    const auto puzzles = static_cast<double>(state.iterations());
    state.counters["completed"] = static_cast<double>(completedSeconds.size()) / puzzles;
    state.counters["candidates"] = static_cast<double>(counter.candidates) / puzzles;
    state.counters["ns/candidate"] = totalSeconds * 1e9 / static_cast<double>(counter.candidates);
    if (!completedSeconds.empty()) {
        auto middle = completedSeconds.begin() + static_cast<std::ptrdiff_t>(completedSeconds.size() / 2);
        std::nth_element(completedSeconds.begin(), middle, completedSeconds.end());
        state.counters["ms/completed (median)"] = *middle * 1e3;
    }
}

// Completed puzzles per processor second of the earlier and the current generator. They take
// turns in batches, so a change in the machine's load hits both alike.
void compareGenerators(benchmark::State &state, const QString &listName, int side)
{
    const QStringList words = readList(listName);
    if (words.isEmpty()) {
        state.SkipWithError("list file missing (set BRIVAMO_BENCH_DIR)");
        return;
    }
    constexpr int Batch = 50;
    PuzzleGrid grid(side);
    SilentPuzzleHost host;
    PuzzleWorkspace workspace;
    baseline::SeededRandomSource before(12345);
    modStandard::SeededRandomSource after(12345);
    double beforeSeconds = 0;
    double afterSeconds = 0;
    long long beforeCompleted = 0;
    long long afterCompleted = 0;
    for (auto _ : state) {
        double start = threadSeconds();
        for (int i = 0; i < Batch; ++i)
            beforeCompleted +=
                baseline::MakePuzzle(grid, words, side, host, before) == PuzzleOutcome::Completed;
        double middle = threadSeconds();
        for (int i = 0; i < Batch; ++i)
            afterCompleted +=
                MakePuzzleSilently(grid, words, side, after, workspace) == PuzzleOutcome::Completed;
        const double end = threadSeconds();
        beforeSeconds += middle - start;
        afterSeconds += end - middle;
        benchmark::DoNotOptimize(grid);
    }
    const double beforeRate = static_cast<double>(beforeCompleted) / beforeSeconds;
    const double afterRate = static_cast<double>(afterCompleted) / afterSeconds;
    state.counters["before puzzles/s"] = beforeRate;
    state.counters["after puzzles/s"] = afterRate;
    state.counters["speed-up"] = afterRate / beforeRate;
}

// Both generators from seed 1, 2, 3, ... until 10,000 pairs completed.
void scanPuzzles(benchmark::State &state, const QString &listName, int side)
{
    const QStringList words = readList(listName);
    if (words.isEmpty()) {
        state.SkipWithError("list file missing (set BRIVAMO_BENCH_DIR)");
        return;
    }
    constexpr int Wanted = 10000;
    SilentPuzzleHost host;
    PuzzleWorkspace workspace;
    PuzzleGrid before(side);
    PuzzleGrid after(side);
    int pairs = 0;
    int beforeWithReadings = 0;
    int afterWithReadings = 0;
    int afterReadings = 0;
    int layoutsDiffering = 0;
    int redrawnCells = 0;
    for (auto _ : state) {
        for (std::uint32_t seed = 1; pairs < Wanted; ++seed) {
            baseline::SeededRandomSource a(seed);
            modStandard::SeededRandomSource b(seed);
            const PuzzleOutcome beforeOutcome = baseline::MakePuzzle(before, words, side, host, a);
            const PuzzleOutcome afterOutcome = MakePuzzleSilently(after, words, side, b, workspace);
            if (beforeOutcome != afterOutcome) {
                ++layoutsDiffering;
                continue;
            }
            if (afterOutcome != PuzzleOutcome::Completed)
                continue;
            ++pairs;
            beforeWithReadings += readingsThroughFill(before, words) > 0;
            const int readings = readingsThroughFill(after, words);
            afterWithReadings += readings > 0;
            afterReadings += readings;
            bool same = true;
            for (int row = 1; row <= side; ++row)
                for (int column = 1; column <= side; ++column) {
                    const bool fill = after.solution(row, column) == PuzzleGrid::Dot;
                    same = same && after.solution(row, column) == before.solution(row, column);
                    same = same && (fill || after.puzzle(row, column) == before.puzzle(row, column));
                    redrawnCells += fill && after.puzzle(row, column) != before.puzzle(row, column);
                }
            layoutsDiffering += !same;
        }
    }
    state.counters["puzzles"] = pairs;
    state.counters["before: with readings"] = beforeWithReadings;
    state.counters["after: with readings"] = afterWithReadings;
    state.counters["after: readings"] = afterReadings;
    state.counters["layouts differing"] = layoutsDiffering;
    state.counters["fill letters changed"] = redrawnCells;
}

struct Case
{
    const char *list;
    int side;
};

const bool registered = [] {
    for (const Case c : {Case{"ANIMALS", 15}, Case{"ANIMALS", 20}, Case{"ANIMALS", 30}, Case{"LONG", 20},
                         Case{"LONG", 30}, Case{"WEEKDAYS", 9}, Case{"WEEKDAYS", 12}}) {
        const std::string name = std::string("MakePuzzle/") + c.list + "/" + std::to_string(c.side);
        benchmark::RegisterBenchmark(name.c_str(), makePuzzles, QString::fromLatin1(c.list), c.side)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
        const std::string suffix = std::string(c.list) + "/" + std::to_string(c.side);
        benchmark::RegisterBenchmark(("Speedup/" + suffix).c_str(), compareGenerators,
                                     QString::fromLatin1(c.list), c.side)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(4.0);
        benchmark::RegisterBenchmark(("Scan/" + suffix).c_str(), scanPuzzles, QString::fromLatin1(c.list),
                                     c.side)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    return true;
}();

} // namespace
