// The current orbital: refreshing it from the window state, validity, the
// default extent, file names, the species, the region and nodal test.
#pragma once

#include <string>

namespace vantrel {

// Quantum numbers that can be set up: l < n, |m| <= l, and n + l within
// the factorial table.
bool validNumbers(int n, int l, int m);

void updateOrbital(bool full);
int defaultExtent();
void setNucleus(int z);
void setOrbital(int z, int n, int l, int m, bool autoscale);
void autoscale();
void setOptions(int& x, int& y, int& z, bool& restricted);
bool isNodal();

// The species menu handler (speciesMenuItems click): 0..3 the named species, 4 "&Other"
// (asks), negative values -Z from code.
void speciesMenu(int index);

// File names for the current state (step 10 of the refresh), exposed for tests.
void formFileNames();

}  // namespace vantrel
