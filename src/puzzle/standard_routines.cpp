#include "puzzle/standard_routines.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace modStandard {

namespace {

std::uint32_t clockSeed()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ticks) ^
           static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) >> 32);
}

} // namespace

SeededRandomSource::SeededRandomSource() : m_engine(clockSeed()) {}

SeededRandomSource::SeededRandomSource(std::uint32_t seed) : m_engine(seed) {}

float SeededRandomSource::nextUnit()
{
    // The top 24 bits fill a float's mantissa exactly, so the result is never 1.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

int SeededRandomSource::inRange(int lo, int hi)
{
    // With r = m / 2^24, floor(r × span) is (m × span) >> 24 exactly; whole numbers avoid the
    // floating-point rounding and are cheaper in the generator's inner loop.
    const std::uint64_t m = m_engine() >> 8;
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
    return lo + static_cast<int>((m * span) >> 24);
}

RandomSource &ProgramRandomSource()
{
    static SeededRandomSource source;
    return source;
}

int RandomInRange(int lo, int hi)
{
    return ProgramRandomSource().inRange(lo, hi);
}

int RandomInRange(RandomSource &source, int lo, int hi)
{
    return source.inRange(lo, hi);
}

int PauseMilliseconds(double seconds)
{
    return static_cast<int>(std::lround(seconds * 1000.0));
}

void Pause(double seconds)
{
    const int milliseconds = PauseMilliseconds(seconds);
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace modStandard
