#include "cli/simulated_device.h"

// The simulated device lives on a pseudo-terminal, which only the Linux build has.
struct CSimulatedDevice::Impl {};

CSimulatedDevice::CSimulatedDevice() = default;
CSimulatedDevice::~CSimulatedDevice() = default;

bool CSimulatedDevice::Start(std::string* pstrError)
{
    *pstrError = "--simulate is available in the Linux build only (run krt-devsim there and use --port)";
    return false;
}

bool CSimulatedDevice::Verify(const uint8_t*, size_t, std::string* pstrReport)
{
    pstrReport->clear();
    return false;
}

void CSimulatedDevice::Stop()
{
}
