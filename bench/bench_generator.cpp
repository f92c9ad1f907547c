// Puzzle making without a host: time per puzzle (the CPU column), completed puzzles per
// processor second, share of puzzles completed, median processor time of a completed puzzle and
// processor time per candidate placement.
//
// Scan/...: 10,000 completed puzzles per case, checked by an independent brute-force scan for
// words readable through a fill letter.

#include "generator/puzzle_generator.h"
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
        const PuzzleOutcome outcome = MakePuzzle(grid, words, side, random, workspace);
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
    state.counters["puzzles/s"] = static_cast<double>(completedSeconds.size()) / totalSeconds;
    state.counters["candidates"] = static_cast<double>(counter.candidates) / puzzles;
    state.counters["ns/candidate"] = totalSeconds * 1e9 / static_cast<double>(counter.candidates);
    if (!completedSeconds.empty()) {
        auto middle = completedSeconds.begin() + static_cast<std::ptrdiff_t>(completedSeconds.size() / 2);
        std::nth_element(completedSeconds.begin(), middle, completedSeconds.end());
        state.counters["ms/completed (median)"] = *middle * 1e3;
    }
}

// Seeds 1, 2, 3, ... until 10,000 puzzles completed.
void scanPuzzles(benchmark::State &state, const QString &listName, int side)
{
    const QStringList words = readList(listName);
    if (words.isEmpty()) {
        state.SkipWithError("list file missing (set BRIVAMO_BENCH_DIR)");
        return;
    }
    constexpr int Wanted = 10000;
    PuzzleWorkspace workspace;
    PuzzleGrid grid(side);
    int completed = 0;
    int withReadings = 0;
    int readings = 0;
    for (auto _ : state) {
        for (std::uint32_t seed = 1; completed < Wanted; ++seed) {
            modStandard::SeededRandomSource random(seed);
            if (MakePuzzle(grid, words, side, random, workspace) != PuzzleOutcome::Completed)
                continue;
            ++completed;
            const int found = readingsThroughFill(grid, words);
            withReadings += found > 0;
            readings += found;
        }
    }
    state.counters["puzzles"] = completed;
    state.counters["with readings"] = withReadings;
    state.counters["readings"] = readings;
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
        benchmark::RegisterBenchmark(("Scan/" + suffix).c_str(), scanPuzzles, QString::fromLatin1(c.list),
                                     c.side)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    return true;
}();

} // namespace
