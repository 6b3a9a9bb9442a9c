#include "app/interruption.h"

#include <csignal>
#include <initializer_list>
#include <unistd.h>

namespace vantrel {

namespace {

volatile std::sig_atomic_t received = 0;

extern "C" void onInterrupt(int sig) {
    if (received != 0) _exit(128 + received);
    received = sig;
}

}  // namespace

void catchInterruptions() {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

int interruption() { return received; }

void clearInterruption() { received = 0; }

}  // namespace vantrel
