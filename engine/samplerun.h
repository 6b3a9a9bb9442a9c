// A Monte Carlo sampling run: trial points in the orbital's cube, kept
// with probability psi^2 / ceiling, handed in trial order to the sinks.
// The run ends at the exact trial that fills the quota, proves a node or
// follows a stop request.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <vector>

#include "engine/pointsink.h"
#include "engine/random.h"
#include "engine/samplekernel.h"
#include "engine/sampleproducer.h"
#include "engine/wavefunction.h"

namespace vantrel {

struct SamplingOptions {
    double extent = 2;        // half the side of the sampling cube, Angstroms
    int quota = 10000;        // accepted points that end a run
    int planeMult[3] = {0, 0, 0};  // a plane's axes (1) when restricted
    bool restricted = false;  // only points on that plane
    // Threads that evaluate trials, the run's own included (0: one a core).
    // The points are the same whatever the number.
    unsigned threads = 0;
};

// The ceiling of psi^2: the largest value found at 5000 random points of
// the cube, leaving out the points within a tenth of the extent from the
// nucleus.
double estimateCeiling(const Orbital& orbital, double extent, Random& random);

// A stop request another thread may set; the run reads it between trials.
class StopFlag {
public:
    StopFlag() = default;
    StopFlag(const StopFlag& other) : flag_(other.requested()) {}
    StopFlag& operator=(const StopFlag& other) {
        flag_ = other.requested();
        return *this;
    }
    void request() { flag_ = true; }
    void clear() { flag_ = false; }
    bool requested() const { return flag_; }

private:
    std::atomic<bool> flag_{false};
};

enum class RunEnd { Quota, Node, Stopped, Failed };

struct RunProgress {
    int points = 0;        // counted, those of a continued file included
    long long trials = 0;  // trials of this run
    std::chrono::steady_clock::duration elapsed{};
};

struct RunEvents {
    // After each accepted point is in every sink and counted.
    std::function<void(int points)> onPoint;
    // Between blocks of trials while the run goes on; false ends it as a
    // failure (a checkpoint that could not be written).
    std::function<bool(const RunProgress&)> onBlock;
};

class SamplingRun {
public:
    // Draws the seeds of its random streams from random at once.
    SamplingRun(const Orbital& orbital, const SamplingOptions& options, double ceiling, Random& random);
    // The run keeps a reference to the orbital: a temporary would dangle.
    SamplingRun(Orbital&&, const SamplingOptions&, double, Random&) = delete;
    void addSink(PointSink& sink) {
        sinks_.push_back(&sink);
        if (!preparing_ && sink.prepares()) preparing_ = &sink;
    }
    // Samples until the quota (a multiple of it, counting from points),
    // a node, a stop or a sink that fails.
    RunEnd run(int points, const StopFlag& stop, const RunEvents& events);
    int points() const { return points_; }
    long long trials() const { return trials_; }

private:
    bool deliver(const ProducedBlock& block, int j);
    SamplingOptions options_;
    double ceiling_;
    SampleKernel kernel_;
    LaneRandom lanes_;
    PointSink* preparing_ = nullptr;  // the sink whose work is done ahead
    std::vector<PointSink*> sinks_;
    int points_ = 0;
    long long trials_ = 0;
};

}  // namespace vantrel
