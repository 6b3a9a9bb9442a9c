// The current orbital as the main window sets it: refreshing it from the
// controls, the species, the region and the nodal test.
#pragma once

namespace vantrel {

void updateOrbital(bool full);
void setNucleus(int z);
void setOrbital(int z, int n, int l, int m, bool autoscale);
void autoscale();
// The region option's axis multipliers (1 keeps a coordinate, 0 zeroes it).
void setOptions(int& x, int& y, int& z, bool& restricted);
bool isNodal();

// The species menu handler: 0..3 the named species, 4 "&Other" (asks),
// negative values -Z from code.
void speciesMenu(int index);

}  // namespace vantrel
