#pragma once
// Ctrl-C (and the polite termination requests) for console programs: noted, not acted on at once,
// so the program can clean up on its own thread.
namespace Platform {

void InstallInterruptHandler();
bool InterruptRequested();

}  // namespace Platform
