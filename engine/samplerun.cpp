#include "engine/samplerun.h"

#include <algorithm>
#include <memory>

namespace vantrel {

namespace {

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// A fuzzer's inputs need a ceiling, not a good one; and its orbital may
// need millions of trials for a point.
constexpr int ceilingTrials = 256;
constexpr long long fuzzingTrialCap = 8 * sampleBlockSize;
#else
constexpr int ceilingTrials = 5000;
#endif
constexpr int nodeTrials = 500;  // all-zero trials after which the region is a node

}  // namespace

double estimateCeiling(const Orbital& orbital, double extent, Random& random) {
    double top = 0;
    for (int i = 0; i < ceilingTrials; ++i) {
        const double x = 2 * extent * randomCentered(random);
        const double y = 2 * extent * randomCentered(random);
        const double z = 2 * extent * randomCentered(random);
        double r = 0, r2 = 0, radial = 0;
        const double psi = orbital.evaluate(x, y, z, r, r2, radial);
        if (r > extent / 10 && psi * psi > top) top = psi * psi;
    }
    return top;
}

SamplingRun::SamplingRun(const Orbital& orbital, const SamplingOptions& options, double ceiling, Random& random)
    : options_(options), ceiling_(ceiling),
      kernel_(orbital, options.extent, options.planeMult, options.restricted) {
    lanes_.seed(random);
}

bool SamplingRun::deliver(const ProducedBlock& block, int j) {
    const SampleBlock& b = block.points;
    const CloudPoint point{b.x[j], b.y[j], b.z[j], b.psi[j]};
    for (PointSink* sink : sinks_) {
        if (sink == preparing_) {
            const std::uint32_t from = j > 0 ? block.textEnd[j - 1] : 0;
            if (!sink->acceptPrepared(point, b.r[j], std::string_view(block.text).substr(from, block.textEnd[j] - from)))
                return false;
        } else if (!sink->accept(point, b.r[j])) {
            return false;
        }
    }
    return true;
}

RunEnd SamplingRun::run(int points, const StopFlag& stop, const RunEvents& events) {
    using clock = std::chrono::steady_clock;
    const auto started = clock::now();
    points_ = points;
    trials_ = 0;
    const int quota = std::max(1, options_.quota);
    bool allZero = true;
    // Blocks of trials are evaluated on every core and come back in trial
    // order; those evaluated past the end are dropped with the producer.
    BlockWork work;
    if (preparing_)
        work = [sink = preparing_](ProducedBlock& p) {
            p.text.clear();
            sink->prepare(p.points, p.text, p.textEnd);
        };
    SampleProducer producer(kernel_, lanes_, ceiling_, options_.threads, work);
    for (;;) {
        const ProducedBlock& produced = producer.next();
        const SampleBlock* block = &produced.points;
        // The trials of this block that happen: a stop that is already
        // asked for ends the run after its first trial.
        long long end = stop.requested() ? 1 : sampleBlockSize;
        bool node = false;
        if (allZero) {
            const long long nodeAt = nodeTrials + 1 - trials_;  // 1-based trial of the node test
            if (nodeAt <= end && block->firstNonZero >= nodeAt) {
                end = nodeAt;
                node = true;
            } else if (block->firstNonZero < end) {
                allZero = false;
            }
        }
        bool quotaMet = false, failed = false;
        for (int j = 0; j < block->nAccepted; ++j) {
            const int idx = block->index[j];
            if (idx >= end) break;
            if (!deliver(produced, j)) {
                end = idx + 1;  // the point is not kept: not counted
                failed = true;
                break;
            }
            ++points_;
            quotaMet = points_ % quota == 0;
            if (events.onPoint) events.onPoint(points_);
            if (quotaMet || stop.requested()) {
                end = idx + 1;
                break;
            }
        }
        trials_ += end;
        if (failed) return RunEnd::Failed;
        if (quotaMet) return RunEnd::Quota;
        if (node) return RunEnd::Node;
        if (stop.requested()) return RunEnd::Stopped;
        if (events.onBlock && !events.onBlock({points_, trials_, clock::now() - started})) return RunEnd::Failed;
        if (stop.requested()) return RunEnd::Stopped;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        if (trials_ >= fuzzingTrialCap) return RunEnd::Stopped;
#endif
    }
}

}  // namespace vantrel
