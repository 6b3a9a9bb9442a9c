// State shared by every window: the current orbital, the run, the radial
// histogram, the paths. One instance for the whole program.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/radialhistogram.h"
#include "engine/samplerun.h"

namespace vantrel {

inline const std::string crlf = "\r\n";

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

struct RadialState {
    RadialHistogram histogram;
    std::vector<double> radialTheory;
    std::vector<int> radialSign;
    double theorySum = 0;
    double theoryMax = 0;
    double rTheory = 1;
    double medianRadius = 0;
};

struct Globals {
    OrbitalState orbital;
    RunState run;
    RadialState radial;
    std::string mainDir;
    // Colour classes 1..15; entries 0 and 16 stay empty.
    std::array<std::string, 17> colorElements{};
};

Globals& globals();
// Back to the start-up values (tests).
void resetGlobals();

// Fills the colour classes and the factorial table (the engine's part of
// the start-up initialisation).
void initEngine();

}  // namespace vantrel
