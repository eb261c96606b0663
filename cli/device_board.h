#pragma once
// The parent's view of a multi-device run: one line per device (port, partition, percent, elapsed, and
// what it is doing), redrawn in place on a terminal, printed as plain lines when they change otherwise.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/json_events.h"

class CDeviceBoard {
public:
    CDeviceBoard(FILE* pOut, bool bTerminal, const std::vector<std::string>& ports);

    void OnEvent(size_t nDevice, const FlashEvent& event);
    // A line of a child that is no event (a message of its own): kept as the device's last word.
    void OnMessage(size_t nDevice, const std::string& strLine);
    // The device's program ended; without a "done" event its exit status is all there is.
    void OnExit(size_t nDevice, int nStatus);
    // The run's time so far (the engine's seconds): running devices' clocks go on between their events,
    // through the long quiet steps such as the wait while the device reboots.
    void SetRunSeconds(double dSeconds) { m_dRunSeconds = dSeconds; }
    // Draws what changed (on a terminal: everything, in place).
    void Draw();

    bool Done(size_t nDevice) const { return m_devices[nDevice].bExited; }
    int ExitStatus(size_t nDevice) const { return m_devices[nDevice].nExit; }
    const std::string& FinalText(size_t nDevice) const { return m_devices[nDevice].strFinal; }
    std::string Line(size_t nDevice) const;

private:
    struct Device {
        std::string strPort;
        std::string strPartition;
        std::string strStatus;
        std::string strMessage;  // the last line that was no event
        int nPercent = 0;
        double dElapsed = 0.0;
        double dEta = -1.0;
        bool bDone = false;      // "done" arrived
        bool bExited = false;
        int nExit = 0;
        std::string strFinal;
        std::string strPrinted;  // the line as last printed (plain output)
    };

    FILE* m_pOut;
    bool m_bTerminal;
    size_t m_nDrawnLines = 0;
    double m_dRunSeconds = 0.0;
    size_t m_nPortWidth = 4;
    std::vector<Device> m_devices;
};
