#include "tests/download/download_run_fixture.h"

#include <filesystem>

#include "download/download_worker.h"
#include "download/engine_state.h"
#include "download/notify.h"
#include "download/run_stop.h"
#include "image/staging.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/serial_device.h"
#include "platform/serial_port_map.h"
#include "serial/base_comm.h"

void DownloadRunFixture::SetUp()
{
    // Fast, but with room for a loaded machine: a reply later than the scaled time-out would be taken
    // for the next command's (the protocol cannot tell them apart). The reset's 1 s becomes 100 ms; at
    // 50 ms a busy machine missed it now and then.
    Platform::SetTimeScale(0.1);
    SetNotifySink([this](int32_t nCode) {
        m_reports.push_back({nCode, StatusText, ProgressPercent});
        if (m_fnOnReport) {
            m_fnOnReport(m_reports.back());
        }
    });
    ASSERT_TRUE(Platform::EnterTempFolder(&m_strFolder));
    ASSERT_TRUE(GetStagedImagePath(&m_strImagePath));
    DetectedPort = 0;
}

void DownloadRunFixture::TearDown()
{
    SetNotifySink({});
    if (m_nPort != 0) {
        Platform::UnregisterSerialPort(m_nPort);
    }
    if (m_pDevice) {
        m_pDevice->Stop();
    }
    CBaseComm::Discard(g_pComm);
    ClearRunStop();
    Platform::SetTimeScale(1.0);
    for (const auto& entry : std::filesystem::directory_iterator(m_strFolder)) {
        std::filesystem::remove(entry.path());
    }
}

ContainerLayout DownloadRunFixture::SmallLayout()
{
    ContainerLayout layout;
    layout.m_dwBlockSize = 16384;
    layout.m_partitions = {{"BOOT", 0, 1, 1}, {"SBL1", 2, 3, 1},   {"SBL2", 4, 5, 1},
                           {"SBL3", 6, 7, 1}, {"APPS", 8, 15, 3}, {"DATA", 16, 19, 2}};
    return layout;
}

void DownloadRunFixture::StageContainer(const std::vector<uint8_t>& container)
{
    m_container = container;
    FILE* pFile = Platform::OpenFile(m_strImagePath.c_str(), "wb");
    ASSERT_NE(pFile, nullptr);
    ASSERT_EQ(fwrite(container.data(), 1, container.size(), pFile), container.size());
    ASSERT_EQ(fclose(pFile), 0);
}

void DownloadRunFixture::StartDevice(std::vector<Sim::FaultRule> faults, uint32_t nLatencyMs)
{
    Sim::SimSettings settings;
    settings.faults = std::move(faults);
    settings.nLatencyMs = nLatencyMs;
    m_pDevice = std::make_unique<Sim::CDeviceSimulator>(settings);
    m_strPtyPath = m_pDevice->Start();
    ASSERT_FALSE(m_strPtyPath.empty());
    m_nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", m_strPtyPath);
    ASSERT_NE(m_nPort, 0);
    DetectedPort = static_cast<uint8_t>(m_nPort);
}

Sim::FaultRule DownloadRunFixture::Rule(Sim::FaultKind nFault, Sim::CommandKind nCommand, uint32_t nValue,
                                        uint32_t nFirst)
{
    Sim::FaultRule rule;
    rule.nFault = nFault;
    rule.nCommand = nCommand;
    rule.nValue = nValue;
    rule.nFirst = nFirst;
    return rule;
}

unsigned DownloadRunFixture::RunWorker(int32_t nRebuildFlag)
{
    auto* pJob = new DownloadJob;
    pJob->strImagePath = m_strImagePath;
    pJob->nRebuildFlag = nRebuildFlag;
    return DownloadWorker(pJob);  // on this thread: the worker's reports arrive here synchronously
}

std::vector<std::string> DownloadRunFixture::Statuses() const
{
    std::vector<std::string> statuses;
    for (const Report& report : m_reports) {
        if (report.nCode == NOTIFY_STATUS) {
            statuses.push_back(report.strText);
        }
    }
    return statuses;
}

void DownloadRunFixture::ExpectFinalReports(const std::string& strText) const
{
    ASSERT_GE(m_reports.size(), 2u);
    const Report& status = m_reports[m_reports.size() - 2];
    const Report& finished = m_reports.back();
    EXPECT_EQ(status.nCode, NOTIFY_STATUS);
    EXPECT_EQ(status.strText, strText);
    EXPECT_EQ(finished.nCode, NOTIFY_FINISHED);
    EXPECT_EQ(finished.strText, strText);
    EXPECT_EQ(finished.nPercent, 0);
    EXPECT_EQ(MessageText, strText);
}

void DownloadRunFixture::ExpectFolderEmpty() const
{
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(m_strFolder)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_TRUE(left.empty()) << "left behind: " << (left.empty() ? "" : left.front());
}

void DownloadRunFixture::ExpectPortFree() const
{
    EXPECT_EQ(g_pComm, nullptr);
    if (!m_strPtyPath.empty() && !m_pDevice->IsFinished()) {
        Platform::SerialHandle hDev = Platform::OpenSerialDevice(m_strPtyPath);
        EXPECT_NE(hDev, nullptr) << "the port is still held";
        Platform::CloseSerialDevice(hDev);
    }
}
