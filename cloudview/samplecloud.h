// A cloud drawn straight from the wave function, for previews, pictures
// and benchmarks of the 3-D view when no run has written one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/cloudpoint.h"
#include "engine/wavefunction.h"

namespace vantrel {

struct SampledCloud {
    std::vector<CloudPoint> points;
    double maxPsi2 = 0;  // the ceiling the points were accepted under
};

// Up to `count` points accepted with probability psi^2 / ceiling in the cube
// of half side `extent`; fewer when the orbital is nearly zero there.
SampledCloud sampleCloud(const Orbital& orbital, double extent, std::size_t count, std::uint64_t seed);

}  // namespace vantrel
