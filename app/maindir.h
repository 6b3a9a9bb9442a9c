// The main directory and its cache of orbital files.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Candidates for the main directory, in order.
std::vector<std::string> maindircandidates();

// 0 success, -1 empty name, a positive errno from the probe file.
int setmaindir(const std::string& name);
bool findmaindir();
void clearcache(bool askfirst);
void newcacheclick();  // "&New Orbital Cache"

}  // namespace vantrel
