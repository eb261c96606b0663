#include "cli/simulated_device.h"

#include "platform/serial_port_map.h"
#include "sim/device_simulator.h"

struct CSimulatedDevice::Impl {
    Sim::CDeviceSimulator simulator;
    int nPort = 0;
};

// The device and its 64 MiB of flash exist only from Start on: a run against a real device must not
// carry them.
CSimulatedDevice::CSimulatedDevice() = default;

CSimulatedDevice::~CSimulatedDevice()
{
    Stop();
}

bool CSimulatedDevice::Start(std::string* pstrError)
{
    if (!m_pImpl) {
        m_pImpl = std::make_unique<Impl>();
    }
    const std::string strPath = m_pImpl->simulator.Start();
    if (strPath.empty()) {
        *pstrError = "cannot start the simulated device (no pseudo-terminal)";
        return false;
    }
    m_pImpl->nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", strPath);
    if (m_pImpl->nPort == 0) {
        *pstrError = "cannot register the simulated device's port";
        return false;
    }
    return true;
}

bool CSimulatedDevice::Verify(const uint8_t* pContainer, size_t nSize, std::string* pstrReport)
{
    if (!m_pImpl) {
        *pstrReport = "the simulated device was not started\n";
        return false;
    }
    m_pImpl->simulator.WaitFinished(5000);
    const Sim::VerifyReport report = m_pImpl->simulator.Verify(pContainer, nSize);
    *pstrReport = report.Text();
    return report.bOk;
}

void CSimulatedDevice::Stop()
{
    if (!m_pImpl) {
        return;
    }
    m_pImpl->simulator.Stop();
    if (m_pImpl->nPort != 0) {
        Platform::UnregisterSerialPort(m_pImpl->nPort);
        m_pImpl->nPort = 0;
    }
}
