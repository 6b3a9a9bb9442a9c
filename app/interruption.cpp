#include "app/interruption.h"

#include <csignal>
#include <initializer_list>
#include <unistd.h>

namespace vantrel {

namespace {

volatile std::sig_atomic_t received = 0;

extern "C" void onInterrupt(int sig) {
    // A closed pipe or the file-size limit comes back with every later
    // write: only the first one counts, and it never ends the program.
    const bool fromWriting = sig == SIGPIPE || sig == SIGXFSZ;
    if (received != 0 && !fromWriting) _exit(128 + received);
    if (received == 0) received = sig;
}

}  // namespace

void catchInterruptions() {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a call that waits (on a terminal, a pipe) returns at
    // the first signal instead of swallowing it.
    sa.sa_flags = 0;
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ}) sigaction(sig, &sa, nullptr);
}

int interruption() { return received; }

void clearInterruption() { received = 0; }

}  // namespace vantrel
