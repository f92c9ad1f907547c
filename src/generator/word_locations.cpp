#include "generator/word_locations.h"

#include <functional>

namespace brivamo {

namespace {

QList<WordPlacement> runsSpelling(const PuzzleGrid &grid, const QString &word)
{
    QList<WordPlacement> runs;
    const int side = grid.side();
    const int length = static_cast<int>(word.size());
    for (int row = 1; row <= side; ++row) {
        for (int column = 1; column <= side; ++column) {
            if (grid.solution(row, column) != word.front())
                continue;
            for (int code = 1; code <= 8; ++code) {
                WordPlacement run;
                run.startRow = row;
                run.startColumn = column;
                run.length = length;
                run.setDirection(code);
                if (!run.fits(side))
                    continue;
                bool spells = true;
                for (int k = 2; k <= length && spells; ++k)
                    spells = grid.solution(run.rowOf(k), run.columnOf(k)) == word.at(k - 1);
                // A word of one letter reads the same every way: one run is enough.
                if (spells && (length > 1 || runs.isEmpty()))
                    runs.append(run);
            }
        }
    }
    return runs;
}

} // namespace

QList<WordPlacement> LocateWords(const PuzzleGrid &grid, const QStringList &words)
{
    const int side = grid.side();
    QList<QList<WordPlacement>> candidates;
    for (const QString &word : words)
        candidates.append(word.isEmpty() ? QList<WordPlacement>{} : runsSpelling(grid, word));

    // Cells covered so far, counted, so that a choice can be taken back.
    QList<int> covered(PuzzleGrid::MaxSide * PuzzleGrid::MaxSide, 0);
    const auto cover = [&](const WordPlacement &run, int by) {
        for (int k = 1; k <= run.length; ++k)
            covered[PuzzleGrid::index(run.rowOf(k), run.columnOf(k))] += by;
    };
    const auto allCovered = [&] {
        for (int row = 1; row <= side; ++row)
            for (int column = 1; column <= side; ++column) {
                const QChar cell = grid.solution(row, column);
                if (!cell.isNull() && cell != PuzzleGrid::Dot && covered[PuzzleGrid::index(row, column)] == 0)
                    return false;
            }
        return true;
    };

    QList<WordPlacement> chosen(words.size());
    // Tries at most a bounded number of combinations: ambiguity is rare, and when nothing covers
    // every letter the first runs found are good enough.
    int budget = 100000;
    const std::function<bool(qsizetype)> choose = [&](qsizetype i) -> bool {
        if (i == words.size())
            return allCovered();
        if (candidates[i].isEmpty())
            return choose(i + 1);
        for (const WordPlacement &run : candidates[i]) {
            if (--budget < 0)
                return false;
            chosen[i] = run;
            cover(run, 1);
            const bool done = choose(i + 1);
            cover(run, -1);
            if (done)
                return true;
        }
        return false;
    };
    if (!choose(0))
        for (qsizetype i = 0; i < words.size(); ++i)
            chosen[i] = candidates[i].isEmpty() ? WordPlacement{} : candidates[i].front();
    for (qsizetype i = 0; i < words.size(); ++i)
        if (candidates[i].isEmpty())
            chosen[i] = WordPlacement{};
    return chosen;
}

} // namespace brivamo
