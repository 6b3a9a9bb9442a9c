// Where a sampling run puts its accepted points: the point file, the radial
// histogram, a live view. Each sink sees every point in trial order.
#pragma once

#include <vector>

#include "engine/cloudpoint.h"
#include "engine/radialhistogram.h"

namespace vantrel {

class PointSink {
public:
    virtual ~PointSink() = default;
    // r is the point's distance from the nucleus as the run computed it.
    // False when the point could not be kept: the run ends at it, uncounted.
    virtual bool accept(const CloudPoint& point, double r) = 0;
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

// Keeps the points in memory (a view that draws them later, tests).
class CollectingSink : public PointSink {
public:
    bool accept(const CloudPoint& point, double) override {
        points.push_back(point);
        return true;
    }
    std::vector<CloudPoint> points;
};

}  // namespace vantrel
