// The Monte Carlo sampling run that turns the orbital into a point file.
#pragma once

#include <functional>

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
};
SamplingHooks& samplingHooks();

// Trials made by the last run (the trial counter at its end).
long long lastTrials();

}  // namespace vantrel
