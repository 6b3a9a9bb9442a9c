#include "output/pointfile.h"
// STUB: to be written
namespace vantrel {
bool writexyzfile() { return false; }
void readpointfile() {}
void loadclick() {}
}
