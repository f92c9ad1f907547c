#pragma once

#include "generator/puzzle_grid.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

// Brute-force check of a finished grid, sharing nothing with the generator's own guard: every
// word, read from every cell in every direction of its own table, compared in upper case.
// Counts the readings that use at least one fill cell (a cell whose solution shows the dot).
inline int readingsThroughFill(const brivamo::PuzzleGrid &grid, const QStringList &words)
{
    static constexpr int steps[8][2] = {{-1, 0}, {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}};
    const int n = grid.side();
    QList<QChar> letters;
    QList<bool> fill;
    for (int row = 1; row <= n; ++row)
        for (int column = 1; column <= n; ++column) {
            letters << grid.puzzle(row, column).toUpper();
            fill << (grid.solution(row, column) == QChar(0x00B7));
        }
    int found = 0;
    for (const QString &original : words) {
        const QString word = original.toUpper();
        if (word.isEmpty())
            continue;
        for (int row = 0; row < n; ++row)
            for (int column = 0; column < n; ++column)
                for (const auto &step : steps) {
                    bool reads = true;
                    bool throughFill = false;
                    for (int k = 0; k < word.size() && reads; ++k) {
                        const int r = row + k * step[0];
                        const int c = column + k * step[1];
                        reads = r >= 0 && r < n && c >= 0 && c < n && letters[r * n + c] == word[k];
                        throughFill = throughFill || (reads && fill[r * n + c]);
                    }
                    if (reads && throughFill)
                        ++found;
                    if (word.size() == 1)
                        break; // one letter reads the same in every direction
                }
    }
    return found;
}

// The cells of every reading of a word (upper case) anywhere in the puzzle layer, in any of the
// eight directions; a reading both ways along the same cells (a palindrome) counts once.
inline QList<QList<int>> readingCells(const brivamo::PuzzleGrid &grid, const QString &word)
{
    static constexpr int steps[8][2] = {{-1, 0}, {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}};
    const int n = grid.side();
    QList<QList<int>> found;
    for (int row = 0; row < n; ++row)
        for (int column = 0; column < n; ++column)
            for (const auto &step : steps) {
                QList<int> cells;
                for (int k = 0; k < word.size(); ++k) {
                    const int r = row + k * step[0];
                    const int c = column + k * step[1];
                    if (r < 0 || r >= n || c < 0 || c >= n || grid.puzzle(r + 1, c + 1).toUpper() != word[k])
                        break;
                    cells << r * n + c;
                }
                if (cells.size() != word.size())
                    continue;
                std::sort(cells.begin(), cells.end());
                if (!found.contains(cells))
                    found << cells;
            }
    return found;
}

// How many readings of blocked words the solver finds, leaving out a blocked word that is a
// listed word or lies inside one, forwards or backwards.
inline int blockedReadings(const brivamo::PuzzleGrid &grid, const QStringList &blocked,
                           const QStringList &words)
{
    QStringList listed;
    for (const QString &word : words) {
        QString reversed = word.toUpper();
        std::reverse(reversed.begin(), reversed.end());
        listed << word.toUpper() << reversed;
    }
    int found = 0;
    for (const QString &word : blocked)
        if (std::none_of(listed.begin(), listed.end(), [&](const QString &w) { return w.contains(word); }))
            found += static_cast<int>(readingCells(grid, word).size());
    return found;
}

// The listed words the solver can read more often than the list holds them. A reading whose
// cells all lie within a reading of another listed word, longer (CAT in CATTLE) or its own
// reversal (TAR where RAT lies), is the list's own.
inline QStringList wordsReadTwice(const brivamo::PuzzleGrid &grid, const QStringList &words)
{
    QHash<QString, QList<QList<int>>> readings;
    for (const QString &word : words)
        readings.insert(word.toUpper(), readingCells(grid, word.toUpper()));
    QStringList twice;
    for (auto it = readings.cbegin(); it != readings.cend(); ++it) {
        qsizetype own = 0;
        for (const QList<int> &cells : it.value()) {
            bool inside = false;
            for (auto other = readings.cbegin(); other != readings.cend() && !inside; ++other)
                if (other.key() != it.key() && other.key().size() >= it.key().size())
                    for (const QList<int> &longer : other.value())
                        inside =
                            inside || std::includes(longer.begin(), longer.end(), cells.begin(), cells.end());
            own += !inside;
        }
        const auto listed = std::count_if(words.begin(), words.end(),
                                          [&](const QString &w) { return w.toUpper() == it.key(); });
        if (own > listed)
            twice << it.key();
    }
    return twice;
}
