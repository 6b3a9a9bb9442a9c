// Diagnostic table of the radial overlaps.
#pragma once

#include <string>

namespace vantrel {

// Writes the table of all overlaps of charge z for n up to 20 to int.csv
// in the temporary directory; "" or what went wrong.
std::string getAllIntensities(int z, int binsPerAngstrom);

}  // namespace vantrel
