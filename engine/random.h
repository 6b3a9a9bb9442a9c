// Random numbers: a small, fast 64-bit generator.
#pragma once

#include <cstdint>

namespace vantrel {

// 64-bit generator (xoshiro256**), seeded from the clock, or from
// VANTREL_SEED when that holds an integer.
class Random {
public:
    Random();
    explicit Random(std::uint64_t seed);
    void seed(std::uint64_t s);
    std::uint64_t next() {
        const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return result;
    }
    // Uniform in 0 <= u < 1 with 53 bits.
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    const std::uint64_t* state() const { return s_; }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t s_[4];
};
std::uint64_t startSeed();  // the VANTREL_SEED value, or one from the clock

// Uniform in -0.5 <= v < 0.5.
double randomCentered(Random& random);

}  // namespace vantrel
