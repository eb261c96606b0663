#pragma once
// --check-driver and --install-driver: the wizard's USB driver check from the command line.
// Returns the exit status.
int RunDriverCommand(bool bInstall);
