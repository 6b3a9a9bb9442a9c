// The Monte Carlo sampling run that turns the orbital into a point file.
#pragma once

namespace vantrel {

void startcalculation(bool batch);
bool cancontinue();
void samplepoints();
double randomcentered();

// Command1 click: "&Calculate" starts a run, "Enough!" asks it to stop.
void calculateclick();

}  // namespace vantrel
