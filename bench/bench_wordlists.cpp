// A hand-made list far beyond what the lobby creates: reading 100,000 words from their file,
// showing them the way the lobby does (its model, then the list box), and ordering them longest
// first for a puzzle.

#include "bench_support.h"
#include "lobby/lobby_model.h"
#include "puzzle/puzzle_generator.h"
#include "wordlists/word_list.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace brivamo;

namespace {

constexpr int WordCount = 100000;

QStringList randomWords()
{
    QRandomGenerator random(7);
    QStringList words;
    words.reserve(WordCount);
    for (int i = 0; i < WordCount; ++i) {
        QString word;
        const int length = 3 + int(random.bounded(18));
        for (int c = 0; c < length; ++c)
            word.append(QChar(u'A' + random.bounded(26)));
        words.append(word);
    }
    return words;
}

// A folder holding the big list (and the weekday list, so nothing else is written).
const QTemporaryDir &listFolder()
{
    static QTemporaryDir folder;
    static bool written = false;
    if (!written) {
        QFile file(QDir(folder.path()).filePath(QStringLiteral("Big.lst")));
        if (file.open(QIODevice::WriteOnly))
            file.write((randomWords().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
        modSupport::ListCategories(QDir(folder.path()));
        written = true;
    }
    return folder;
}

void BM_ReadList(benchmark::State &state)
{
    const QDir folder(listFolder().path());
    for (auto _ : state) {
        const WordListResult read = modSupport::ReadWordList(QStringLiteral("Big"), folder);
        if (read.list.words.size() != WordCount)
            state.SkipWithError("the list was not read whole");
        benchmark::DoNotOptimize(read.list.words.constData());
    }
}
BENCHMARK(BM_ReadList)->Unit(benchmark::kMillisecond);

void BM_ShowListInLobby(benchmark::State &state)
{
    ensureApplication();
    const QDir folder(listFolder().path());
    QListWidget list;
    list.setUniformItemSizes(true);
    for (auto _ : state) {
        LastCategoryIndex = 0; // "Big" sorts first
        LobbyModel model(folder);
        model.setMode(true);
        model.ShowLobbyMode();
        list.clear();
        list.addItems(model.words());
        if (list.count() != WordCount)
            state.SkipWithError("the list was not shown whole");
    }
}
BENCHMARK(BM_ShowListInLobby)->Unit(benchmark::kMillisecond);

void BM_SortLongestFirst(benchmark::State &state)
{
    const QStringList words = randomWords();
    for (auto _ : state) {
        QStringList sorted = words;
        SortWordsLongestFirst(sorted);
        benchmark::DoNotOptimize(sorted.constData());
    }
}
BENCHMARK(BM_SortLongestFirst)->Unit(benchmark::kMillisecond);

} // namespace
