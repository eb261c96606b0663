#include "platform/serial_port_map.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace Platform {

namespace {
// The port object opens "\\.\COMn" only up to 128 (above that it names "\\.\TELNET").
constexpr long LAST_OPENABLE_PORT = 128;
// Ports named on the command line, under the name they were given.
std::mutex g_mutex;
std::vector<std::pair<int, std::string>> g_registered;

std::vector<SerialPortEntry> ListSystemPorts()
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

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts()
{
    // A port named by the user comes first, so that it wins over the system's own entries.
    std::vector<SerialPortEntry> entries;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        for (const auto& port : g_registered) {
            entries.push_back({port.second, "COM" + std::to_string(port.first)});
        }
    }
    for (SerialPortEntry& entry : ListSystemPorts()) {
        entries.push_back(std::move(entry));
    }
    return entries;
}

// strPath is "COMn" or "\\.\COMn"; the number is the port's.
int RegisterSerialPort(const std::string& strDeviceName, const std::string& strPath)
{
    std::string strName = strPath;
    if (strName.rfind("\\\\.\\", 0) == 0) {
        strName = strName.substr(4);
    }
    if (strName.size() < 4 || _strnicmp(strName.c_str(), "COM", 3) != 0) {
        return 0;
    }
    char* pEnd = nullptr;
    const long nPort = std::strtol(strName.c_str() + 3, &pEnd, 10);
    if (pEnd == nullptr || *pEnd != '\0' || nPort < 1 || nPort > LAST_OPENABLE_PORT) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    g_registered.emplace_back(static_cast<int>(nPort), strDeviceName);
    return static_cast<int>(nPort);
}

void UnregisterSerialPort(int nPort)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_registered.erase(std::remove_if(g_registered.begin(), g_registered.end(),
                                      [nPort](const auto& port) { return port.first == nPort; }),
                       g_registered.end());
}

}  // namespace Platform
