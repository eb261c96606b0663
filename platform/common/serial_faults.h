#pragma once
// Shared by the serial back ends: the faults a test asked for on a device name.
#include <string>

#include "platform/serial_device.h"

namespace Platform {

// All false when none were set for the name.
SerialFaults LookupSerialFaults(const std::string& strName);

}  // namespace Platform
