#include "generator/standard_routines.h"

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

void RandomSource::drawLetters(std::uint16_t *letters, int count, int alphabetSize)
{
    for (int k = 0; k < count; ++k)
        letters[k] = static_cast<std::uint16_t>(inRange('A', 'A' + alphabetSize - 1) - 'A');
}

SeededRandomSource::SeededRandomSource() : m_engine(clockSeed()) {}

SeededRandomSource::SeededRandomSource(std::uint32_t seed) : m_engine(seed) {}

SeededRandomSource &ProgramRandomSource()
{
    static SeededRandomSource source;
    return source;
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
