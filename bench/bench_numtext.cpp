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
void pervalue(benchmark::State& state, Format format) {
    const auto& xs = values();
    std::size_t i = 0;
    for (auto _ : state) {
        format(xs[i++ & 16383]);
        benchmark::ClobberMemory();
    }
}

void BM_numtext(benchmark::State& state) {
    pervalue(state, [](double x) {
        std::string s = vantrel::numtext(x);
        benchmark::DoNotOptimize(s);
    });
}
BENCHMARK(BM_numtext);

void BM_numtext_fast(benchmark::State& state) {
    char buf[32];
    pervalue(state, [&](double x) { benchmark::DoNotOptimize(vantrel::numtext_fast(x, buf)); });
}
BENCHMARK(BM_numtext_fast);

void BM_snprintf_G15(benchmark::State& state) {
    char buf[32];
    pervalue(state, [&](double x) { benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%.15G", x)); });
}
BENCHMARK(BM_snprintf_G15);

// One whole "x,y,z,psi" line as the point file writes it.
void BM_pointline_fast(benchmark::State& state) {
    const auto& xs = values();
    char line[160];
    std::size_t i = 0;
    for (auto _ : state) {
        const double* p = &xs[(i++ & 4095) * 4];
        char* q = line;
        for (int k = 0; k < 4; ++k) {
            q += vantrel::numtext_fast(p[k], q);
            *q++ = k < 3 ? ',' : '\r';
        }
        *q++ = '\n';
        benchmark::DoNotOptimize(q);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_pointline_fast);

void BM_pointline_strings(benchmark::State& state) {
    const auto& xs = values();
    std::size_t i = 0;
    for (auto _ : state) {
        const double* p = &xs[(i++ & 4095) * 4];
        std::string line = vantrel::numtext(p[0]) + "," + vantrel::numtext(p[1]) + "," +
                           vantrel::numtext(p[2]) + "," + vantrel::numtext(p[3]) + "\r\n";
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_pointline_strings);

}  // namespace

BENCHMARK_MAIN();
