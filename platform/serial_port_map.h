#pragma once
// The operating system's list of serial ports present: (device object name, port name) pairs.
// Windows: the values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM in enumeration order.
// POSIX: the ttys of /sys/class/tty that have a driver, named "\Device\<driver>N" and numbered from COM1
// in name order, followed by the ports registered in this process, numbered from COM64 upward.
#include <string>
#include <vector>

namespace Platform {

struct SerialPortEntry {
    std::string strDeviceName;  // e.g. "\Device\qzcdserd0"
    std::string strPortName;    // e.g. "COM5"
};

std::vector<SerialPortEntry> ListSerialPorts();

// POSIX only: makes a tty or pty path known under a device object name. Returns the port number it got
// ("\\.\COMn" then opens strPath), or 0 where registering is not supported (Windows).
int RegisterSerialPort(const std::string& strDeviceName, const std::string& strPath);
void UnregisterSerialPort(int nPort);

}  // namespace Platform
