// Speed of the sampling run: time per trial (per_trial, in seconds) of the whole loop
// (random point, psi, acceptance, histogram, point line to the file), of
// the block kernel alone on one thread and on every core, and seconds for a
// full 320 000-point 3d run. The second argument is the number of threads
// (0: one a core).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "app/session.h"
#include "engine/orbital.h"
#include "app/platformhooks.h"
#include "engine/samplekernel.h"
#include "engine/sampleproducer.h"
#include "app/samplingrun.h"
#include "engine/wavefunction.h"
#include "engine/random.h"
#include "app/orbitalcontrols.h"

namespace {

using namespace vantrel;

struct State {
    int n, l, m, extent;
};
// Z = 1 at the default extents
const State states[] = {{1, 0, 0, 2}, {3, 2, 0, 13}, {6, 5, 0, 49}, {4, 3, 2, 23}};

// A folder for the files, in memory when the machine has /dev/shm, so
// that the figures do not depend on the disk.
class Scratch {
public:
    Scratch() {
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
        dir_ = base / ("vantrel-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_ / "files");
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path() const { return dir_.string(); }

private:
    std::filesystem::path dir_;
};

// CPU seconds of every thread of the process: the work, whatever the load
// of the machine does to the wall-clock figures.
double processCpuSeconds() {
    rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

void choose(Session& session, const State& s, int quota, const std::string& mainDir) {
    session.mainDir = mainDir;
    auto& f = session.window;
    f.quantumText[0].setText(std::to_string(s.n));
    f.quantumText[1].setText(std::to_string(s.l));
    f.quantumText[2].setText(std::to_string(s.m));
    f.extentText.setText(std::to_string(s.extent));
    f.maxPointsText.setText(std::to_string(quota));
    updateOrbital(session, true);
}

// Largest psi^2 at a few thousand points away from the nucleus, as the
// run estimates its ceiling.
double estimate(const Session& session, const State& s) {
    double top = 0;
    Random r(1);
    const double e = 2.0 * s.extent;
    for (int i = 0; i < 20000; ++i) {
        double rr, r2, radial = 0;
        const double psi = session.wavefunction.evaluate(e * (r.uniform() - 0.5), e * (r.uniform() - 0.5),
                                                         e * (r.uniform() - 0.5), rr, r2, radial);
        if (rr > s.extent / 10.0) top = std::max(top, psi * psi);
    }
    return top;
}

// The real loop writing a real point file: runs of 50 000 accepted points,
// so the ceiling estimate at the start is under 1%.
void BM_SamplingLoop(benchmark::State& st) {
    const State& s = states[st.range(0)];
    Scratch scratch;
    Session session;
    choose(session, s, 100000000, scratch.path());
    session.random.seed(12345);
    RunState& run = session.run;
    session.samplingHooks.onPoint = [&run] {
        if (run.nPoints >= 50000) run.stopRequested.request();
    };
    session.samplingHooks.threads = static_cast<unsigned>(st.range(1));
    long long trials = 0, points = 0;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : st) {
        run.continueRun = false;
        startCalculation(session, true);
        // A run that accepts nothing measures nothing: say so loudly.
        if (!run.problem.text.empty() || run.nPoints == 0) {
            st.SkipWithError(("the run accepted no point: " + run.problem.text).c_str());
            break;
        }
        trials += run.trials;
        points += run.nPoints;
    }
    st.counters["per_trial"] = benchmark::Counter(static_cast<double>(trials),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // all threads' CPU time per trial, in seconds
    st.counters["cpu_per_trial"] = trials ? (processCpuSeconds() - cpuBefore) / static_cast<double>(trials) : 0.0;
    st.counters["accepted_%"] = trials ? 100.0 * static_cast<double>(points) / static_cast<double>(trials) : 0.0;
    st.SetLabel(std::to_string(s.n) + " " + std::to_string(s.l) + " " + std::to_string(s.m) + " extent " +
                std::to_string(s.extent));
}
BENCHMARK(BM_SamplingLoop)->ArgsProduct({{0, 1, 2, 3}, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();

// A benchmarked orbital's kernel, ceiling and seeded lanes.
struct KernelSetup {
    explicit KernelSetup(const State& s)
        : ceiling((choose(session, s, 625, scratch.path()), estimate(session, s))),
          kernel(session.wavefunction, s.extent, mult, false) {
        Random seed(7);
        lanes.seed(seed);
    }
    Scratch scratch;
    Session session;
    double ceiling;
    const int mult[3] = {0, 0, 0};
    const SampleKernel kernel;
    LaneRandom lanes;
};

// Points, psi and the acceptance test alone, a block at a time: on one
// thread, and shared out by the producer (the floor of the loop).
void BM_Kernel(benchmark::State& st) {
    KernelSetup k(states[st.range(0)]);
    const double ceiling = k.ceiling;
    const SampleKernel& kernel = k.kernel;
    LaneRandom& lanes = k.lanes;
    auto block = std::make_unique<SampleBlock>();
    for (auto _ : st) {
        kernel.run(lanes, ceiling, false, *block);
        benchmark::DoNotOptimize(block->nAccepted);
    }
    st.counters["per_trial"] =
        benchmark::Counter(static_cast<double>(st.iterations()) * sampleBlockSize,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Kernel)->DenseRange(0, 3);

void BM_KernelShared(benchmark::State& st) {
    KernelSetup k(states[st.range(0)]);
    const double ceiling = k.ceiling;
    const SampleKernel& kernel = k.kernel;
    LaneRandom& lanes = k.lanes;
    SampleProducer producer(kernel, lanes, ceiling, static_cast<unsigned>(st.range(1)));
    const double cpuBefore = processCpuSeconds();
    for (auto _ : st) benchmark::DoNotOptimize(producer.next().points.nAccepted);
    st.counters["cpu_per_trial"] =
        (processCpuSeconds() - cpuBefore) / (static_cast<double>(st.iterations()) * sampleBlockSize);
    st.counters["per_trial"] =
        benchmark::Counter(static_cast<double>(st.iterations()) * sampleBlockSize,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    st.counters["threads"] = producer.threads();
}
BENCHMARK(BM_KernelShared)->ArgsProduct({{0, 1, 2, 3}, {0}})->UseRealTime();

// For scale: the same trials one at a time through the scalar wave
// function, no file.
void BM_ScalarLoop(benchmark::State& st) {
    const State& s = states[st.range(0)];
    Scratch scratch;
    Session session;
    choose(session, s, 625, scratch.path());
    const double ceiling = estimate(session, s);
    Random r(7);
    const double e = 2.0 * s.extent;
    long long kept = 0;
    for (auto _ : st) {
        for (int i = 0; i < sampleBlockSize; ++i) {
            double rr, r2, radial = 0;
            const double x = e * (r.uniform() - 0.5), y = e * (r.uniform() - 0.5), z = e * (r.uniform() - 0.5);
            const double psi = session.wavefunction.evaluate(x, y, z, rr, r2, radial);
            kept += psi * psi > r.uniform() * ceiling;
        }
    }
    benchmark::DoNotOptimize(kept);
    st.counters["per_trial"] =
        benchmark::Counter(static_cast<double>(st.iterations()) * sampleBlockSize,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScalarLoop)->DenseRange(0, 3);

// A whole 320 000-point 3d run at its default extent, real file included.
void BM_Run3dFile(benchmark::State& st) {
    Scratch scratch;
    for (auto _ : st) {
        Session session;
        choose(session, states[1], 320000, scratch.path());
        session.random.seed(12345);
        startCalculation(session, true);
        if (session.run.nPoints != 320000) st.SkipWithError("run ended early");
        st.counters["trials"] = static_cast<double>(session.run.trials);
    }
}
BENCHMARK(BM_Run3dFile)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
