// Drawing the puzzle board: the full redraw that follows every committed letter (up to 900
// cells at side 30) and the single-cell repaint of a tried letter. Both paint into an image of
// the board's on-screen size with the board's own painting code.

#include "bench_support.h"
#include "generator/puzzle_generator.h"
#include "puzzle/puzzle_board.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <memory>

using namespace brivamo;

namespace {

// A completed square of the given side from a fixed random sequence.
std::unique_ptr<PuzzleGrid> completedGrid(int side)
{
    QStringList words{"ALLIGATOR", "BADGER", "CAMEL", "DOLPHIN", "EMU", "GIRAFFE", "IGUANA", "JAGUAR"};
    SortWordsLongestFirst(words);
    auto grid = std::make_unique<PuzzleGrid>(side);
    PuzzleWorkspace workspace;
    for (std::uint32_t seed = 1;; ++seed) {
        modStandard::SeededRandomSource random(seed);
        if (MakePuzzle(*grid, words, side, random, workspace) == PuzzleOutcome::Completed)
            return grid;
    }
}

// 5475 twips at 96 DPI, the board's size in the window.
constexpr int BoardPixels = 365;

void BM_BoardFullRedraw(benchmark::State &state)
{
    ensureApplication();
    const int side = static_cast<int>(state.range(0));
    const auto grid = completedGrid(side);
    PuzzleBoard board;
    board.resize(BoardPixels, BoardPixels);
    board.model().reset(side);
    QImage image(board.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        board.model().drawBoard(*grid, BoardLayer::Puzzle);
        QPainter painter(&image);
        board.paintBoard(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["cells"] = side * side;
}
BENCHMARK(BM_BoardFullRedraw)->Arg(10)->Arg(30)->Unit(benchmark::kMicrosecond);

void BM_BoardTriedCell(benchmark::State &state)
{
    ensureApplication();
    PuzzleBoard board;
    board.resize(BoardPixels, BoardPixels);
    board.model().reset(PuzzleGrid::MaxSide);
    board.model().drawEmptyBoard();
    QImage image(board.size(), QImage::Format_RGB32);
    int cell = 0;
    for (auto _ : state) {
        const int row = cell / PuzzleGrid::MaxSide + 1;
        const int column = cell % PuzzleGrid::MaxSide + 1;
        cell = (cell + 7) % (PuzzleGrid::MaxSide * PuzzleGrid::MaxSide);
        board.model().showTried(row, column, QChar(u'A' + cell % 26));
        const QRect clip = board.cellRect(row, column);
        QPainter painter(&image);
        painter.setClipRect(clip);
        board.paintBoard(painter, clip);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_BoardTriedCell)->Unit(benchmark::kMicrosecond);

} // namespace
