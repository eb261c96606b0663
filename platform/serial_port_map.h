#pragma once
// The operating system's list of serial ports present: (device object name, port name) pairs.
// First the ports registered by this process (a device named on the command line, a simulated device),
// then the system's own:
// Windows: the values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM in enumeration order;
// POSIX: the ttys of /sys/class/tty that have a driver, named "\Device\<driver>/<tty>" and numbered from
// COM1 in name order, and a tty keeps its number while the process runs. Registered ports on POSIX are
// numbered from COM64 upward.
#include <string>
#include <vector>

namespace Platform {

struct SerialPortEntry {
    std::string strDeviceName;  // e.g. "\Device\qzcdserd0"
    std::string strPortName;    // e.g. "COM5"
};

std::vector<SerialPortEntry> ListSerialPorts();

// Makes a port known under a device object name. POSIX: strPath is a tty or pty path, the port gets a
// number of its own ("\\.\COMn" then opens strPath). Windows: strPath is "COMn" and keeps its number.
// Returns the port number, 0 when strPath is not usable.
int RegisterSerialPort(const std::string& strDeviceName, const std::string& strPath);
void UnregisterSerialPort(int nPort);

}  // namespace Platform
