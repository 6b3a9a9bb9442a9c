// psi in a plane through the orbital as a picture: a diverging colour map,
// the sign colours at +-max|psi| in the plane and white at 0, so that nodal
// lines show as white. Text (axis names, the scale's numbers) is left to
// whoever draws the picture; this gives the numbers it needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/colorclasses.h"
#include "engine/wavefunction.h"

namespace vantrel {

// The plane and the axis across it: xy (normal z), yz (normal x), xz (normal y).
enum class SlicePlane { XY, YZ, XZ };

inline constexpr int maxSlicePixels = 2048;

struct SliceRequest {
    SlicePlane plane = SlicePlane::XY;
    double offset = 0;   // along the normal, Angstroms
    double extent = 1;   // the picture spans [-extent, extent] on both axes, Angstroms
    int pixels = 512;    // a side, 2 to maxSlicePixels
};

struct SliceImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // rows from the top, 4 bytes a pixel, opaque
    char across = 'x', up = 'y';     // the axes to the right and upwards
    double extent = 0;               // Angstroms from the middle to each edge
    double pixelsPerAngstrom = 0;
    double maxAbsPsi = 0;            // the colour scale's ends, in the program's psi (Angstrom^-3/2)
    double scaleBarAngstroms = 0;    // a round length (1, 2 or 5 times a power of 10) about a fifth of the width
    double scaleBarPixels = 0;
    std::string problem;             // "" when drawn
};

// The colour of psi / maxAbsPsi = t in [-1, 1]: white at 0, blended
// linearly towards the sign colour of t, reached at |t| = 1. For the
// colour scale beside the picture too.
Rgb sliceColour(double t);

// psi at the pixels' centres of the plane, in the orbital's own x, y, z.
SliceImage psiSlice(const Orbital& orbital, const SliceRequest& request);

}  // namespace vantrel
