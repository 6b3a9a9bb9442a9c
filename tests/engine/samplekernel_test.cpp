#include "engine/samplekernel.h"

#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/orbital.h"
#include "engine/random.h"
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
    int states = 0;
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
                    ++states;
                }
    EXPECT_EQ(states, 140 + 30);
}

}  // namespace
}  // namespace vantrel
