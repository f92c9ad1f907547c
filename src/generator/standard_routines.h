#pragma once

#include <cstdint>
#include <random>

namespace modStandard {

// Source of the uniform random numbers the generator draws. The generator takes one by
// reference so that a run can be made repeatable (seeded) or scripted (tests).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // A whole number uniformly distributed over lo to hi inclusive.
    virtual int inRange(int lo, int hi) = 0;
    // count letters of an alphabet of the given size, 0 for its first (A), each uniform: one
    // inRange draw each, of 'A' to 'Z' for the usual 26.
    virtual void drawLetters(std::uint16_t *letters, int count, int alphabetSize);
};

// Mersenne Twister source; the default constructor seeds from the system clock.
class SeededRandomSource final : public RandomSource
{
public:
    SeededRandomSource();
    explicit SeededRandomSource(std::uint32_t seed);

    // lo + floor(r × (hi − lo + 1)) with r a single-precision number in [0, 1). Defined here so
    // that the generator, which holds this final type, gets it inlined.
    int inRange(int lo, int hi) override { return mapToRange(m_engine(), lo, hi); }
    // What inRange makes of one number of the engine.
    static int mapToRange(std::uint32_t number, int lo, int hi)
    {
        // With r = m / 2^24, floor(r × span) is (m × span) >> 24 exactly; whole numbers avoid the
        // floating-point rounding and are cheaper in the generator's inner loop.
        const std::uint64_t m = number >> 8;
        const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
        return lo + static_cast<int>((m * span) >> 24);
    }
    // Three letters from each number: its first three digits in base size, that is
    // floor(n × size³ / 2³²); for 26 letters each of the 17,576 triples is as likely as any
    // other to within 1 in 240,000 (for 66, the Latin and Cyrillic letters together, to within
    // 1 in 14,000). The letters left over from the last number are dropped.
    void drawLetters(std::uint16_t *letters, int count, int alphabetSize) override
    {
        const auto size = static_cast<std::uint64_t>(alphabetSize);
        auto nextDigit = [size](std::uint64_t &digits) {
            digits *= size;
            const auto digit = static_cast<std::uint16_t>(digits >> 32);
            digits &= 0xffffffffu;
            return digit;
        };
        int k = 0;
        for (; k + 3 <= count; k += 3) {
            std::uint64_t digits = m_engine();
            letters[k] = nextDigit(digits);
            letters[k + 1] = nextDigit(digits);
            letters[k + 2] = nextDigit(digits);
        }
        if (k < count) {
            std::uint64_t digits = m_engine();
            for (; k < count; ++k)
                letters[k] = nextDigit(digits);
        }
    }

private:
    // std::mt19937's numbers, its state kept in 32-bit words as the algorithm defines it (the
    // library's own keeps them in 64 bits, which takes it twice as long to refill).
    std::mersenne_twister_engine<std::uint32_t, 32, 624, 397, 31, 0x9908b0dfu, 11, 0xffffffffu, 7,
                                 0x9d2c5680u, 15, 0xefc60000u, 18, 1812433253u>
        m_engine;
};

// The program's own source, seeded from the clock on first use and never again.
SeededRandomSource &ProgramRandomSource();

// Blocks the calling thread for seconds × 1000 milliseconds, rounded; no events are processed.
void Pause(double seconds);
// The length of such a pause in whole milliseconds (0.06 gives 60).
int PauseMilliseconds(double seconds);

} // namespace modStandard
