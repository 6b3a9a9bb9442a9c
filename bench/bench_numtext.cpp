// Number-to-text speed: the point files write four numbers per line for
// every sampled point, so this sits in the hot loop of a run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "engine/textutil.h"

namespace {

// Values like those in a point file: coordinates in Angstroms with full
// precision and psi values over many magnitudes.
const std::vector<double>& values() {
    static const std::vector<double> xs = [] {
        std::mt19937_64 gen(42);
        std::uniform_real_distribution<double> coord(-20.0, 20.0);
        std::uniform_real_distribution<double> power(-12.0, 1.0);
        std::vector<double> v;
        for (int i = 0; i < 4096; ++i) {
            v.push_back(coord(gen));
            v.push_back(coord(gen));
            v.push_back(coord(gen));
            v.push_back((i % 2 ? 1 : -1) * std::pow(10.0, power(gen)));
        }
        return v;
    }();
    return xs;
}

template <class Format>
void perValue(benchmark::State& state, Format format) {
    const auto& xs = values();
    std::size_t i = 0;
    for (auto _ : state) {
        format(xs[i++ & 16383]);
        benchmark::ClobberMemory();
    }
}

void BM_NumText(benchmark::State& state) {
    perValue(state, [](double x) {
        std::string s = vantrel::numText(x);
        benchmark::DoNotOptimize(s);
    });
}
BENCHMARK(BM_NumText);

void BM_NumTextFast(benchmark::State& state) {
    char buf[32];
    perValue(state, [&](double x) { benchmark::DoNotOptimize(vantrel::numTextFast(x, buf)); });
}
BENCHMARK(BM_NumTextFast);

// Coordinates alone, as in the XYZ files: every one in the plain form.
void BM_NumTextFastCoordinates(benchmark::State& state) {
    const auto& xs = values();
    char buf[32];
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t j = i++;
        benchmark::DoNotOptimize(vantrel::numTextFast(xs[(j & 4095) * 4 + j % 3], buf));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_NumTextFastCoordinates);

void BM_snprintf_G15(benchmark::State& state) {
    char buf[32];
    perValue(state, [&](double x) { benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%.15G", x)); });
}
BENCHMARK(BM_snprintf_G15);

// One whole "x,y,z,psi" line as the point file writes it.
void BM_PointLineFast(benchmark::State& state) {
    const auto& xs = values();
    char line[160];
    std::size_t i = 0;
    for (auto _ : state) {
        const double* p = &xs[(i++ & 4095) * 4];
        char* q = line;
        for (int k = 0; k < 4; ++k) {
            q += vantrel::numTextFast(p[k], q);
            *q++ = k < 3 ? ',' : '\r';
        }
        *q++ = '\n';
        benchmark::DoNotOptimize(q);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PointLineFast);

void BM_PointLineStrings(benchmark::State& state) {
    const auto& xs = values();
    std::size_t i = 0;
    for (auto _ : state) {
        const double* p = &xs[(i++ & 4095) * 4];
        std::string line = vantrel::numText(p[0]) + "," + vantrel::numText(p[1]) + "," +
                           vantrel::numText(p[2]) + "," + vantrel::numText(p[3]) + "\r\n";
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_PointLineStrings);

}  // namespace

BENCHMARK_MAIN();
