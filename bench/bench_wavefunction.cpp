// Cost of one wave-function evaluation, the fast form against the literal
// term-by-term form, at random points of each orbital's default cube.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "../tests/support/literalwavefunction.h"
#include "app/platformhooks.h"
#include "engine/wavefunction.h"
#include "engine/random.h"

namespace {

using vantrel::Orbital;

struct Case {
    const char* name;
    int n, l, m;
    double extent;  // default extent for hydrogen
};
const Case cases[] = {{"1s", 1, 0, 0, 2},  {"2p", 2, 1, 0, 6},  {"3d", 3, 2, 0, 13},
                      {"4f", 4, 3, 0, 23}, {"6h", 6, 5, 0, 49}, {"4f_m2", 4, 3, 2, 23}};

constexpr int nPoints = 4096;  // power of two, fits in the cache

std::vector<double> points(double extent) {
    vantrel::Random gen(2024);
    std::vector<double> p(3 * nPoints);
    for (double& v : p) v = (2 * gen.uniform() - 1) * extent;
    return p;
}

template <bool fast>
void evaluate(benchmark::State& state, const Case& c) {
    Orbital o;
    o.setup(1, c.n, c.l, c.m);
    const std::vector<double> p = points(c.extent);
    std::size_t i = 0;
    double r, r2;
    for (auto _ : state) {
        double radial = 0;
        const double* q = &p[3 * i];
        double v = fast ? o.evaluate(q[0], q[1], q[2], r, r2, radial)
                        : vantrel::test::literalWaveFunction(o, q[0], q[1], q[2], r, r2, radial);
        benchmark::DoNotOptimize(v);
        i = (i + 1) & (nPoints - 1);
    }
}

// Prints the usual table, then the speed-up of each orbital.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // CPU time, as the machine may be shared. With repetitions the
        // median and the least (the least disturbed run) are kept.
        for (const Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration) times_[name] = run.GetAdjustedCPUTime();
            if (run.aggregate_name == "median") times_[name] = run.GetAdjustedCPUTime();
            if (run.aggregate_name == "min") least_[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        table("CPU time per call (median when repeated)", times_);
        table("least CPU time per call over the repetitions", least_);
    }

private:
    static void table(const char* title, const std::map<std::string, double>& t) {
        if (t.empty()) return;
        std::printf("\n%s\n%-8s %12s %12s %8s\n", title, "orbital", "literal ns", "fast ns", "ratio");
        for (const Case& c : cases) {
            const auto slow = t.find(std::string("literal/") + c.name);
            const auto quick = t.find(std::string("fast/") + c.name);
            if (slow == t.end() || quick == t.end()) continue;
            std::printf("%-8s %12.1f %12.1f %7.1fx\n", c.name, slow->second, quick->second,
                        slow->second / quick->second);
        }
    }
    std::map<std::string, double> times_, least_;
};

}  // namespace

int main(int argc, char** argv) {
    const auto least = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark((std::string("literal/") + c.name).c_str(),
                                     [&c](benchmark::State& s) { evaluate<false>(s, c); })
            ->ComputeStatistics("min", least);
        benchmark::RegisterBenchmark((std::string("fast/") + c.name).c_str(),
                                     [&c](benchmark::State& s) { evaluate<true>(s, c); })
            ->ComputeStatistics("min", least);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
