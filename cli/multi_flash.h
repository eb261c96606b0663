#pragma once
// Several devices at once (--port more than once, or --all): every device is flashed by a program of its
// own (this one again, with --json), all in parallel; one failing or pulled out never stops the others.
#include <string>
#include <vector>

#include "cli/flash_run.h"

// --all or --port given more than once: checks the combination, finds the ports for --all and flashes.
int RunSeveralDevices(const FlashOptions& options, const std::vector<std::string>& ports, bool bAll);

// The help text's part on several devices, JSON events and logs.
const char* SeveralDevicesHelp();

// The device ports discovery finds: every "qzcdserd" port, else every "qzcdmdm" port, as --port values.
std::vector<std::string> FindAllDevicePorts();

// Flashes the devices on the ports with the options' image, rebuild choice and log (one per device).
// 0 when every device succeeded, otherwise the exit status of the first that failed.
int RunMultiFlash(const FlashOptions& options, const std::vector<std::string>& ports);

// The arguments of the program that flashes one of the devices.
std::vector<std::string> ChildArguments(const FlashOptions& options, const std::string& strPort);
