// Where a sampling run puts its accepted points: the point file, the radial
// histogram, a live view. Each sink sees every point in trial order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/cloudpoint.h"
#include "engine/radialhistogram.h"
#include "engine/samplekernel.h"

namespace vantrel {

class PointSink {
public:
    virtual ~PointSink() = default;
    // r is the point's distance from the nucleus as the run computed it.
    // False when the point could not be kept: the run ends at it, uncounted.
    virtual bool accept(const CloudPoint& point, double r) = 0;

    // Work on a block's accepted points that can be done ahead, on the
    // thread that evaluated the block (the point file makes its lines
    // there): bytes appended to text, those of accepted point j ending at
    // ends[j]. The run then hands each point with its bytes to
    // acceptPrepared, in trial order. One sink of a run may prepare.
    virtual bool prepares() const { return false; }
    virtual void prepare(const SampleBlock&, std::string&, std::uint32_t*) const {}
    virtual bool acceptPrepared(const CloudPoint& point, double r, std::string_view) { return accept(point, r); }
};

// Counts the points into a radial histogram with k bins per Angstrom.
class RadialSink : public PointSink {
public:
    RadialSink(RadialHistogram& histogram, int k) : histogram_(histogram), k_(k) {}
    bool accept(const CloudPoint&, double r) override {
        histogram_.add(radialBin(r, k_));  // sampled points lie inside the histogram
        return true;
    }

private:
    RadialHistogram& histogram_;
    int k_;
};

}  // namespace vantrel
