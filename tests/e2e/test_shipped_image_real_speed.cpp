// The shipped image, flashed at real speed into the simulated device through a pty: every report the
// dialog would get, in order, the pause before the final report, and the flash compared with the image.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "download/download_worker.h"
#include "download/notify.h"
#include "image/partition_files.h"
#include "image/staging.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "platform/serial_port_map.h"
#include "serial/base_comm.h"
#include "sim/device_simulator.h"

namespace {

struct TimedReport {
    int32_t nCode;
    std::string strText;
    int32_t nPercent;
    int64_t nTimeMs;
};

}  // namespace

TEST(ShippedImageRealSpeed, FlashesVerifiesAndReportsEveryStep)
{
    Platform::SetTimeScale(1.0);
    std::vector<TimedReport> reports;
    SetNotifySink([&](int32_t nCode) {
        reports.push_back({nCode, StatusText, ProgressPercent, Platform::MonotonicMs()});
    });

    Sim::CDeviceSimulator device;
    const std::string strPty = device.Start();
    ASSERT_FALSE(strPty.empty());
    const int nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", strPty);
    DetectedPort = static_cast<uint8_t>(nPort);

    std::string strImagePath;
    ASSERT_TRUE(StageFirmwareImage(FIRMWARE_RESOURCE_ID, &strImagePath));
    std::string strFolder;
    ASSERT_TRUE(Platform::EnterTempFolder(&strFolder));

    auto* pJob = new DownloadJob;
    pJob->strImagePath = strImagePath;
    EXPECT_EQ(DownloadWorker(pJob), 1u);
    SetNotifySink({});
    Platform::UnregisterSerialPort(nPort);

    // The expected reports, from the partition list the run worked through.
    std::vector<TimedReport> expected = {{NOTIFY_STATUS, "Download Start", 0, 0},
                                         {NOTIFY_STATUS, "Init ComPort", 0, 0},
                                         {NOTIFY_STATUS, "Done Initializing ComPort", 0, 0},
                                         {NOTIFY_STATUS, "Make partition files of binary", 0, 0},
                                         {NOTIFY_STATUS, "Download Start", 0, 0}};
    const char* WRITTEN[] = {"AMSS4", "DSP15", "DSP26", "FOEN7"};
    for (int nSlot = 4; nSlot < 8; ++nSlot) {
        ASSERT_STREQ(PartitionNames[nSlot], WRITTEN[nSlot - 4]);
        const uint32_t dwSize = PartitionFileList[nSlot].m_dwFileSize;
        const std::string strName = PartitionNames[nSlot];
        expected.push_back({NOTIFY_STATUS, "Erase Flash.... [" + strName + "]", 0, 0});
        expected.push_back({NOTIFY_PROGRESS, "", 0, 0});
        for (uint32_t dwDone = 0; dwDone < dwSize; dwDone += 16384) {
            char szLine[128];
            std::snprintf(szLine, sizeof(szLine), "Flash Writing.... [%s]  %u of %u", strName.c_str(), dwDone, dwSize);
            expected.push_back({NOTIFY_STATUS, szLine, 0, 0});
            expected.push_back({NOTIFY_PROGRESS, "", static_cast<int32_t>(((dwDone + 16384) / 100 * 100) / (dwSize / 100)), 0});
        }
        expected.push_back({NOTIFY_STATUS, "Download complete!", 0, 0});
    }
    for (const char* psz : {"Rebuilding...", "Wait ! Rebuilding...", "Rebooting phone"}) {
        expected.push_back({NOTIFY_STATUS, psz, 0, 0});
    }
    expected.push_back({NOTIFY_PROGRESS, "", 100, 0});
    expected.push_back({NOTIFY_STATUS, "Software Download Complete.", 0, 0});
    expected.push_back({NOTIFY_FINISHED, "Software Download Complete.", 0, 0});

    ASSERT_EQ(reports.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(reports[i].nCode, expected[i].nCode) << i;
        ASSERT_EQ(reports[i].strText, expected[i].strText) << i;
        ASSERT_EQ(reports[i].nPercent, expected[i].nPercent) << i;
    }
    // The device reboots for 15 s between the last progress value and the final report.
    const int64_t nPauseMs = reports[reports.size() - 2].nTimeMs - reports[reports.size() - 3].nTimeMs;
    EXPECT_GE(nPauseMs, 15000);
    EXPECT_LT(nPauseMs, 16500);

    ASSERT_TRUE(device.WaitFinished(5000));
    Platform::ResourceBlob blob;
    ASSERT_TRUE(Platform::FindResourceBlob(FIRMWARE_RESOURCE_TYPE, FIRMWARE_RESOURCE_ID, &blob));
    const Sim::VerifyReport verify = device.Verify(blob.pData, blob.nSize);
    EXPECT_TRUE(verify.bOk) << verify.Text();

    // Tags: startup 0, erase 1, blocks 2, 3, 0, 1, ... per partition, close 1, unlock 0, rebuild 1, reset 2.
    const std::vector<Sim::TranscriptEntry> transcript = device.GetTranscript();
    ASSERT_FALSE(transcript.empty());
    EXPECT_EQ(transcript.front().nKind, Sim::KIND_STARTUP);
    EXPECT_EQ(transcript.front().byTag, 0);
    int nBlock = 0;
    for (const Sim::TranscriptEntry& entry : transcript) {
        EXPECT_TRUE(entry.bCrcOk);
        if (entry.nKind == Sim::KIND_ERASE) {
            EXPECT_EQ(entry.byTag, 1);
            nBlock = 0;
        } else if (entry.nKind == Sim::KIND_WRITE) {
            EXPECT_EQ(entry.byTag, (2 + nBlock++) % 4);
        }
    }
    const size_t n = transcript.size();
    EXPECT_EQ(transcript[n - 4].nKind, Sim::KIND_CLOSE);
    EXPECT_EQ(transcript[n - 4].byTag, 1);
    EXPECT_EQ(transcript[n - 3].nKind, Sim::KIND_UNLOCK);
    EXPECT_EQ(transcript[n - 3].byTag, 0);
    EXPECT_EQ(transcript[n - 2].nKind, Sim::KIND_REBUILD);
    EXPECT_EQ(transcript[n - 2].byTag, 1);
    EXPECT_EQ(transcript[n - 1].nKind, Sim::KIND_RESET);
    EXPECT_EQ(transcript[n - 1].byTag, 2);

    EXPECT_TRUE(std::filesystem::is_empty(strFolder)) << "files left in " << strFolder;
}
