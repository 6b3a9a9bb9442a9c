// Work on every core, results in the order of the input.
//
// The caller's thread fills items one after another (drawing random words,
// reading a file); helper threads and the caller itself work on them, and
// next() hands them back in the order they were filled, however many
// threads there are and whichever finished first. Items filled ahead of
// the one the caller stops at are simply dropped with the object.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vantrel {

// One a core, or the count asked for. A fuzzer runs one small input at a
// time: starting helpers would cost it more than the input.
inline unsigned threadCount(unsigned asked) {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    return asked ? asked : 1;
#else
    return asked ? asked : std::max(1u, std::thread::hardware_concurrency());
#endif
}

template <class Item>
class OrderedWork {
public:
    // Fills the next item on the caller's thread; false when the input is
    // over (the item is then not used).
    using Fill = std::function<bool(Item&)>;
    // Works on one item; runs on several threads at once, each item on one.
    using Work = std::function<void(Item&)>;

    // threads: how many work, the caller's included (0: one a core);
    // perThread: items under way for each.
    OrderedWork(unsigned threads, Fill fill, Work work, int perThread = 8)
        : fill_(std::move(fill)), work_(std::move(work)) {
        threads = threadCount(threads);
        depth_ = threads == 1 ? 1 : static_cast<long long>(perThread) * threads;
        for (long long i = 0; i < depth_; ++i) slots_.emplace_back(new Slot);  // contents left to fill
        issue();
        // A helper that cannot be started leaves its share to the others.
        for (unsigned t = 1; t < threads; ++t) {
            try {
                helpers_.emplace_back(&OrderedWork::help, this);
            } catch (const std::system_error&) {
                break;
            }
        }
    }

    ~OrderedWork() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        workReady_.notify_all();
        for (std::thread& h : helpers_) h.join();
    }
    OrderedWork(const OrderedWork&) = delete;
    OrderedWork& operator=(const OrderedWork&) = delete;

    // The next item in input order, worked on; nullptr after the last. It
    // stays valid until the next call. While it is not ready the caller
    // works on the oldest item nobody has taken.
    Item* next() {
        issue();
        std::unique_lock<std::mutex> lock(mutex_);
        if (handed_ == issued_) return nullptr;
        Slot& target = slotOf(handed_);
        while (!target.done) {
            if (claimed_ < issued_) {
                Slot& slot = slotOf(claimed_++);
                lock.unlock();
                work_(slot.item);
                lock.lock();
                slot.done = true;
            } else {
                callerWaits_ = true;
                itemDone_.wait(lock);
                callerWaits_ = false;
            }
        }
        ++handed_;
        return &target.item;
    }

    unsigned threads() const { return static_cast<unsigned>(helpers_.size()) + 1; }

private:
    struct Slot {
        Item item;
        bool done = false;
    };
    Slot& slotOf(long long i) { return *slots_[static_cast<std::size_t>(i % depth_)]; }

    // Fills the free slots in input order. Only the caller's thread fills,
    // once it is done with every item handed out; slots beyond issued_ are
    // its own until issued_ moves past them.
    void issue() {
        long long from, upTo;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            from = issued_;
            upTo = handed_ + depth_;
        }
        if (ended_ || from >= upTo) return;
        long long filled = from;
        for (; filled < upTo; ++filled) {
            Slot& slot = slotOf(filled);
            if (!fill_(slot.item)) {
                ended_ = true;
                break;
            }
            slot.done = false;
        }
        bool wake;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            issued_ = filled;
            wake = idleHelpers_ > 0;
        }
        if (wake) workReady_.notify_all();
    }

    void help() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            ++idleHelpers_;
            workReady_.wait(lock, [this] { return stopping_ || claimed_ < issued_; });
            --idleHelpers_;
            if (stopping_) return;
            Slot& slot = slotOf(claimed_++);
            lock.unlock();
            work_(slot.item);
            lock.lock();
            slot.done = true;
            if (callerWaits_) itemDone_.notify_one();
        }
    }

    const Fill fill_;
    const Work work_;
    long long depth_;  // items under way at most
    std::vector<std::unique_ptr<Slot>> slots_;
    bool ended_ = false;  // the input is over (caller's thread only)

    std::mutex mutex_;
    std::condition_variable workReady_;  // for the helpers
    std::condition_variable itemDone_;   // for the caller
    long long issued_ = 0;   // items filled
    long long claimed_ = 0;  // items some thread took on
    long long handed_ = 0;   // items returned by next()
    bool stopping_ = false;
    int idleHelpers_ = 0;      // helpers waiting for work
    bool callerWaits_ = false;  // the caller waits for an item
    std::vector<std::thread> helpers_;
};

}  // namespace vantrel
