#pragma once
// What krt-flash needs of the system beyond the engine's platform layer; one file per system
// (cli_os_posix.cpp, cli_os_win32.cpp).
#include <cstdio>
#include <string>

#include "platform/serial_port_map.h"

// Full path of this program, to start it again for one device of several.
std::string OwnProgramPath();

// --json: standard output becomes the events' own stream. Everything else the program prints there goes
// to standard error from now on, so the stream carries nothing but events. Null when it fails.
FILE* TakeStdoutForEvents();

// The --port value that opens this entry of the serial-port map in a program of its own: "COM7" on
// Windows, the tty's path on Linux. Empty when it has none.
std::string PortArgumentFor(const Platform::SerialPortEntry& entry);
