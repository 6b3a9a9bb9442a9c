// Energies of hydrogen-like levels and the energy report.
#pragma once

#include <string>

namespace vantrel {

inline constexpr double energyUnit = -2.1798736e-18;  // joules, times Z^2 / n^2

double orbitalEnergy(int z, int n);
std::string formatEnergy(double value, int decimals, bool joules);

enum class EnergyForm {
    PageTable,   // the page's HTML table of kinetic, potential and total energy
    BothUnits,   // " E = ... attoJoule = ... Joule"
    RawJoules,   // " E = <full value> Joule" (always joules)
    Message,     // the plain text of the energy message box
};
enum class EnergyUnit { Attojoules, Joules };
struct OrbitalState;
// The energies of an orbital's level.
std::string calcEnergy(const OrbitalState& orbital, EnergyForm form, EnergyUnit unit);

}  // namespace vantrel
