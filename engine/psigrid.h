// psi of one orbital on a cubic grid over its sampling cube, the ground for
// the enclosed-probability surfaces and the cube file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/wavefunction.h"

namespace vantrel {

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr int defaultGridPoints = 6;  // a fuzzer's input needs a grid, not a fine one
#else
inline constexpr int defaultGridPoints = 96;
#endif
inline constexpr int minGridPoints = 2;
inline constexpr int maxGridPoints = 256;

// points^3 values of psi at x, y, z = coordinate(i), coordinate(j),
// coordinate(k), stored with k (z) running fastest. Floats: 256^3 values
// take 64 MiB, and every use needs far fewer digits than a float has.
struct PsiGrid {
    int points = 0;      // a side
    double extent = 0;   // the grid spans [-extent, extent]^3, Angstroms
    std::vector<float> psi;

    double spacing() const { return points > 1 ? 2 * extent / (points - 1) : 0; }
    // Exactly 0 in the middle of an odd grid and exactly mirrored, so that a
    // nodal plane through the nucleus keeps its zeros; defined one step
    // beyond either end too.
    double coordinate(int i) const { return extent * (2 * i - (points - 1)) / (points - 1); }
    std::size_t index(int i, int j, int k) const {
        return (static_cast<std::size_t>(i) * points + j) * points + k;
    }
    // psi at a grid point, 0 outside the grid.
    float at(int i, int j, int k) const {
        if (i < 0 || j < 0 || k < 0 || i >= points || j >= points || k >= points) return 0.0f;
        return psi[index(i, j, k)];
    }
};

struct PsiGridOutcome {
    PsiGrid grid;
    std::string problem;  // "" when the grid was filled
};

// "" when a grid of these numbers can be made, else why not.
std::string psiGridProblem(double extent, int points);

// psi at every grid point, rows shared out over `threads` threads (0: one
// a core). The values are the same whatever the number of threads.
PsiGridOutcome evaluatePsiGrid(const Orbital& orbital, double extent, int points = defaultGridPoints,
                               unsigned threads = 0);

}  // namespace vantrel
