#pragma once
// A download run against the simulated device in this process: a small container staged in the
// temporary folder, the device on a pty registered as the diagnostic port, every report recorded.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/mkimage/container_writer.h"
#include "sim/device_simulator.h"

struct Report {
    int32_t nCode;
    std::string strText;
    int32_t nPercent;
};

class DownloadRunFixture : public ::testing::Test {
public:
    static Sim::FaultRule Rule(Sim::FaultKind nFault, Sim::CommandKind nCommand, uint32_t nValue = 0,
                               uint32_t nFirst = 0);

protected:
    void SetUp() override;
    void TearDown() override;

    // Six partitions of 16 KiB blocks: four boot partitions, then APPS (3 blocks) and DATA (2 blocks).
    static ContainerLayout SmallLayout();
    // Writes the container to the staged image path.
    void StageContainer(const std::vector<uint8_t>& container);
    void StartDevice(std::vector<Sim::FaultRule> faults = {}, uint32_t nLatencyMs = 0);
    unsigned RunWorker(int32_t nRebuildFlag = 1);

    std::vector<std::string> Statuses() const;
    // The run ended with the text as a status line and then as the finishing report.
    void ExpectFinalReports(const std::string& strText) const;
    // Nothing of the run is left in the temporary folder.
    void ExpectFolderEmpty() const;
    // The port is free again (the run closed it, or never opened it).
    void ExpectPortFree() const;

    std::string m_strFolder;
    std::string m_strImagePath;
    std::vector<uint8_t> m_container;
    std::unique_ptr<Sim::CDeviceSimulator> m_pDevice;
    std::string m_strPtyPath;
    int m_nPort = 0;
    std::vector<Report> m_reports;
    // Called for every report after it was recorded (to act in the middle of a run).
    std::function<void(const Report&)> m_fnOnReport;
};
