// The texts of the Help menu's two About boxes.
#pragma once

#include <string>

namespace vantrel {

extern const char* const aboutTitle;  // "About Vantrel"
// What Vantrel is, its version and licence, and the libraries it uses;
// `toolkit` names the window toolkit and its version ("" without one),
// `threeRevision` the three.js the pages copy ("" when none is found).
std::string aboutText(const std::string& toolkit, const std::string& threeRevision);
// The revision of the three.js the pages copy ("r111") from the program's
// data folder or the system's, "" when none is found.
std::string threeRevision(const std::string& dataDir, const std::string& threeDir);
// What the pages show their clouds with, and where Jmol still fits in.
std::string aboutJmolText(const std::string& mainDir);

}  // namespace vantrel
