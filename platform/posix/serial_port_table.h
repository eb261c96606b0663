#pragma once
// Shared inside the POSIX back end: the path behind a port number of the serial-port map.
#include <string>

namespace Platform {

// Empty when no port has that number.
std::string LookupSerialPortPath(int nPort);

}  // namespace Platform
