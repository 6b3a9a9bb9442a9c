// The program without a display: run the command line, print the
// messages, take the default answers, exit.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct Session;

// Exit status: 0; 1 when the sequence file could not be opened or was of
// the wrong type, a file of an orbital (point file, XYZ file, page, index,
// a file asked for beside its page) could not be written whole, or no main
// directory could be had; 128 + the signal when a signal stopped it.
int runHeadless(Session& s, const std::vector<std::string>& arguments);

}  // namespace vantrel
