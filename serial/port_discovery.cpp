#include "serial/port_discovery.h"

#include <cctype>
#include <string>

namespace {

// The number behind "COM": the data from its fourth character on, leading decimal digits only.
int32_t PortNumber(const std::string& strPortName)
{
    if (strPortName.size() < 4) {
        return 0;
    }
    int64_t nValue = 0;
    for (size_t i = 3; i < strPortName.size() && std::isdigit(static_cast<unsigned char>(strPortName[i])); ++i) {
        nValue = nValue * 10 + (strPortName[i] - '0');
        if (nValue > 0xFFFF) {
            break;
        }
    }
    return static_cast<int32_t>(nValue);
}

int32_t FindPass(const std::vector<Platform::SerialPortEntry>& ports, const char* pszDriver)
{
    for (const Platform::SerialPortEntry& entry : ports) {
        if (entry.strDeviceName.find(pszDriver) == std::string::npos) {
            continue;
        }
        const int32_t nPort = PortNumber(entry.strPortName);
        // The callers keep 8 bits: COM260 would become COM4. Such a port is not the device's.
        if (nPort > 255) {
            continue;
        }
        return nPort;
    }
    return 0;
}

}  // namespace

int32_t FindDevicePortIn(const std::vector<Platform::SerialPortEntry>& ports)
{
    const int32_t nPort = FindPass(ports, DIAG_PORT_DRIVER);
    if (nPort != 0) {
        return nPort;
    }
    return FindPass(ports, MODEM_PORT_DRIVER);
}

int32_t FindDevicePort()
{
    return FindDevicePortIn(Platform::ListSerialPorts());
}
