// The sampling run on its own: sinks in trial order, and the exact trial
// at which the quota, a stop or a failing sink ends it.
#include "engine/samplerun.h"

#include <gtest/gtest.h>

#include <numeric>

#include "orbitals.h"

namespace vantrel {
namespace {

Orbital orbital(int n, int l, int m) { return test::orbital(1, n, l, m); }

// Refuses every point after the first few.
struct FullSink : PointSink {
    int room = 3;
    bool accept(const CloudPoint&, double) override { return room-- > 0; }
};

TEST(SamplingRun, SinksSeeEveryCountedPointInOrder) {
    const Orbital o = orbital(1, 0, 0);
    SamplingOptions options;
    options.extent = 2, options.quota = 50;
    Random random(1);
    SamplingRun run(o, options, estimateCeiling(o, 2, random), random);
    CollectingSink cloud;
    RadialHistogram histogram(histogramSize(2, 51), 50);
    RadialSink radial(histogram, 50);
    run.addSink(cloud);
    run.addSink(radial);
    std::vector<int> seen;
    RunEvents events;
    events.onPoint = [&](int points) { seen.push_back(points); };
    StopFlag stop;
    EXPECT_EQ(run.run(100, stop, events), RunEnd::Quota);  // 100 points before: 50 more make 150
    EXPECT_EQ(cloud.points.size(), 50u);
    EXPECT_EQ(std::accumulate(histogram.hits.begin(), histogram.hits.end(), 0.0), 50);
    EXPECT_EQ(seen.front(), 101);
    EXPECT_EQ(seen.back(), 150);
    EXPECT_GE(run.trials(), 50);
}

// (A node ends a run at trial 501: the app's sampling tests.)
TEST(SamplingRun, StopAndFailureEndAtTheirTrial) {
    Random random(7);
    StopFlag stop;
    const Orbital o = orbital(1, 0, 0);  // named: the run keeps a pointer to it
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
