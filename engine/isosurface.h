// The surfaces that enclose a chosen share of the probability: the level c
// for which the region |psi| >= c holds that share of the grid's psi^2,
// and the closed surfaces psi = +c and psi = -c.
#pragma once

#include <string>

#include "engine/mesh.h"
#include "engine/psigrid.h"

namespace vantrel {

inline constexpr double minEnclosed = 0.10;
inline constexpr double maxEnclosed = 0.99;
inline constexpr double defaultEnclosed = 0.90;

struct EnclosedLevel {
    double level = 0;     // c
    double enclosed = 0;  // share of the grid's psi^2 where |psi| >= c: the one asked for, or just above
    std::string problem;  // "" when found
};

// The largest c whose region |psi| >= c holds at least `fraction` of the sum
// of psi^2 over the grid points (each point standing for its cell).
EnclosedLevel enclosedLevel(const PsiGrid& grid, double fraction);

// The two surfaces of one level, each closed: where a region reaches the
// grid's edge, psi is taken as 0 one step beyond it, so the surface caps
// itself within one grid step outside the cube.
struct SignSurfaces {
    Mesh positive;  // psi = +level, around psi >= level
    Mesh negative;  // psi = -level, around psi <= -level
};

// Marching tetrahedra (six to a grid cell, alike in every cell, so that
// neighbouring cells agree on their shared faces); one vertex for each
// grid edge the surface crosses, normals from the gradient of psi.
// level must be above 0; an empty grid gives empty meshes, and so does a
// lack of memory.
SignSurfaces isosurfaces(const PsiGrid& grid, double level);

struct EnclosingSurfaces {
    EnclosedLevel level;
    SignSurfaces surfaces;
    std::string problem;  // "" when both are made (one may be empty: 1s has no negative part)
};
// The level for `fraction` and its surfaces.
EnclosingSurfaces enclosingSurfaces(const PsiGrid& grid, double fraction);

}  // namespace vantrel
