// The current orbital: refreshing it from the window state, validity, the
// default extent, file names, the species, the region and nodal test.
#pragma once

#include <string>

namespace vantrel {

// Quantum numbers that can be set up: l < n, |m| <= l, and n + l within
// the factorial table.
bool validnumbers(int n, int l, int m);

void updateorbital(bool full);
int defaultextent();
void setnucleus(int z);
void setorbital(int z, int n, int l, int m, bool autoscale);
void autoscale();
void setoptions(int& x, int& y, int& z, bool& restricted);
bool isnodal();

// The species menu handler (mnuH click): 0..3 the named species, 4 "&Other"
// (asks), negative values -Z from code.
void speciesmenu(int index);

// File names for the current state (step 10 of the refresh), exposed for tests.
void formfilenames();

}  // namespace vantrel
