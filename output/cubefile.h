// psi as a Gaussian cube file, the grid format that molecule viewers
// (Avogadro, Jmol, VMD, ParaView) open: atomic units throughout.
#pragma once

#include <string>

#include "engine/psigrid.h"
#include "engine/wavefunction.h"

namespace vantrel {

// What turns the program's psi into psi in bohr^-3/2 with the integral of
// psi^2 over all space 1. The program's psi is in Angstrom^-3/2 and its
// azimuthal factor lacks 1/sqrt(2 pi): the integral of its square is the
// integral of that factor squared over a turn, 2 pi for m = 0 and
// pi * sqrt2Value^2 otherwise. So the factor is bohr^(3/2) / sqrt(that).
double cubeFileFactor(const Orbital& orbital);

// Writes the grid in the layout these viewers read: two comment lines; the
// atom count and the origin; for each axis its point count and step (a
// positive count: bohr); the nucleus (Z, charge Z) at the origin; then the
// values, six a line in %13.5E, a new line after each run along z (the
// innermost loop), x outermost. Lines end in LF. Returns "" or the problem;
// the target is replaced only when the file is whole.
std::string writeCubeFile(const std::string& path, const PsiGrid& grid, const Orbital& orbital);

}  // namespace vantrel
