// The radial histogram of sampled points and the theoretical radial
// probability it is compared with (bins of 1/k Angstrom).
#pragma once

namespace vantrel {

int binsPerAngstrom(int a);

// Highest radial bin any point can fall in.
inline constexpr int maxRadialBin = 32000;
// Highest bin index of a histogram for this extent and k bins per Angstrom
// (bins 0..size): round(sqrt(3) * extent * k), at most maxRadialBin, 0 for
// an extent that is not positive.
int histogramSize(double extent, int k);
// The same for the current extent with binsPerAngstrom(1).
int radialSize();
// Bin of distance r: round(r * k), ties to even, at most maxRadialBin; -1
// for a distance that is not a number.
int radialBin(double r, int k);
// Counts one hit in radialHits(bin) and keeps maxHits and maxBin; false
// (nothing counted) when the bin lies beyond the histogram.
bool addRadialHit(int bin);
void resetRadialHits();
// Fills the theory curve for the whole cube, or for a plane when
// restricted; returns the peak probability density.
double calcTheory(bool restricted);

}  // namespace vantrel
