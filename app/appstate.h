// State shared by every window: the current orbital, the run, the radial
// histogram, the paths. One instance for the whole program.
#pragma once

#include <string>

#include "engine/orbital.h"
#include "engine/radialhistogram.h"
#include "engine/random.h"
#include "engine/samplerun.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"

namespace vantrel {

struct OrbitalState {
    int currentZ = 1;
    std::string speciesName = "the H Atom (Z=1)";
    int currentN = 1;
    int currentL = 0;
    int currentM = 0;
    double extent = 2;        // half the side of the sampling cube, Angstroms
    int axisMax = 10;         // axis length in Angstroms (and tick count)
    int maxPoints = 10000;    // quota of accepted points, at least 625
    std::string planeName;    // "", "xy", "yz" or "xz"
    bool quickMode = false;
    std::string colorSuffix;  // "_n" when coloured by nodes
    double dotSize = 2;
    std::string baseName;
    std::string csvFile;
    std::string xyzFile;

    OrbitalNumbers numbers() const { return {currentZ, currentN, currentL, currentM}; }
};

// Why a run could not write its point file completely (text "" when it
// could), and how many points the file keeps.
struct RunProblem {
    std::string text;
    int pointsKept = 0;
};

struct RunState {
    int nPoints = 0;
    double maxPsi2 = 0;
    bool continueRun = false;
    bool running = false;  // a run is going
    StopFlag stopRequested;
    bool runDone = false;
    long long trials = 0;  // trials made by the last run
    RunProblem problem;    // of the last run
    std::string loadedFile;  // point file whose contents match the histogram
};

struct RadialState : RadialTheory {
    RadialHistogram histogram;
    double medianRadius = 0;
};

struct Globals {
    OrbitalState orbital;
    RunState run;
    RadialState radial;
    std::string mainDir;
};

Globals& globals();
// Back to the start-up values (tests).
void resetGlobals();

// The generator every run of the window draws from.
Random& rng();
// Reseeds it from VANTREL_SEED or the clock.
void seedRandom();

// The current orbital's coefficient tables, and filling them from
// globals().orbital.
Orbital& currentOrbital();
void setCoefficients();

// Half the side of the cube that holds most of the current orbital.
int defaultExtent();
// The radial plot's bins per Angstrom, histogram size and empty histogram
// for the current extent and axis.
int plotBinsPerAngstrom();
int radialSize();
RadialHistogram emptyHistogram();
// The shared histogram, emptied and sized for the current extent.
void resetRadialHits();
// Fills the shared theory curve for the whole cube, or for a plane when
// restricted; returns the peak probability density.
double calcTheory(bool restricted);

}  // namespace vantrel
