// The radial histogram of sampled points and the theoretical radial
// probability it is compared with (bins of 1/k Angstrom).
#pragma once

#include <array>
#include <vector>

namespace vantrel {

// Hits per radial bin of 1/perAngstrom Angstrom, bins 0..size.
struct RadialHistogram {
    std::vector<double> hits;
    int perAngstrom = 1;
    int maxHits = 0;  // the fullest bin's hits
    int maxBin = 0;   // the highest bin with a hit

    RadialHistogram() = default;
    RadialHistogram(int size, int perAngstrom)
        : hits(static_cast<std::size_t>(size) + 1, 0.0), perAngstrom(perAngstrom) {}
    // Counts one hit; false (nothing counted) for a bin beyond the histogram.
    bool add(int bin);
    // Counts a point at distance r from the nucleus.
    bool addRadius(double r);
};

// Bins per Angstrom of the radial plot for an axis of axisMax Angstroms.
int binsPerAngstrom(int axisMax);

// Highest radial bin any point can fall in.
inline constexpr int maxRadialBin = 32000;
// Highest bin index of a histogram for this extent and k bins per Angstrom
// (bins 0..size): round(sqrt(3) * extent * k), at most maxRadialBin, 0 for
// an extent that is not positive.
int histogramSize(double extent, int k);
// The same for the plot's extent and axis (one bin more per Angstrom, so
// that the cube's corners fit).
int radialSize(double extent, int axisMax);
// Bin of distance r: round(r * k), ties to even, at most maxRadialBin; -1
// for a distance that is not a number.
int radialBin(double r, int k);
// An empty histogram for this extent and axis.
RadialHistogram emptyHistogram(double extent, int axisMax);

// The theoretical radial probability per bin, with the sign of R there.
struct RadialTheory {
    std::vector<double> radialTheory;
    std::vector<int> radialSign;
    double theorySum = 0;
    double theoryMax = 0;  // the largest bin's probability
    double rTheory = 1;    // and its distance
    // The peak probability density.
    double peakDensity() const { return theoryMax / rTheory / rTheory; }
};
struct Orbital;
// The theory curve out to bin `size` for the whole cube, or for a plane
// when restricted.
RadialTheory radialTheory(const Orbital& orbital, int binsPerAngstrom, int size, bool restricted);

// The last few theory curves asked for: every change of a control redraws
// the curve, mostly for the same orbital, and each costs a thousand
// evaluations or more. The result is radialTheory's, bit for bit.
class RadialTheoryCache {
public:
    const RadialTheory& get(const Orbital& orbital, int binsPerAngstrom, int size, bool restricted);

private:
    struct Entry {
        int z = 0, n = 0, l = 0, m = 0, k = 0, size = -1;
        bool restricted = false;
        unsigned long long used = 0;  // 0: empty
        RadialTheory theory;
    };
    std::array<Entry, 4> entries_;
    unsigned long long clock_ = 0;
};

}  // namespace vantrel
