#include "engine/sampleproducer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/orbital.h"
#include "engine/random.h"
#include "orbitals.h"

namespace vantrel {
namespace {

struct Case {
    int n, l, m;
    double extent, maxPsi2;
    int mult[3];
    bool restricted;
};

// 1s, 3d, 4f m = 2 and a 2p cut by the xz plane, at ceilings that accept a
// few per cent of the trials.
const Case cases[] = {
    {1, 0, 0, 2, 2.0, {1, 1, 1}, false},
    {3, 2, 0, 13, 1.5e-4, {1, 1, 1}, false},
    {4, 3, 2, 23, 1e-5, {1, 1, 1}, false},
    {2, 1, 1, 6, 3e-3, {1, 0, 1}, true},
};

// The accepted trials of a block, byte for byte.
std::string pointsOf(const SampleBlock& b) {
    std::string s;
    const int n = b.nAccepted;
    s.append(reinterpret_cast<const char*>(b.index), n * sizeof b.index[0]);
    for (const double* column : {b.x, b.y, b.z, b.psi, b.r})
        s.append(reinterpret_cast<const char*>(column), n * sizeof(double));
    return s + std::to_string(b.firstNonZero);
}

// Every accepted trial's index as text, as a block work would write lines.
void indexText(ProducedBlock& p) {
    p.text.clear();
    for (int j = 0; j < p.points.nAccepted; ++j) {
        p.text += std::to_string(p.firstTrial + p.points.index[j]) + ";";
        p.textEnd[j] = static_cast<std::uint32_t>(p.text.size());
    }
}

TEST(SampleProducer, SameBlocksInTrialOrderWhateverTheThreads) {
    constexpr int blocks = 48;
    for (const Case& c : cases) {
        const Orbital o = test::orbital(1, c.n, c.l, c.m);  // the kernel keeps a pointer to it
        const SampleKernel kernel(o, c.extent, c.mult, c.restricted);
        Random seed(99);
        LaneRandom start;
        start.seed(seed);

        // one thread, one block after another
        std::string serial, serialText;
        LaneRandom lanes = start;
        auto block = std::make_unique<ProducedBlock>();
        int accepted = 0;
        for (int b = 0; b < blocks; ++b) {
            kernel.run(lanes, c.maxPsi2, b == 0, block->points);
            block->firstTrial = static_cast<long long>(b) * sampleBlockSize;
            indexText(*block);
            serial += pointsOf(block->points);
            serialText += block->text;
            accepted += block->points.nAccepted;
        }
        EXPECT_GT(accepted, blocks) << c.n << c.l << c.m;

        for (unsigned threads : {1u, 2u, 4u}) {
            std::string produced, text;
            SampleProducer producer(kernel, start, c.maxPsi2, threads, indexText);
            for (int b = 0; b < blocks; ++b) {
                const ProducedBlock& p = producer.next();
                ASSERT_EQ(p.firstTrial, static_cast<long long>(b) * sampleBlockSize);
                produced += pointsOf(p.points);
                text += p.text;
            }
            EXPECT_EQ(produced, serial) << c.n << c.l << c.m << " on " << threads << " threads";
            EXPECT_EQ(text, serialText) << c.n << c.l << c.m << " on " << threads << " threads";
        }
    }
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

TEST(SampleProducer, StopsMidRunWithBlocksUnderWay) {
    const int all[3] = {1, 1, 1};
    const Orbital o = test::orbital(1, 3, 2, 0);
    const SampleKernel kernel(o, 13, all, false);
    Random seed(1);
    LaneRandom start;
    start.seed(seed);
    for (unsigned threads : {2u, 4u}) {
        SampleProducer producer(kernel, start, 1.5e-4, threads);
        producer.next();
    }  // leaving the scope joins its threads, work in flight dropped: no hang
}

}  // namespace
}  // namespace vantrel
