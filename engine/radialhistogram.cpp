#include "engine/radialhistogram.h"

#include <algorithm>
#include <cmath>

#include "engine/textutil.h"
#include "engine/wavefunction.h"

namespace vantrel {

int binsPerAngstrom(int axisMax) {
    // An axis shorter than one Angstrom cannot come from the window; take
    // the finest bins rather than divide by zero.
    const long long k = axisMax < 1 ? 500 : std::max(1LL, roundEven(500.0 / axisMax));
    return static_cast<int>(k);
}

int histogramSize(double extent, int k) {
    const double bins = std::sqrt(3.0) * extent * k;
    if (!(bins > 0)) return 0;  // also NaN
    if (bins >= maxRadialBin) return maxRadialBin;
    return static_cast<int>(roundEven(bins));
}

int radialSize(double extent, int axisMax) { return histogramSize(extent, binsPerAngstrom(axisMax) + 1); }

int radialBin(double r, int k) {
    const double b = r * k;
    if (!(b >= 0)) return -1;  // NaN or a negative distance
    if (b >= maxRadialBin) return maxRadialBin;
    return static_cast<int>(roundEven(b));
}

bool RadialHistogram::add(int bin) {
    if (bin < 0 || static_cast<std::size_t>(bin) >= hits.size()) return false;
    const double h = ++hits[bin];
    if (h > maxHits) maxHits = static_cast<int>(h);
    if (bin > maxBin) maxBin = bin;
    return true;
}

bool RadialHistogram::addRadius(double r) { return add(radialBin(r, perAngstrom)); }

RadialHistogram emptyHistogram(double extent, int axisMax) {
    return RadialHistogram(radialSize(extent, axisMax), binsPerAngstrom(axisMax));
}

RadialTheory radialTheory(const Orbital& orbital, int k, int size, bool restricted) {
    RadialTheory rad;
    rad.radialSign.assign(static_cast<std::size_t>(size) + 1, 0);
    rad.radialTheory.assign(static_cast<std::size_t>(size) + 1, 0.0);
    for (int i = 1; i <= size; ++i) {
        double r = 0, r2 = 0, radial = radialOnly;
        orbital.evaluate(i / static_cast<double>(k), 0, 0, r, r2, radial);
        const double R = radial;
        rad.radialSign[i] = R > 0 ? 1 : (R < 0 ? -1 : 0);
        // A plane's circle grows with r, a sphere's shell with r squared.
        const double p = restricted ? R * R * r : R * R * r2;
        rad.radialTheory[i] = p;
        rad.theorySum += p;
        if (p > rad.theoryMax) {
            rad.theoryMax = p;
            rad.rTheory = r;
        }
    }
    return rad;
}

const RadialTheory& RadialTheoryCache::get(const Orbital& o, int k, int size, bool restricted) {
    Entry* oldest = &entries_[0];
    for (Entry& e : entries_) {
        if (e.used && e.z == o.z && e.n == o.n && e.l == o.l && e.m == o.m && e.k == k && e.size == size &&
            e.restricted == restricted) {
            e.used = ++clock_;
            return e.theory;
        }
        if (e.used < oldest->used) oldest = &e;
    }
    *oldest = {o.z, o.n, o.l, o.m, k, size, restricted, ++clock_, radialTheory(o, k, size, restricted)};
    return oldest->theory;
}

}  // namespace vantrel
