#include "cloudview/samplecloud.h"

#include <algorithm>
#include <memory>

#include "engine/random.h"
#include "engine/samplekernel.h"

namespace vantrel {

SampledCloud sampleCloud(const Orbital& orbital, double extent, std::size_t count, std::uint64_t seed) {
    SampledCloud cloud;
    Random random(seed);
    // The ceiling: the largest psi^2 seen at random points, with a margin.
    for (int i = 0; i < 20000; ++i) {
        double r = 0, r2 = 0, radial = 0;
        const double psi = orbital.evaluate(2 * extent * (random.uniform() - 0.5), 2 * extent * (random.uniform() - 0.5),
                                            2 * extent * (random.uniform() - 0.5), r, r2, radial);
        cloud.maxPsi2 = std::max(cloud.maxPsi2, 1.2 * psi * psi);
    }
    if (!(cloud.maxPsi2 > 0)) return cloud;
    const int keepAll[3] = {1, 1, 1};
    SampleKernel kernel(orbital, extent, keepAll, false);
    kernel.seed(random);
    auto block = std::make_unique<SampleBlock>();
    cloud.points.reserve(count);
    // Give up after a million blocks: an orbital that leaves the cube empty.
    for (int blocks = 0; cloud.points.size() < count && blocks < 1000000; ++blocks) {
        kernel.run(cloud.maxPsi2, false, *block);
        for (int j = 0; j < block->nAccepted && cloud.points.size() < count; ++j)
            cloud.points.push_back({block->x[j], block->y[j], block->z[j], block->psi[j]});
    }
    return cloud;
}

}  // namespace vantrel
