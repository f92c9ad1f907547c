#pragma once

#include "puzzle/puzzle_grid.h"

#include <QStringList>

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
