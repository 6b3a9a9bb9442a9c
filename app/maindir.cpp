#include "app/maindir.h"
// STUB: to be written
namespace vantrel {
std::vector<std::string> maindircandidates() { return {}; }
int setmaindir(const std::string&) { return -1; }
bool findmaindir() { return false; }
void clearcache(bool) {}
void newcacheclick() {}
}
