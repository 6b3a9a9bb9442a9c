// The Monte Carlo sampling run that turns the orbital into a point file.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "engine/globals.h"

namespace vantrel {

void startCalculation(bool batch);
bool canContinue();
void samplePoints();

// calculateButton click: "&Calculate" starts a run, "Enough!" asks it to stop.
void calculateClick();

struct SamplingHooks {
    // Runs after each accepted point is counted and queued for the file; a
    // stop requested from here ends the run at that very point.
    std::function<void()> onPoint;
    // How often a long run prints its progress (through report()).
    std::chrono::milliseconds progressEvery{2000};
    // Sinks every run feeds after the point file and the histogram (a
    // view that shows the points as they come).
    std::vector<PointSink*> sinks;
};
SamplingHooks& samplingHooks();

// Trials made by the last run (the trial counter at its end).
long long lastTrials();
// Why the last run could not write its point file completely.
const RunProblem& lastRunProblem();

}  // namespace vantrel
