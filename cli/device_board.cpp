#include "cli/device_board.h"

#include <algorithm>
#include <cmath>

#include "cli/eta.h"

namespace {

std::string Clock(double dSeconds)
{
    const long long nSeconds = std::llround(dSeconds < 0.0 ? 0.0 : dSeconds);
    char szText[32];
    std::snprintf(szText, sizeof(szText), "%02lld:%02lld", nSeconds / 60, nSeconds % 60);
    return szText;
}

// Per-block lines say nothing the percentage does not; the board keeps the steps between.
bool IsBlockStatus(const std::string& strText)
{
    return strText.rfind("Flash Writing", 0) == 0;
}

}  // namespace

CDeviceBoard::CDeviceBoard(FILE* pOut, bool bTerminal, const std::vector<std::string>& ports)
    : m_pOut(pOut), m_bTerminal(bTerminal)
{
    for (const std::string& strPort : ports) {
        Device device;
        device.strPort = strPort;
        device.strStatus = "starting";
        m_devices.push_back(device);
        m_nPortWidth = std::max(m_nPortWidth, strPort.size());
    }
}

void CDeviceBoard::OnEvent(size_t nDevice, const FlashEvent& event)
{
    Device& device = m_devices[nDevice];
    switch (event.nKind) {
    case FLASH_EVENT_STATUS:
        if (!IsBlockStatus(event.strText)) {
            device.strStatus = event.strText;
        }
        break;
    case FLASH_EVENT_PROGRESS:
        device.strPartition = event.strPartition;
        device.nPercent = event.nPercent;
        device.dElapsed = event.dElapsedSeconds;
        device.dEta = event.dEtaSeconds;
        break;
    case FLASH_EVENT_DONE:
        device.bDone = true;
        device.strFinal = event.strText;
        device.nExit = event.nExit;
        device.dElapsed = event.dSeconds;
        break;
    }
}

void CDeviceBoard::OnMessage(size_t nDevice, const std::string& strLine)
{
    if (!strLine.empty()) {
        m_devices[nDevice].strMessage = strLine;
    }
}

void CDeviceBoard::OnExit(size_t nDevice, int nStatus)
{
    Device& device = m_devices[nDevice];
    device.bExited = true;
    if (!device.bDone) {
        // Ended without its final event: crashed, killed, or stopped before the run began.
        device.nExit = nStatus != 0 ? nStatus : 1;
        device.strFinal = !device.strMessage.empty() ? device.strMessage
                                                     : "ended without a result (exit status " + std::to_string(nStatus) + ")";
    } else if (device.nExit != nStatus) {
        // The process's own word is the last one.
        device.nExit = nStatus;
    }
}

std::string CDeviceBoard::Line(size_t nDevice) const
{
    const Device& device = m_devices[nDevice];
    std::string strLine = device.strPort;
    strLine.append(m_nPortWidth + 2 - std::min(m_nPortWidth, device.strPort.size()), ' ');
    if (device.bExited) {
        return strLine + (device.nExit == 0 ? "done  " : "FAILED ") + Clock(device.dElapsed) + "  " + device.strFinal;
    }
    char szMiddle[64];
    std::snprintf(szMiddle, sizeof(szMiddle), "%-6s %3d%%  %s  ", device.strPartition.empty() ? "-" : device.strPartition.c_str(),
                  device.nPercent, Clock(std::max(device.dElapsed, m_dRunSeconds)).c_str());
    strLine += szMiddle;
    // Per-block lines are not passed on; between the erase and the partition's end the blocks go out.
    if (device.nPercent > 0 && device.nPercent < 100 &&
        device.strStatus == "Erase Flash.... [" + device.strPartition + "]") {
        strLine += "Flash Writing.... [" + device.strPartition + "]";
    } else {
        strLine += device.strStatus;
    }
    const std::string strLeft = FormatTimeLeft(device.dEta);
    if (!strLeft.empty()) {
        strLine += ", " + strLeft;
    }
    return strLine;
}

void CDeviceBoard::Draw()
{
    if (m_bTerminal) {
        if (m_nDrawnLines > 0) {
            std::fprintf(m_pOut, "\033[%zuA", m_nDrawnLines);
        }
        for (size_t i = 0; i < m_devices.size(); ++i) {
            std::fprintf(m_pOut, "\r\033[K%s\n", Line(i).c_str());
        }
        m_nDrawnLines = m_devices.size();
        std::fflush(m_pOut);
        return;
    }
    // In a log: a line whenever a device's step, partition or tens of percent change.
    for (size_t i = 0; i < m_devices.size(); ++i) {
        Device& device = m_devices[i];
        const std::string strKey = device.bExited ? Line(i)
                                                  : device.strPartition + "|" + std::to_string(device.nPercent / 10) +
                                                        "|" + device.strStatus;
        if (strKey != device.strPrinted) {
            device.strPrinted = strKey;
            std::fprintf(m_pOut, "%s\n", Line(i).c_str());
        }
    }
    std::fflush(m_pOut);
}
