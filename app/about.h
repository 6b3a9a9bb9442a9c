// The texts of the Help menu's two About boxes.
#pragma once

#include <string>

namespace vantrel {

extern const char* const aboutTitle;  // "About Vantrel"
// What Vantrel is, its version and licence, and the libraries it uses;
// `toolkit` names the window toolkit and its version ("" without one).
std::string aboutText(const std::string& toolkit);
// The revision of the three.js the pages copy ("r111"), "" when none is found.
std::string threeRevision();
// What the pages show their clouds with, and where Jmol still fits in.
std::string aboutJmolText(const std::string& mainDir);

}  // namespace vantrel
