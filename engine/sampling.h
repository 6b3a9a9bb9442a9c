// The Monte Carlo sampling run that turns the orbital into a point file.
#pragma once

#include <functional>

namespace vantrel {

void startcalculation(bool batch);
bool cancontinue();
void samplepoints();
double randomcentered();

// Command1 click: "&Calculate" starts a run, "Enough!" asks it to stop.
void calculateclick();

struct SamplingHooks {
    // Runs after each accepted point is counted and queued for the file; a
    // stop requested from here ends the run at that very point.
    std::function<void()> onpoint;
};
SamplingHooks& samplinghooks();

// Trials made by the last run (the trial counter at its end).
long long lasttrials();

}  // namespace vantrel
