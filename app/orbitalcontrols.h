// The current orbital as the main window sets it: refreshing it from the
// controls, the species, the region and the nodal test.
#pragma once

#include <string>

namespace vantrel {

struct MainWindowState;
struct OrbitalState;
struct Session;

// The files of an orbital in the main directory's cache.
struct OrbitalFileNames {
    std::string base;  // "3_2_-1_xy_(z_3)_quick": the page's and the point file's name
    std::string csv;   // point data
    std::string xyz;   // the XYZ file, lower case, with the colour suffix
};
OrbitalFileNames fileNamesFor(const OrbitalState& orbital, const std::string& mainDir);

void updateOrbital(Session& s, bool full);
void setNucleus(Session& s, int z);
void setOrbital(Session& s, int z, int n, int l, int m, bool autoscale);
// A level picked in the spectrum becomes hydrogen's level n, l and m kept;
// dropped while a run or a sequence is writing the current orbital's files.
void pickHydrogenLevel(Session& s, int n);
void autoscale(Session& s);
// The region option's axis multipliers (1 keeps a coordinate, 0 zeroes it).
void setOptions(const MainWindowState& window, int& x, int& y, int& z, bool& restricted);
bool isNodal(Session& s);

// The species menu handler: 0..3 the named species, 4 "&Other" (asks),
// negative values -Z from code.
void speciesMenu(Session& s, int index);

}  // namespace vantrel
