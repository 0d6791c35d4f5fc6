#include "cli/InterruptCount.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t presses = 0;

extern "C" void OnInterrupt(int signal) {
    presses = presses + 1;
    // Some C libraries put the default action back before calling the handler.
    std::signal(signal, OnInterrupt);
}

} // namespace

void CountInterrupts() {
    std::signal(SIGINT, OnInterrupt);
}

int Interrupts() {
    return presses;
}
