// Serial ports on Linux: the ttys the kernel has a driver for, then the ports registered by this process
// (a device given on the command line, a simulated device on a pty).
#include "platform/serial_port_map.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "platform/posix/serial_port_table.h"

namespace Platform {

namespace {

constexpr int FIRST_REGISTERED_PORT = 64;
constexpr int LAST_PORT = 255;

struct RegisteredPort {
    int nPort;
    std::string strDeviceName;
    std::string strPath;
};

std::mutex g_mutex;
std::vector<RegisteredPort> g_registered;

struct SystemTty {
    std::string strName;    // ttyS0
    std::string strDriver;  // serial8250
};

std::vector<SystemTty> ListSystemTtys()
{
    namespace fs = std::filesystem;
    std::vector<SystemTty> ttys;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/sys/class/tty", ec)) {
        std::error_code ecLink;
        const fs::path driver = fs::read_symlink(entry.path() / "device" / "driver", ecLink);
        if (ecLink) {
            continue;  // virtual terminals and the like have no driver
        }
        ttys.push_back({entry.path().filename().string(), driver.filename().string()});
    }
    std::sort(ttys.begin(), ttys.end(), [](const SystemTty& a, const SystemTty& b) { return a.strName < b.strName; });
    if (ttys.size() > static_cast<size_t>(FIRST_REGISTERED_PORT - 1)) {
        ttys.resize(FIRST_REGISTERED_PORT - 1);
    }
    return ttys;
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts()
{
    // Ports registered by this process come first: a device named by the user wins.
    std::vector<SerialPortEntry> entries;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        for (const RegisteredPort& port : g_registered) {
            entries.push_back({port.strDeviceName, "COM" + std::to_string(port.nPort)});
        }
    }
    int nPort = 1;
    for (const SystemTty& tty : ListSystemTtys()) {
        entries.push_back({"\\Device\\" + tty.strDriver + "/" + tty.strName, "COM" + std::to_string(nPort++)});
    }
    return entries;
}

int RegisterSerialPort(const std::string& strDeviceName, const std::string& strPath)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    for (int nPort = FIRST_REGISTERED_PORT; nPort <= LAST_PORT; ++nPort) {
        const bool bTaken = std::any_of(g_registered.begin(), g_registered.end(),
                                        [nPort](const RegisteredPort& p) { return p.nPort == nPort; });
        if (!bTaken) {
            g_registered.push_back({nPort, strDeviceName, strPath});
            return nPort;
        }
    }
    return 0;
}

void UnregisterSerialPort(int nPort)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_registered.erase(std::remove_if(g_registered.begin(), g_registered.end(),
                                      [nPort](const RegisteredPort& p) { return p.nPort == nPort; }),
                       g_registered.end());
}

std::string LookupSerialPortPath(int nPort)
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        for (const RegisteredPort& port : g_registered) {
            if (port.nPort == nPort) {
                return port.strPath;
            }
        }
    }
    const std::vector<SystemTty> ttys = ListSystemTtys();
    if (nPort >= 1 && static_cast<size_t>(nPort) <= ttys.size()) {
        return "/dev/" + ttys[static_cast<size_t>(nPort) - 1].strName;
    }
    return {};
}

}  // namespace Platform
