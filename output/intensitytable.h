// Diagnostic table of the radial overlaps.
#pragma once

#include <functional>
#include <string>

namespace vantrel {

// Writes the table of all overlaps of charge z for n up to 20 to int.csv
// in the temporary directory; "" or what went wrong. keepResponsive runs
// after every overlap.
std::string getAllIntensities(int z, int binsPerAngstrom, const std::function<void()>& keepResponsive = {});

}  // namespace vantrel
