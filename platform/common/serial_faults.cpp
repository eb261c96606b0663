// The table of device names that tests made misbehave; both back ends read it when they open a device.
#include "platform/common/serial_faults.h"

#include <map>
#include <mutex>

namespace Platform {

namespace {
std::mutex g_faultsMutex;
std::map<std::string, SerialFaults> g_faults;
}  // namespace

void SetSerialFaults(const std::string& strName, const SerialFaults& faults)
{
    std::lock_guard<std::mutex> lock(g_faultsMutex);
    if (faults.bCancelWaitFails || faults.bCancelIoFails) {
        g_faults[strName] = faults;
    } else {
        g_faults.erase(strName);
    }
}

SerialFaults LookupSerialFaults(const std::string& strName)
{
    std::lock_guard<std::mutex> lock(g_faultsMutex);
    const auto it = g_faults.find(strName);
    return it != g_faults.end() ? it->second : SerialFaults{};
}

}  // namespace Platform
