#include "engine/sampleproducer.h"

namespace vantrel {

SampleProducer::SampleProducer(const SampleKernel& kernel, const LaneRandom& lanes, double maxPsi2, unsigned threads,
                               BlockWork work)
    : lanes_(lanes),
      work_(
          threads,
          [this](Trials& t) {
              // the words are drawn in trial order: each block starts where the last one ends
              t.lanes = lanes_;
              t.block.firstTrial = blocks_++ * sampleBlockSize;
              lanes_.skipBlock();
              return true;
          },
          [&kernel, maxPsi2, work = std::move(work)](Trials& t) {
              LaneRandom lanes = t.lanes;
              kernel.run(lanes, maxPsi2, t.block.firstTrial == 0, t.block.points);
              if (work) work(t.block);
          }) {}

}  // namespace vantrel
