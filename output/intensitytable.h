// Diagnostic table of the radial overlaps.
#pragma once

namespace vantrel {

// Writes the table of all overlaps for n up to 20 to int.csv in the
// temporary directory.
void getAllIntensities();

}  // namespace vantrel
