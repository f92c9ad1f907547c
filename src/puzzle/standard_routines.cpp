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

MersenneTwister::MersenneTwister(std::uint32_t seed)
{
    m_state[0] = seed;
    for (int i = 1; i < StateSize; ++i)
        m_state[i] = 1812433253u * (m_state[i - 1] ^ (m_state[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
}

void MersenneTwister::regenerate()
{
    constexpr int Shift = 397;
    const auto twist = [](std::uint32_t upper, std::uint32_t lower, std::uint32_t far) {
        const std::uint32_t y = (upper & 0x80000000u) | (lower & 0x7fffffffu);
        return far ^ (y >> 1) ^ ((0u - (y & 1u)) & 0x9908b0dfu);
    };
    int i = 0;
    for (; i < StateSize - Shift; ++i)
        m_state[i] = twist(m_state[i], m_state[i + 1], m_state[i + Shift]);
    for (; i < StateSize - 1; ++i)
        m_state[i] = twist(m_state[i], m_state[i + 1], m_state[i + Shift - StateSize]);
    m_state[StateSize - 1] = twist(m_state[StateSize - 1], m_state[0], m_state[Shift - 1]);
    for (i = 0; i < StateSize; ++i) {
        std::uint32_t y = m_state[i];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        m_output[i] = y ^ (y >> 18);
    }
    m_next = 0;
}

SeededRandomSource::SeededRandomSource() : m_engine(clockSeed()) {}

SeededRandomSource::SeededRandomSource(std::uint32_t seed) : m_engine(seed) {}

float SeededRandomSource::nextUnit()
{
    // The top 24 bits fill a float's mantissa exactly, so the result is never 1.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
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
