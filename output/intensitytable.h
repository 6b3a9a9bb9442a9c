// Diagnostic table of the radial overlaps.
#pragma once

#include <string>

namespace vantrel {

// Writes the table of all overlaps for n up to 20 to int.csv in the
// temporary directory; "" or what went wrong.
std::string getAllIntensities();

}  // namespace vantrel
