// The options of the command line, read before anything else happens: help,
// version and refusals are answered at once, so that a mistyped option
// creates no main directory and opens no window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct CommandLine {
    // The words left for the sequence rule: CLEAR and the file's name.
    std::vector<std::string> arguments;
    // Set when the program is to end here with this status.
    std::optional<int> exitStatus;
};

// argv as main() has it. Help and version go to standard output, a refused
// option to standard error with status 2.
CommandLine readCommandLine(int& argc, char** argv);

}  // namespace vantrel
