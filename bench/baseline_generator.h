#pragma once

#include "puzzle/puzzle_generator.h"

#include <random>

namespace brivamo::baseline {

// The random source as it was: std::mt19937 behind an out-of-line virtual call. Same numbers as
// modStandard::SeededRandomSource for the same seed.
class SeededRandomSource final : public modStandard::RandomSource
{
public:
    explicit SeededRandomSource(std::uint32_t seed) : m_engine(seed) {}
    int inRange(int lo, int hi) override;

private:
    std::mt19937 m_engine;
};

// The earlier generator, kept unchanged as the benchmark's reference (same notifications, same
// random draws, plain completion fill).
PuzzleOutcome MakePuzzle(PuzzleGrid &grid, const QStringList &words, int side, PuzzleHost &host,
                         modStandard::RandomSource &random);

} // namespace brivamo::baseline
