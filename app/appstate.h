// The values every window shares: the current orbital and its options, the
// run, the radial histogram. The Session (app/session.h) holds one of each.
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
    // A sequence file changes the controls many times per orbital; each
    // change asks for the theory curve again.
    RadialTheoryCache theoryCurves;
};

struct Session;

// Reseeds the session's generator from VANTREL_SEED or the clock.
void seedRandom(Session& s);
// Fills the session's coefficient tables from its orbital.
void setCoefficients(Session& s);

// Half the side of the cube that holds most of the orbital.
int defaultExtent(const OrbitalState& orbital);
// The radial plot's bins per Angstrom, histogram size and empty histogram
// for the orbital's extent and axis.
int plotBinsPerAngstrom(const OrbitalState& orbital);
int radialSize(const OrbitalState& orbital);
RadialHistogram emptyHistogram(const OrbitalState& orbital);
// The session's histogram, emptied and sized for the current extent.
void resetRadialHits(Session& s);
// The theory curve for the whole cube, or for a plane when restricted,
// leaving the session's own as it is.
const RadialTheory& theoryCurve(Session& s, bool restricted);
// Fills the session's theory curve for the whole cube, or for a plane when
// restricted; returns the peak probability density.
double calcTheory(Session& s, bool restricted);

}  // namespace vantrel
