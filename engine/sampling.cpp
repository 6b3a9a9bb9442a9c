#include "engine/sampling.h"
// STUB: to be written
namespace vantrel {
void startcalculation(bool) {}
bool cancontinue() { return false; }
void samplepoints() {}
double randomcentered() { return 0; }
void calculateclick() {}
}
