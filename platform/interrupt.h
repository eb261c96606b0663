#pragma once
// Ctrl-C (and the polite termination requests) for console programs: noted, not acted on at once,
// so the program can clean up on its own thread.
namespace Platform {

void InstallInterruptHandler();
bool InterruptRequested();

// Tells the system that the clean-up after an interrupt is done. Closing the console window (or logging
// off, shutting down) ends a Windows process as soon as its handler returns, so the handler waits for
// this, up to the few seconds Windows allows.
void InterruptCleanupDone();

}  // namespace Platform
