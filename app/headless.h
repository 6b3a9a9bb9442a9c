// The program without a display: run the command line, print the
// messages, take the default answers, exit.
#pragma once

#include <string>

namespace vantrel {

// Exit status: 0, or 1 when the sequence file could not be opened or was of
// the wrong type, or no main directory could be had.
int runHeadless(const std::string& commandLine);

}  // namespace vantrel
