// Ctrl-C, SIGTERM and SIGHUP during a batch run: the first one stops the
// run the way "Enough!" does and ends the sequence; a second ends the
// program at once (the point file on disk stays continuable). A closed
// output pipe (SIGPIPE) or the file-size limit (SIGXFSZ) stops it the same
// way; the write that met it fails and says so.
#pragma once

namespace vantrel {

void catchInterruptions();
// The signal that asked to stop, 0 when none came.
int interruption();
void clearInterruption();

}  // namespace vantrel
