#pragma once

#include "generator/puzzle_grid.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

// A capital as the solver sees it: Greek and Cyrillic capitals shaped like a Latin one read as
// that one (a few, written out here so as to share nothing with the generator).
inline QChar seenAs(QChar c)
{
    static const QString others = QString::fromUtf8("ΑΒΕΖΗΙΚΜΝΟΡΤΥΧАВЕКМНОРСТХ");
    static const QString latin = QStringLiteral("ABEZHIKMNOPTYXABEKMHOPCTX");
    const QChar upper = c.toUpper();
    const qsizetype at = others.indexOf(upper);
    return at < 0 ? upper : latin[at];
}

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
            letters << seenAs(grid.puzzle(row, column));
            fill << (grid.solution(row, column) == QChar(0x00B7));
        }
    int found = 0;
    for (const QString &original : words) {
        QString word = original.toUpper();
        for (QChar &c : word)
            c = seenAs(c);
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
                    if (r < 0 || r >= n || c < 0 || c >= n ||
                        seenAs(grid.puzzle(r + 1, c + 1)) != seenAs(word[k]))
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

// How many readings of blocked words the solver finds, leaving out those within the cells of a
// listed word's own place (a reading of it on word cells alone) or within one of ownCells
// (stretches of a hidden message, cells row * side + column from 0, in order).
inline int blockedReadings(const brivamo::PuzzleGrid &grid, const QStringList &blocked,
                           const QStringList &words, const QList<QList<int>> &ownCells = {})
{
    QList<QList<int>> own = ownCells;
    const int n = grid.side();
    for (const QString &word : words)
        for (const QList<int> &cells : readingCells(grid, word.toUpper()))
            if (std::none_of(cells.begin(), cells.end(), [&](int cell) {
                    return grid.solution(cell / n + 1, cell % n + 1) == QChar(0x00B7);
                }))
                own << cells;
    int found = 0;
    for (const QString &word : blocked)
        for (const QList<int> &cells : readingCells(grid, word))
            found += std::none_of(own.begin(), own.end(), [&](const QList<int> &mine) {
                return std::includes(mine.begin(), mine.end(), cells.begin(), cells.end());
            });
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
