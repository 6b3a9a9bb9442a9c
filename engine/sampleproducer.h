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

#include <cstdint>
#include <functional>
#include <string>

#include "engine/orderedwork.h"
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
    // core). firstNonZero is filled in the first block only: a run's test
    // for a nodal region looks at its first 501 trials.
    SampleProducer(const SampleKernel& kernel, const LaneRandom& lanes, double maxPsi2, unsigned threads = 0,
                   BlockWork work = {});

    // The next block of sampleBlockSize trials. It stays valid until the
    // next call; the caller helps evaluate while it waits for it.
    const ProducedBlock& next() {
        if (!current_ || taken_ == blocksPerItem) {
            current_ = work_.next();
            taken_ = 0;
        }
        return current_->blocks[taken_++];
    }

    unsigned threads() const { return work_.threads(); }

private:
    // Blocks handed to a thread at a time: fewer hand-overs, little more
    // thrown away at the end.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    static constexpr int blocksPerItem = 1;  // a fuzzer's runs stop at their first point
#else
    static constexpr int blocksPerItem = 4;
#endif
    struct Trials {
        ProducedBlock blocks[blocksPerItem];
        LaneRandom lanes;  // where the first block's trials start
    };
    LaneRandom lanes_;  // start of the next item
    long long blocks_ = 0;
    OrderedWork<Trials> work_;
    Trials* current_ = nullptr;
    int taken_ = 0;
};

}  // namespace vantrel
