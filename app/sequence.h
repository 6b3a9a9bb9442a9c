// The sequence file and the command-line rule that starts it.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Applies the command-line arguments: the word CLEAR empties the cache,
// the others form the sequence file's name. Returns true when a sequence
// file was named (otherwise the window shows the theoretical curve).
bool applyCommandLine(const std::vector<std::string>& arguments);
void runSequence(std::string& name);

// Outcome of the last runSequence, for the headless program's exit status.
// Incomplete: some orbital's point file, XYZ file, page, index or a file
// asked for beside its page could not be written whole.
enum class SequenceOutcome { NotRun, Done, Cancelled, OpenFailed, WrongType, Incomplete };
SequenceOutcome lastSequenceOutcome();

}  // namespace vantrel
