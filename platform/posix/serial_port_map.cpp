// Serial ports on Linux: the ttys the kernel has a driver for, then the ports registered by this process
// (a device given on the command line, a simulated device on a pty).
#include "platform/serial_port_map.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "platform/posix/serial_port_table.h"
#include "platform/posix/tty_numbers.h"

namespace Platform {

namespace {

constexpr int FIRST_REGISTERED_PORT = 64;
// The port object opens "\\.\COMn" only up to 128; a registered port above that could never be opened.
constexpr int LAST_PORT = 128;

struct RegisteredPort {
    int nPort;
    std::string strDeviceName;
    std::string strPath;
};

std::mutex g_mutex;
std::vector<RegisteredPort> g_registered;

// The system's ttys keep their numbers from COM1 up to just below the registered ports.
CTtyNumbers g_ttyNumbers(FIRST_REGISTERED_PORT - 1);

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
    return ttys;
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts()
{
    // Ports registered by this process come first: a device named by the user wins.
    std::vector<SerialPortEntry> entries;
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const RegisteredPort& port : g_registered) {
        entries.push_back({port.strDeviceName, "COM" + std::to_string(port.nPort)});
    }
    for (const NumberedTty& entry : g_ttyNumbers.Update(ListSystemTtys())) {
        entries.push_back({"\\Device\\" + entry.tty.strDriver + "/" + entry.tty.strName,
                           "COM" + std::to_string(entry.nPort)});
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
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const RegisteredPort& port : g_registered) {
        if (port.nPort == nPort) {
            return port.strPath;
        }
    }
    // The number's own tty, if it is still there; never whichever tty now sits at that position.
    g_ttyNumbers.Update(ListSystemTtys());
    const std::string strName = g_ttyNumbers.NameOf(nPort);
    return strName.empty() ? std::string() : "/dev/" + strName;
}

}  // namespace Platform
