// The main directory and its cache of orbital files.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct Session;

// Candidates for the main directory, in order.
std::vector<std::string> mainDirCandidates();

// 0 success, -1 empty name, -2 a folder in a folder everyone can write to
// that is not this user's alone, -3 a cache folder that is a symbolic link,
// a positive errno from the probe file.
// The directory set, or tried, is left in s.mainDir.
int setMainDir(Session& s, const std::string& name);
bool findMainDir(Session& s);
void clearCache(Session& s, bool askFirst);
void newCacheClick(Session& s);  // "&New Orbital Cache"

}  // namespace vantrel
