// The sequence file and the command-line rule that starts it.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct Session;

// Applies the command-line arguments: the word CLEAR empties the cache,
// the others form the sequence file's name. Returns true when a sequence
// file was named (otherwise the window shows the theoretical curve).
bool applyCommandLine(Session& s, const std::vector<std::string>& arguments);
// Its outcome is left in s.sequenceOutcome.
void runSequence(Session& s, std::string& name);

// Outcome of a runSequence, for the headless program's exit status.
// Incomplete: some orbital's point file, XYZ file, page, index or a file
// asked for beside its page could not be written whole.
enum class SequenceOutcome { NotRun, Done, Cancelled, OpenFailed, WrongType, Incomplete };

}  // namespace vantrel
