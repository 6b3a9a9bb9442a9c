#include "app/sequence.h"
// STUB: to be written
namespace vantrel {
bool applycommandline(const std::string&) { return false; }
void runsequence(std::string&) {}
SequenceOutcome lastsequenceoutcome() { return SequenceOutcome::NotRun; }
}
