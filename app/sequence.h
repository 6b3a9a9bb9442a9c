// The sequence file and the command-line rule that starts it.
#pragma once

#include <string>

namespace vantrel {

// Applies the command line; returns true when a sequence file was named
// (otherwise the window shows the theoretical curve).
bool applyCommandLine(const std::string& commandLine);
void runSequence(std::string& name);

// Outcome of the last runSequence, for the headless program's exit status.
enum class SequenceOutcome { NotRun, Done, Cancelled, OpenFailed, WrongType };
SequenceOutcome lastSequenceOutcome();

}  // namespace vantrel
