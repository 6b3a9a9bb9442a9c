// The sampler: trials the kernel's shell bound turns down, and the exact
// trial at which a stop or a failing sink ends a run.
#include "engine/samplerun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "engine/orbital.h"
#include "engine/random.h"
#include "engine/samplekernel.h"
#include "orbitals.h"

namespace vantrel {
namespace {

// The accepted trials of a block, byte for byte.
std::string pointsOf(const SampleBlock& b) {
    std::string s;
    const int n = b.nAccepted;
    s.append(reinterpret_cast<const char*>(b.index), n * sizeof b.index[0]);
    for (const double* column : {b.x, b.y, b.z, b.psi, b.r})
        s.append(reinterpret_cast<const char*>(column), n * sizeof(double));
    return s + std::to_string(b.firstNonZero);
}

// Trials turned down by the shell bound are exactly those the test on psi
// turns down: every state up to n = 7 (and some of Z = 3) accepts the same
// points whether psi is found everywhere or not, at the run's ceiling and
// at a tenth of it.
TEST(SampleKernel, TheBoundTurnsDownOnlyTrialsPsiTurnsDown) {
    auto block = std::make_unique<SampleBlock>();
    auto full = std::make_unique<SampleBlock>();
    const int all[3] = {1, 1, 1};
    for (int z : {1, 3})
        for (int n = 1; n <= (z == 1 ? 7 : 4); ++n)
            for (int l = 0; l < n; ++l)
                for (int m = -l; m <= l; ++m) {
                    const Orbital o = test::orbital(z, n, l, m);
                    const SampleKernel kernel(o, defaultExtent(n, 1), all, false);
                    // the largest psi^2 at a few thousand trials, as a run's ceiling
                    Random seed(static_cast<std::uint64_t>(100 * n + 10 * l + m + z));
                    LaneRandom lanes;
                    lanes.seed(seed);
                    kernel.run(lanes, 0, true, *full);  // every nonzero psi accepted
                    double top = 0;
                    for (int j = 0; j < full->nAccepted; ++j) top = std::max(top, full->psi[j] * full->psi[j]);
                    ASSERT_GT(top, 0) << n << l << m;
                    int accepted = 0;
                    for (double ceiling : {top, top / 10}) {
                        for (int b = 0; b < 24; ++b) {
                            LaneRandom again = lanes;
                            kernel.run(lanes, ceiling, false, *block);
                            kernel.run(again, ceiling, true, *full);
                            full->firstNonZero = block->firstNonZero;
                            accepted += block->nAccepted;
                            ASSERT_EQ(pointsOf(*block), pointsOf(*full))
                                << "Z=" << z << " " << n << l << m << " block " << b;
                        }
                    }
                    EXPECT_GT(accepted, 24) << "Z=" << z << " " << n << l << m;
                }
}

// Refuses every point after the first few.
struct FullSink : PointSink {
    int room = 3;
    bool accept(const CloudPoint&, double) override { return room-- > 0; }
};

// (A node at trial 501, the quota counted on from a continued file, the
// points in order to every sink: the app's sampling and run-fault tests.)
TEST(SamplingRun, StopAndFailureEndAtTheirTrial) {
    Random random(7);
    StopFlag stop;
    const Orbital o = test::orbital(1, 1, 0, 0);  // named: the run keeps a pointer to it
    SamplingOptions options;
    options.extent = 2;
    stop.request();  // asked for already: one trial
    SamplingRun stopped(o, options, estimateCeiling(o, 2, random), random);
    EXPECT_EQ(stopped.run(0, stop, {}), RunEnd::Stopped);
    EXPECT_EQ(stopped.trials(), 1);

    stop.clear();
    FullSink full;
    SamplingRun failing(o, options, estimateCeiling(o, 2, random), random);
    failing.addSink(full);
    EXPECT_EQ(failing.run(0, stop, {}), RunEnd::Failed);
    EXPECT_EQ(failing.points(), 3);  // the refused point is not counted
}

}  // namespace
}  // namespace vantrel
