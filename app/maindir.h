// The main directory and its cache of orbital files.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Candidates for the main directory, in order.
std::vector<std::string> mainDirCandidates();

// 0 success, -1 empty name, -2 a folder in a folder everyone can write to
// that is not this user's alone, -3 a cache folder that is a symbolic link,
// a positive errno from the probe file.
int setMainDir(const std::string& name);
bool findMainDir();
void clearCache(bool askFirst);
void newCacheClick();  // "&New Orbital Cache"

}  // namespace vantrel
