// psi on the surfaces' grid: a 128^3 grid of 3d must be filled in at most
// 0.2 s on a 2-core machine. Wall-clock time, as the work is shared over
// threads; the thread count is the second argument (0: one a core).
// Then the level and the two surfaces of 90 % on that grid.
#include <benchmark/benchmark.h>

#include "engine/isosurface.h"
#include "engine/psigrid.h"

namespace {

using namespace vantrel;

constexpr double extent3d = 13;  // the default cube of 3d in hydrogen

Orbital orbital3d() {
    Orbital o;
    o.setup(1, 3, 2, 0);
    return o;
}

void grid(benchmark::State& state) {
    const Orbital o = orbital3d();
    const int points = static_cast<int>(state.range(0));
    for (auto _ : state) {
        PsiGridOutcome g = evaluatePsiGrid(o, extent3d, points, static_cast<unsigned>(state.range(1)));
        if (!g.problem.empty()) state.SkipWithError(g.problem.c_str());
        benchmark::DoNotOptimize(g.grid.psi.data());
    }
    state.counters["ns/point"] = benchmark::Counter(double(points) * points * points,
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(grid)
    ->ArgNames({"points", "threads"})
    ->Args({96, 0})
    ->Args({128, 0})
    ->Args({128, 1})
    ->Args({256, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void surfaces(benchmark::State& state) {
    const Orbital o = orbital3d();
    const PsiGridOutcome g = evaluatePsiGrid(o, extent3d, static_cast<int>(state.range(0)));
    std::size_t triangles = 0;
    for (auto _ : state) {
        const EnclosingSurfaces s = enclosingSurfaces(g.grid, defaultEnclosed);
        triangles = s.surfaces.positive.triangles.size() + s.surfaces.negative.triangles.size();
    }
    state.counters["triangles"] = double(triangles);
}
BENCHMARK(surfaces)->ArgName("points")->Arg(96)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
