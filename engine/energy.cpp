#include "engine/energy.h"
// STUB: to be written
namespace vantrel {
double orbitalenergy(int, int) { return 0; }
std::string formatenergy(double, int, bool) { return ""; }
std::string calcEnergy(int, int) { return ""; }
}
