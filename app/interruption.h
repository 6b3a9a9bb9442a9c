// Ctrl-C, SIGTERM and SIGHUP during a batch run: the first one stops the
// run the way "Enough!" does and ends the sequence; a second ends the
// program at once (the point file on disk stays continuable).
#pragma once

namespace vantrel {

void catchInterruptions();
// The signal that asked to stop, 0 when none came.
int interruption();
void clearInterruption();

}  // namespace vantrel
