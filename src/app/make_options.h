#pragma once

#include "generator/puzzle_grid.h"
#include "generator/puzzle_level.h"
#include "pages/puzzle_page.h"
#include "platform/printer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>

namespace brivamo {

// What `brivamo --make CATEGORY [options]` asks for.
struct MakeOptions
{
    QString category;
    int side = PuzzleGrid::MaxSide;
    int count = 1;
    std::optional<std::uint32_t> seed; // absent: seeded from the clock
    bool quiet = false;
    QByteArray pdf;              // when set, the puzzle page is written into this PDF file (its name's bytes)
    QByteArray png;              // when set, each page is written as a PNG image (see PageImageFile)
    QByteArray svg;              // when set, each page is written as an SVG image
    bool print = false;          // when set, the pages go to a print queue, one job each
    QString printer;             // with print: the queue's name; empty for the default printer
    bool solution = false;       // with pdf or print: the solution page follows
    QString dedication;          // with pdf or print: the puzzle page is made especially for this name
    Paper paper = Paper::Locale; // with pdf: the sheet; a print queue keeps its own
    PageStyle style;             // with pdf or print: how the pages are drawn
    PuzzleLevel level = PuzzleLevel::Hard;
    QString message; // a hidden message the fill letters spell (empty: none)
};

// True when the options ask for printed pages: a PDF, images or a print job.
bool WantsPages(const MakeOptions &options);

// The image file of one page, for images named `file`: the puzzle page is `file` itself, the
// solution page gets "-solution" before the extension; in a set of several puzzles each name also
// gets the puzzle's number ("class-3.png", "class-3-solution.png"). A word list continued on a
// further page puts that page's `part` last ("class-3-solution-page2.png").
QByteArray PageImageFile(const QByteArray &file, int version, int versions, bool solution, int part = 1);

// Most puzzles one set (--count with --pdf) may hold: every puzzle of a set stays in memory
// until the set is complete, and a class needs far fewer.
inline constexpr int MaxSetSize = 1000;

// True when `argument` is an option of --make that takes a value: the argument after it is then
// that value, whatever it looks like.
bool MakeOptionTakesValue(const QByteArray &argument);

// Reads the arguments that follow the program name. Returns an empty string on success,
// otherwise a one-line reason. Options may come in any order; a repeated option keeps its
// last value; "--" ends the options (and nothing may follow it). The side is checked against the
// list later, once the words are known. Names and texts that are not UTF-8 are read as Latin-1;
// file names keep their bytes.
QString ParseMakeArguments(const QList<QByteArray> &arguments, MakeOptions &options);

// The files the options would write, each with the option that names it, so that one check can
// keep every output away from the word lists.
QList<std::pair<QString, QByteArray>> OutputFiles(const MakeOptions &options);

} // namespace brivamo
