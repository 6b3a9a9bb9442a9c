// State shared by every window: the current orbital, the run, the radial
// histogram, the paths. One instance for the whole program.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vantrel {

inline const std::string crlf = "\r\n";

struct OrbitalState {
    int currentz = 1;
    std::string speciesname = "the H Atom (Z=1)";
    int currentn = 1;
    int currentl = 0;
    int currentm = 0;
    double extent = 2;        // half the side of the sampling cube, Angstroms
    int axismax = 10;         // axis length in Angstroms (and tick count)
    int maxpoints = 10000;    // quota of accepted points, at least 625
    std::string planename;    // "", "xy", "yz" or "xz"
    bool quickmode = false;
    std::string colorsuffix;  // "_n" when coloured by nodes
    double dotsize = 2;
    std::string basename;
    std::string csvfile;
    std::string xyzfile;
};

struct RunState {
    int npoints = 0;
    double maxpsi2 = 0;
    bool continuerun = false;
    bool stoprequested = false;
    bool rundone = false;
    std::string loadedfile;  // point file whose contents match the histogram
};

struct RadialState {
    std::vector<double> radialhits;
    int maxhits = 0;
    int maxbin = 0;
    std::vector<double> radialtheory;
    std::vector<int> radialsign;
    double theorysum = 0;
    double theorymax = 0;
    double rtheory = 1;
    double medianradius = 0;
};

struct Globals {
    OrbitalState orbital;
    RunState run;
    RadialState radial;
    std::string maindir;
    bool levelsopen = false;
    bool spectrumopen = false;
    // Colour classes 1..15; entries 0 and 16 stay empty.
    std::array<std::string, 17> colorelements{};
};

Globals& globals();
// Back to the start-up values (tests).
void resetglobals();

// Fills the colour classes and the factorial table (the engine's part of
// the start-up initialisation).
void initengine();

}  // namespace vantrel
