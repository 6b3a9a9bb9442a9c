#include "engine/random.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace vantrel {

Random::Random() { seed(startSeed()); }
Random::Random(std::uint64_t s) { seed(s); }

void Random::seed(std::uint64_t s) {
    // splitmix64 spreads one word over the four words of state
    for (auto& w : s_) {
        std::uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        w = z ^ (z >> 31);
    }
}

std::uint64_t startSeed() {
    if (const char* s = std::getenv("VANTREL_SEED")) {
        char* end = nullptr;
        long long v = std::strtoll(s, &end, 10);
        if (end != s) return static_cast<std::uint64_t>(v);
    }
    return static_cast<std::uint64_t>(
               std::chrono::high_resolution_clock::now().time_since_epoch().count()) ^
           (static_cast<std::uint64_t>(getpid()) << 32);
}

double randomCentered(Random& random) {
    double v = random.uniform();
    v += random.uniform();
    v -= std::floor(v);
    return v - 0.5;
}

}  // namespace vantrel
