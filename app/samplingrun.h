// The Monte Carlo sampling run that turns the orbital into a point file.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "engine/samplerun.h"

namespace vantrel {

struct Session;

void startCalculation(Session& s, bool batch);
// The orbital's point file can be continued (and loaded).
bool canContinue(const OrbitalState& orbital);
// savedFileWhole: a saved run to continue read whole when it was loaded.
void samplePoints(Session& s, bool savedFileWhole = true);

// calculateButton click: "&Calculate" starts a run, "Enough!" asks it to stop.
void calculateClick(Session& s);

struct SamplingHooks {
    // Runs after each accepted point is counted and queued for the file; a
    // stop requested from here ends the run at that very point.
    std::function<void()> onPoint;
    // How often a long run prints its progress (through report()).
    std::chrono::milliseconds progressEvery{2000};
    // Between blocks of trials: the run so far and the point count it aims at.
    std::function<void(const RunProgress&, long long target)> onProgress;
    // Threads that evaluate trials, the run's own included (0: one a core).
    // The points are the same whatever the number.
    unsigned threads = 0;
};

}  // namespace vantrel
