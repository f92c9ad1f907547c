#pragma once

#include <cstdint>
#include <random>

namespace modStandard {

// Source of the uniform random numbers behind RandomInRange. The generator takes one by
// reference so that a run can be made repeatable (seeded) or scripted (tests).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // A whole number uniformly distributed over lo to hi inclusive.
    virtual int inRange(int lo, int hi) = 0;
};

// Mersenne Twister source; the default constructor seeds from the system clock.
class SeededRandomSource final : public RandomSource
{
public:
    SeededRandomSource();
    explicit SeededRandomSource(std::uint32_t seed);

    // lo + floor(r × (hi − lo + 1)) with r a single-precision number in [0, 1).
    int inRange(int lo, int hi) override;
    // The single-precision r in [0, 1) itself (24 random bits).
    float nextUnit();

private:
    std::mt19937 m_engine;
};

// The program's own source, seeded from the clock on first use and never again.
RandomSource &ProgramRandomSource();

// A whole number from lo to hi inclusive drawn from the program's source.
int RandomInRange(int lo, int hi);
int RandomInRange(RandomSource &source, int lo, int hi);

// Blocks the calling thread for seconds × 1000 milliseconds, rounded; no events are processed.
void Pause(double seconds);
// The length of such a pause in whole milliseconds (0.06 gives 60).
int PauseMilliseconds(double seconds);

} // namespace modStandard
