#include "puzzle/standard_routines.h"

#include <chrono>
#include <cmath>
#include <cstring>
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

namespace {

// Four state words at a time; the compiler maps these onto the machine's vector registers.
using Lanes = std::uint32_t __attribute__((vector_size(16)));

Lanes loadLanes(const std::uint32_t *words)
{
    Lanes lanes;
    std::memcpy(&lanes, words, sizeof lanes);
    return lanes;
}

template <class Word> Word twist(Word upper, Word lower, Word far)
{
    const Word y = (upper & 0x80000000u) | (lower & 0x7fffffffu);
    return far ^ (y >> 1) ^ ((0u - (y & 1u)) & 0x9908b0dfu);
}

template <class Word> Word temper(Word y)
{
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    return y ^ (y >> 18);
}

} // namespace

void MersenneTwister::regenerate()
{
    // Word i needs words i + 1 and i + 397 (mod 624) before they change, and i − 227 after it
    // changed; groups of four keep that order, so the state comes out as the word-by-word twist.
    constexpr int Shift = 397;
    constexpr int Groups = StateSize / 4 - 1; // the last group wraps around to word 0
    std::uint32_t *state = m_state.data();
    for (int i = 0; i < 4 * Groups; i += 4) {
        const int far = i + Shift < StateSize ? i + Shift : i + Shift - StateSize;
        if (far + 4 <= StateSize) {
            const Lanes next = twist(loadLanes(state + i), loadLanes(state + i + 1), loadLanes(state + far));
            std::memcpy(state + i, &next, sizeof next);
        } else {
            for (int k = i; k < i + 4; ++k)
                state[k] = twist(state[k], state[k + 1], state[(k + Shift) % StateSize]);
        }
    }
    for (int k = 4 * Groups; k < StateSize; ++k)
        state[k] = twist(state[k], state[(k + 1) % StateSize], state[(k + Shift) % StateSize]);
    for (int i = 0; i < StateSize; i += 4) {
        const Lanes out = temper(loadLanes(state + i));
        std::memcpy(m_output.data() + i, &out, sizeof out);
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
