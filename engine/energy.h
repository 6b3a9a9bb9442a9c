// Energies of hydrogen-like levels and the energy report.
#pragma once

#include <string>

#include "engine/orbital.h"

namespace vantrel {

inline constexpr double energyUnit = -2.1798736e-18;  // joules, times Z^2 / n^2

double orbitalEnergy(int z, int n);
std::string formatEnergy(double value, int decimals, bool joules);

enum class EnergyForm {
    PageTable,   // the page's HTML table of kinetic, potential and total energy
    BothUnits,   // " E = ... attoJoule = ... Joule"
    RawJoules,   // " E = <full value> Joule" (always joules)
};
enum class EnergyUnit { Attojoules, Joules };
// The energies of an orbital's level.
std::string calcEnergy(const OrbitalNumbers& orbital, EnergyForm form, EnergyUnit unit);
// The plain text of the energy message box; the species names the atom or ion.
std::string energyMessage(const OrbitalNumbers& orbital, const std::string& species, EnergyUnit unit);

}  // namespace vantrel
