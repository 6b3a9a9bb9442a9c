// Energies of hydrogen-like levels and the energy report.
#pragma once

#include <string>

namespace vantrel {

inline constexpr double energyUnit = -2.1798736e-18;  // joules, times Z^2 / n^2

double orbitalEnergy(int z, int n);
std::string formatEnergy(double value, int decimals, bool joules);

// isHTML: -1 HTML table, 2 short comparison line, 1 raw one-line value,
// anything else plain text. isJoules: non-zero reports in joules.
std::string calcEnergy(int isHTML, int isJoules);

}  // namespace vantrel
