#pragma once

#include "puzzle/puzzle_grid.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace brivamo {

// What `brivamo --make CATEGORY [options]` asks for.
struct MakeOptions
{
    QString category;
    int side = PuzzleGrid::MaxSide;
    int count = 1;
    std::optional<std::uint32_t> seed; // absent: seeded from the clock
    bool quiet = false;
    QString pdf;           // when set, the puzzle page is written into this PDF file
    bool print = false;    // when set, the pages go to a print queue, one job each
    QString printer;       // with print: the queue's name; empty for the default printer
    bool solution = false; // with pdf or print: the solution page follows
    QString dedication;    // with pdf or print: the puzzle page is made especially for this name
    QString message;       // a hidden message the fill letters spell (empty: none)
};

// Most puzzles one set (--count with --pdf) may hold: every puzzle of a set stays in memory
// until the set is complete, and a class needs far fewer.
inline constexpr int MaxSetSize = 1000;

// Reads the arguments that follow the program name. Returns an empty string on success,
// otherwise a one-line reason. Options may come in any order; a repeated option keeps its
// last value. The side is checked against the list later, once the words are known.
QString ParseMakeArguments(const QStringList &arguments, MakeOptions &options);

} // namespace brivamo
