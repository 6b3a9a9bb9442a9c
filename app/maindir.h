// The main directory and its cache of orbital files.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Candidates for the main directory, in order.
std::vector<std::string> mainDirCandidates();

// 0 success, -1 empty name, a positive errno from the probe file.
int setMainDir(const std::string& name);
bool findMainDir();
void clearCache(bool askFirst);
void newCacheClick();  // "&New Orbital Cache"

}  // namespace vantrel
