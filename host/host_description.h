#pragma once
// The host as the support record names it: the Windows version, the machine's and the program's word
// size, the host OS code and the USB driver's recorded version. Never the user's or the computer's name.
#include <string>

// "Windows 6.1, x64 machine, 32-bit program, host OS code 4107" (on POSIX: "not Windows, ...").
std::string DescribeHost();
// "USB driver version 5.16.0.0", or "USB driver version not recorded".
std::string DescribeUsbDriver();
