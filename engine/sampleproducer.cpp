#include "engine/sampleproducer.h"

namespace vantrel {

SampleProducer::SampleProducer(const SampleKernel& kernel, const LaneRandom& lanes, double maxPsi2, unsigned threads,
                               BlockWork work)
    : lanes_(lanes),
      work_(
          threads,
          [this](Trials& t) {
              // the words are drawn in trial order: each item starts where the last one ends
              t.lanes = lanes_;
              for (ProducedBlock& b : t.blocks) {
                  b.firstTrial = blocks_++ * sampleBlockSize;
                  lanes_.skipBlock();
              }
              return true;
          },
          [&kernel, maxPsi2, work = std::move(work)](Trials& t) {
              LaneRandom lanes = t.lanes;
              for (ProducedBlock& b : t.blocks) {
                  kernel.run(lanes, maxPsi2, b.firstTrial == 0, b.points);
                  if (work) work(b);
              }
          },
          4) {}

}  // namespace vantrel
