#include "engine/sampleproducer.h"

#include <algorithm>
#include <system_error>

namespace vantrel {

namespace {

// Blocks under way per thread: enough that a thread rarely waits for the
// caller to hand out more, few enough that little is thrown away at the end.
constexpr long long blocksPerThread = 8;

}  // namespace

SampleProducer::SampleProducer(const SampleKernel& kernel, const LaneRandom& lanes, double maxPsi2, unsigned threads,
                               BlockWork work)
    : kernel_(kernel), maxPsi2_(maxPsi2), blockWork_(std::move(work)), lanes_(lanes) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads_ = threads;
    depth_ = threads == 1 ? 1 : blocksPerThread * threads;
    for (long long i = 0; i < depth_; ++i) slots_.push_back(std::make_unique<Slot>());
    issue();
    // A helper that cannot be started leaves its share to the others.
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers_.emplace_back(&SampleProducer::work, this);
        } catch (const std::system_error&) {
            break;
        }
    }
    threads_ = static_cast<unsigned>(helpers_.size()) + 1;
}

SampleProducer::~SampleProducer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    workReady_.notify_all();
    for (std::thread& h : helpers_) h.join();
}

// Gives the free slots the next blocks' lanes, in trial order. Only the
// caller's thread issues, when it is done with every block handed out so
// far; the slots beyond issued_ are its own until then.
void SampleProducer::issue() {
    long long from, upTo;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        from = issued_;
        upTo = handed_ + depth_;
    }
    if (from >= upTo) return;
    for (long long b = from; b < upTo; ++b) {
        Slot& slot = slotOf(b);
        slot.lanes = lanes_;
        slot.block.firstTrial = b * sampleBlockSize;
        slot.done = false;
        lanes_.skipBlock();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        issued_ = upTo;
    }
    workReady_.notify_all();
}

void SampleProducer::evaluate(Slot& slot) const {
    LaneRandom lanes = slot.lanes;
    kernel_.run(lanes, maxPsi2_, true, slot.block.points);
    if (blockWork_) blockWork_(slot.block);
}

void SampleProducer::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        workReady_.wait(lock, [this] { return stopping_ || claimed_ < issued_; });
        if (stopping_) return;
        Slot& slot = slotOf(claimed_++);
        lock.unlock();
        evaluate(slot);
        lock.lock();
        slot.done = true;
        blockDone_.notify_one();
    }
}

const ProducedBlock& SampleProducer::next() {
    issue();
    std::unique_lock<std::mutex> lock(mutex_);
    const long long wanted = handed_;
    Slot& target = slotOf(wanted);
    while (!target.done) {
        if (claimed_ < issued_) {
            // Rather than wait, evaluate the oldest block nobody has taken.
            Slot& slot = slotOf(claimed_++);
            lock.unlock();
            evaluate(slot);
            lock.lock();
            slot.done = true;
        } else {
            blockDone_.wait(lock);
        }
    }
    ++handed_;
    return target.block;
}

}  // namespace vantrel
