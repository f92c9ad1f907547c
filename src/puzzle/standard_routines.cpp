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

namespace {

constexpr int StateSize = 624;
constexpr int Shift = 397;

// Word is a plain word or a vector of them; results are written through a reference, so that
// no vector is ever passed by value between functions built for different processors.
template <class Word>
[[gnu::always_inline]] inline void twist(Word &result, const Word &upper, const Word &lower, const Word &far)
{
    const Word y = (upper & 0x80000000u) | (lower & 0x7fffffffu);
    result = far ^ (y >> 1) ^ ((0u - (y & 1u)) & 0x9908b0dfu);
}

template <class Word> [[gnu::always_inline]] inline void temper(Word &y)
{
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
}

template <class Lanes> [[gnu::always_inline]] inline void load(Lanes &lanes, const std::uint32_t *words)
{
    std::memcpy(&lanes, words, sizeof lanes);
}

// Twists and tempers a vector of state words at a time; the compiler maps the vectors onto the
// machine's registers. Word i needs words i + 1 and i + 397 (mod 624) before they change, and
// i − 227 after it changed; groups of a vector's width keep that order, so the state comes out as the
// word-by-word twist.
using FourWords = std::uint32_t __attribute__((vector_size(16)));
using EightWords = std::uint32_t __attribute__((vector_size(32)));

template <class Lanes>
[[gnu::always_inline]] inline void regenerateBy(std::uint32_t *state, std::uint32_t *output)
{
    constexpr int Width = sizeof(Lanes) / sizeof(std::uint32_t);
    constexpr int Groups = StateSize / Width - 1; // the last group wraps around to word 0
    for (int i = 0; i < Width * Groups; i += Width) {
        const int far = i + Shift < StateSize ? i + Shift : i + Shift - StateSize;
        if (far + Width <= StateSize) {
            Lanes upper, lower, farWords, next;
            load(upper, state + i);
            load(lower, state + i + 1);
            load(farWords, state + far);
            twist(next, upper, lower, farWords);
            std::memcpy(state + i, &next, sizeof next);
        } else {
            for (int k = i; k < i + Width; ++k)
                twist(state[k], state[k], state[k + 1], state[(k + Shift) % StateSize]);
        }
    }
    for (int k = Width * Groups; k < StateSize; ++k)
        twist(state[k], state[k], state[(k + 1) % StateSize], state[(k + Shift) % StateSize]);
    for (int i = 0; i < StateSize; i += Width) {
        Lanes out;
        load(out, state + i);
        temper(out);
        std::memcpy(output + i, &out, sizeof out);
    }
}

void regenerateNarrow(std::uint32_t *state, std::uint32_t *output)
{
    regenerateBy<FourWords>(state, output);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Eight words at a time, on processors with the wider registers.
__attribute__((target("avx2"))) void regenerateWide(std::uint32_t *state, std::uint32_t *output)
{
    regenerateBy<EightWords>(state, output);
}

bool hasWideRegisters()
{
    // Asked at the first engine's making: static initialisers may run before the library has
    // looked at the processor.
    static const bool wide = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return wide;
}
#else
void regenerateWide(std::uint32_t *state, std::uint32_t *output)
{
    regenerateNarrow(state, output);
}

bool hasWideRegisters()
{
    return false;
}
#endif

} // namespace

bool MersenneTwister::canRefill(Refill refill)
{
    return refill == Refill::Narrow || hasWideRegisters();
}

MersenneTwister::MersenneTwister(std::uint32_t seed, Refill refill)
    : m_refill(canRefill(refill) ? refill : Refill::Narrow)
{
    m_state[0] = seed;
    for (int i = 1; i < StateSize; ++i)
        m_state[i] = 1812433253u * (m_state[i - 1] ^ (m_state[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
}

void MersenneTwister::regenerate()
{
    if (m_refill == Refill::Wide)
        regenerateWide(m_state.data(), m_output.data());
    else
        regenerateNarrow(m_state.data(), m_output.data());
    m_next = 0;
}

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
