#include "cli/simulated_device.h"

#include "platform/serial_port_map.h"
#include "sim/device_simulator.h"

struct CSimulatedDevice::Impl {
    Sim::CDeviceSimulator simulator;
    int nPort = 0;
};

CSimulatedDevice::CSimulatedDevice() : m_pImpl(std::make_unique<Impl>()) {}

CSimulatedDevice::~CSimulatedDevice()
{
    Stop();
}

bool CSimulatedDevice::Start(std::string* pstrError)
{
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
