// Ordering a list longest first, as the puzzle window and the command line do before a run:
// time to sort 1,000 to 100,000 words of 3 to 20 letters given in random order.

#include "bench_support.h"
#include "generator/puzzle_generator.h"

#include <benchmark/benchmark.h>

using namespace brivamo;

namespace {

void sortLongestFirst(benchmark::State &state)
{
    const QStringList words = randomWords(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QStringList copy = words;
        copy.detach();
        SortWordsLongestFirst(copy);
        benchmark::DoNotOptimize(copy);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(sortLongestFirst)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
