// Small whole-file helpers.
#pragma once

#include <string>

namespace vantrel {

// Whole file as text ("" when missing or unreadable).
std::string readWholeFile(const std::string& path);
// Text plus CR LF, replacing the file. False (errno says why) when it could
// not be written whole.
bool writeWholeFile(const std::string& path, const std::string& text);

bool fileExists(const std::string& path);
bool dirExists(const std::string& path);

}  // namespace vantrel
