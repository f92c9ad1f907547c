// Ordering a list longest first, as the puzzle window and the command line do before a run:
// time to sort 1,000 to 100,000 words of 3 to 20 letters given in random order.

#include "puzzle/puzzle_generator.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace brivamo;

namespace {

QStringList randomWords(int count)
{
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> length(3, 20);
    std::uniform_int_distribution<int> letter('A', 'Z');
    QStringList words;
    words.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString word(length(random), u'A');
        for (QChar &c : word)
            c = QChar(letter(random));
        words << word;
    }
    return words;
}

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
