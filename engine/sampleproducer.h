// A sampling run's trials on every core, handed back in trial order.
//
// The random words are drawn in one sequence, as a single thread would
// draw them: the producer hands each block of trials the lane state it
// starts from and moves on past the block's words, and any thread
// evaluates it with the shared kernel. Blocks come back in trial order
// whatever the number of threads, so a seeded run accepts the same points
// in the same order as a run on one thread; blocks evaluated past the end
// of a run are simply dropped.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/samplekernel.h"

namespace vantrel {

// One block of trials as a worker left it.
struct ProducedBlock {
    SampleBlock points;  // the accepted trials, in trial order
    // What the block work wrote for the accepted trials (a point file's
    // lines, say): the bytes of accepted trial j end at textEnd[j].
    std::string text;
    std::uint32_t textEnd[sampleBlockSize];
    long long firstTrial = 0;  // trials drawn before this block
};

// Extra work done on the worker thread for each block after the kernel,
// such as turning the accepted points into text. Must be safe to run on
// several blocks at once.
using BlockWork = std::function<void(ProducedBlock&)>;

class SampleProducer {
public:
    // Trials start at `lanes`; the kernel must outlive the producer.
    // threads: how many threads evaluate, the caller's included (0: one a
    // core). firstNonZero is always filled.
    SampleProducer(const SampleKernel& kernel, const LaneRandom& lanes, double maxPsi2, unsigned threads = 0,
                   BlockWork work = {});
    ~SampleProducer();
    SampleProducer(const SampleProducer&) = delete;
    SampleProducer& operator=(const SampleProducer&) = delete;

    // The next block of sampleBlockSize trials. It stays valid until the
    // next call; the caller helps evaluate while it waits for it.
    const ProducedBlock& next();

    unsigned threads() const { return threads_; }

private:
    struct Slot {
        ProducedBlock block;
        LaneRandom lanes;  // where the block's trials start
        bool done = false;
    };
    void issue();
    void evaluate(Slot& slot) const;
    void work();
    Slot& slotOf(long long block) { return *slots_[static_cast<std::size_t>(block % depth_)]; }

    const SampleKernel& kernel_;
    const double maxPsi2_;
    const BlockWork blockWork_;
    unsigned threads_;
    long long depth_;  // blocks under way at most
    std::vector<std::unique_ptr<Slot>> slots_;
    LaneRandom lanes_;  // start of the next block to issue

    std::mutex mutex_;
    std::condition_variable workReady_;  // for the helper threads
    std::condition_variable blockDone_;  // for the caller
    long long issued_ = 0;   // blocks given their lanes
    long long claimed_ = 0;  // blocks some thread took on
    long long handed_ = 0;   // blocks returned by next()
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
};

}  // namespace vantrel
