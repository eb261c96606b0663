#include "platform/serial_port_map.h"

#include <windows.h>

#include <vector>

namespace Platform {

std::vector<SerialPortEntry> ListSerialPorts()
{
    std::vector<SerialPortEntry> entries;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM\\", 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return entries;
    }
    DWORD dwValues = 0;
    DWORD dwMaxName = 0;
    DWORD dwMaxData = 0;
    if (RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &dwValues, &dwMaxName, &dwMaxData,
                         nullptr, nullptr) == ERROR_SUCCESS) {
        std::vector<char> name(dwMaxName + 1);
        std::vector<BYTE> data(dwMaxData + 1);
        for (DWORD i = 0; i < dwValues; ++i) {
            DWORD dwName = static_cast<DWORD>(name.size());
            DWORD dwData = static_cast<DWORD>(data.size() - 1);
            std::fill(data.begin(), data.end(), 0);
            if (RegEnumValueA(hKey, i, name.data(), &dwName, nullptr, nullptr, data.data(), &dwData) != ERROR_SUCCESS) {
                continue;
            }
            entries.push_back({std::string(name.data(), dwName), std::string(reinterpret_cast<char*>(data.data()))});
        }
    }
    RegCloseKey(hKey);
    return entries;
}

int RegisterSerialPort(const std::string&, const std::string&)
{
    return 0;  // the system keeps its own map
}

void UnregisterSerialPort(int)
{
}

}  // namespace Platform
