// Frames of the 3-D view while it turns, and the cost of points added as a
// run accepts them: 800x800 pixels, a 3d_z2 cloud of 320 000 and 1 000 000
// points, density and dots. The targets on a 2-core machine without a GPU:
// 1 000 000 points at 30 frames a second or more, 320 000 at 60 or more.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <span>
#include <string>

#include "cloudview/cloudviewstate.h"
#include "cloudview/samplecloud.h"
#include "engine/wavefunction.h"
#include "output/cloudrender.h"

namespace {

using namespace vantrel;

constexpr int side = 800;

const SampledCloud& cloud() {
    static const SampledCloud c = [] {
        Orbital o;
        o.setup(1, 3, 2, 0);
        return sampleCloud(o, 13, 1000000, 7);
    }();
    return c;
}

CloudViewState viewState(CloudStyle style) {
    CloudViewState s;
    s.extent = 13;
    s.maxPsi2 = cloud().maxPsi2;
    s.style = style;
    s.colouring = style == CloudStyle::dots ? CloudColouring::probability : CloudColouring::sign;
    return s;
}

// args: point count, style (0 density, 1 dots), threads (0 every core).
// Every frame turns by a degree. On one thread the CPU time is the whole
// frame's work, which other programs on the machine hardly change.
void BM_Turning(benchmark::State& st) {
    const auto count = static_cast<std::size_t>(st.range(0));
    CloudViewState view = viewState(st.range(1) ? CloudStyle::dots : CloudStyle::density);
    CloudRenderer renderer(static_cast<int>(st.range(2)));
    renderer.addPoints(std::span(cloud().points).first(std::min(count, cloud().points.size())));
    for (auto _ : st) {
        view.drag(2, 0);
        renderer.render(view.scene(side, side, 1));
        benchmark::DoNotOptimize(renderer.image().pixels.data());
    }
    st.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
    st.SetLabel(std::string(st.range(1) ? "dots" : "density") + (st.range(2) == 1 ? ", one thread" : ""));
}
BENCHMARK(BM_Turning)
    ->ArgsProduct({{320000, 1000000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A frame after 10 000 new points (a tenth of a second of a fast run) with
// the camera still, over 320 000 to 1 000 000 points already drawn.
void BM_AddingPoints(benchmark::State& st) {
    constexpr std::size_t base = 320000, portion = 10000;
    const CloudViewState view = viewState(st.range(0) ? CloudStyle::dots : CloudStyle::density);
    const CloudScene scene = view.scene(side, side, 1);
    const auto& points = cloud().points;
    CloudRenderer renderer;
    std::size_t next = points.size();
    for (auto _ : st) {
        if (next + portion > points.size()) {
            st.PauseTiming();
            renderer.clearPoints();
            renderer.addPoints(std::span(points).first(base));
            renderer.render(scene);
            next = base;
            st.ResumeTiming();
        }
        renderer.addPoints(std::span(points).subspan(next, portion));
        next += portion;
        renderer.render(scene);
        benchmark::DoNotOptimize(renderer.image().pixels.data());
    }
    st.counters["ns_per_point"] = benchmark::Counter(static_cast<double>(st.iterations() * portion),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    st.SetLabel(st.range(0) ? "dots" : "density");
}
BENCHMARK(BM_AddingPoints)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
