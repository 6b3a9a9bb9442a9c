// The two surfaces of an orbital as files for other programs: binary glTF
// for the web and AR, binary STL for printing, PLY and OBJ for modelling.
// Coordinates are the orbital's own x, y, z. Each writer returns "" or the
// problem and replaces its target only with a whole file.
#pragma once

#include <string>

#include "engine/isosurface.h"

namespace vantrel {

// Binary glTF: one node with the two surfaces as primitives of one mesh,
// positions in Angstroms (glTF calls its unit a metre: 1 Angstrom = 1 unit),
// normals, 32-bit indices, and materials in the sign colours. Its node is
// turned a quarter turn about x so that the orbital's z axis is up where
// glTF viewers take y to be up; the vertex data stay as they are.
std::string writeGlb(const std::string& path, const SignSurfaces& surfaces);

// STL is read by slicers in millimetres: at 10 mm an Angstrom a 3d orbital
// prints a few centimetres across and orbitals keep their sizes to each other.
inline constexpr double stlMillimetresPerAngstrom = 10;

// Binary STL, both surfaces as one closed solid (they never touch), facet
// normals pointing out, coordinates in millimetres = Angstroms times
// `millimetresPerAngstrom`. The 80-byte header says the scale.
std::string writeStl(const std::string& path, const SignSurfaces& surfaces,
                     double millimetresPerAngstrom = stlMillimetresPerAngstrom);

// Binary little-endian PLY: position, normal and the sign colour of every
// vertex, triangles as lists of three indices. Angstroms.
std::string writePly(const std::string& path, const SignSurfaces& surfaces);

// Wavefront OBJ (objects "positive" and "negative", v, vn, f v//vn) and its
// material library beside it, the same name ending in .mtl, with the two
// sign colours. Angstroms. The material file is written first.
std::string writeObj(const std::string& path, const SignSurfaces& surfaces);

}  // namespace vantrel
