#pragma once
// Finding the device's COM port in the system's serial-port map.
#include <cstdint>
#include <vector>

#include "platform/serial_port_map.h"

// Driver service names in the device object names of the device's ports.
constexpr const char* DIAG_PORT_DRIVER = "qzcdserd";
constexpr const char* MODEM_PORT_DRIVER = "qzcdmdm";

// The device's port number: the diagnostic port if there is one, else the modem port; 0 for none.
int32_t FindDevicePort();

// The same over a given list, in its order.
int32_t FindDevicePortIn(const std::vector<Platform::SerialPortEntry>& ports);
