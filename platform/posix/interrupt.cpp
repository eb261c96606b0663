#include "platform/interrupt.h"

#include <csignal>

namespace Platform {

namespace {
volatile std::sig_atomic_t g_bInterrupted = 0;

void OnSignal(int)
{
    g_bInterrupted = 1;
}
}  // namespace

void InstallInterruptHandler()
{
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool InterruptRequested()
{
    return g_bInterrupted != 0;
}

// Signals are only noted; the process lives on until it exits by itself.
void InterruptCleanupDone() {}

}  // namespace Platform
