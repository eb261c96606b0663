// One partition through erase and write: block count, padding, progress values and byte counts.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "download/download_sequence.h"
#include "download/engine_state.h"
#include "download/notify.h"
#include "download/protocol.h"
#include "download/reply_wait.h"
#include "image/partition_files.h"
#include "platform/files.h"
#include "serial/base_comm.h"
#include "tests/download/download_run_fixture.h"

namespace {

constexpr uint32_t ADDRESS = 0x00300000;
constexpr int SLOT = 5;

class WritePartitionTest : public DownloadRunFixture {
protected:
    void SetUp() override
    {
        DownloadRunFixture::SetUp();
        StartDevice();
        ASSERT_TRUE(InitComPort());
        g_pComm->SendStartupCmd(0);
        ASSERT_TRUE(IsReplySuccess(WaitForReply(5000)));
        m_reports.clear();
    }

    std::vector<uint8_t> WriteFile(size_t nSize)
    {
        std::vector<uint8_t> data(nSize);
        for (size_t i = 0; i < nSize; ++i) {
            data[i] = static_cast<uint8_t>(0x30 + i % 61);
        }
        FILE* pFile = Platform::OpenFile("EDGE5", "wb");
        EXPECT_NE(pFile, nullptr);
        if (nSize > 0) {
            EXPECT_EQ(std::fwrite(data.data(), 1, nSize, pFile), nSize);
        }
        std::fclose(pFile);
        PartitionFileEntry& slot = PartitionFileList[SLOT];
        std::snprintf(slot.m_szPath, sizeof(slot.m_szPath), "EDGE5");
        slot.m_dwFlashAddress = ADDRESS;
        std::snprintf(PartitionNames[SLOT], sizeof(PartitionNames[SLOT]), "EDGE5");
        return data;
    }

    std::vector<int32_t> Percentages() const
    {
        std::vector<int32_t> values;
        for (const Report& report : m_reports) {
            if (report.nCode == NOTIFY_PROGRESS) {
                values.push_back(report.nPercent);
            }
        }
        return values;
    }

    std::vector<Sim::TranscriptEntry> Commands(Sim::CommandKind nKind) const
    {
        std::vector<Sim::TranscriptEntry> entries;
        for (const Sim::TranscriptEntry& entry : m_pDevice->GetTranscript()) {
            if (entry.nKind == nKind) {
                entries.push_back(entry);
            }
        }
        return entries;
    }
};

}  // namespace

TEST_F(WritePartitionTest, OneByteOverABlockIsTwoBlocksPaddedWithFF)
{
    const std::vector<uint8_t> data = WriteFile(16385);
    EXPECT_EQ(WritePartition(SLOT), 1);
    const auto erases = Commands(Sim::KIND_ERASE);
    ASSERT_EQ(erases.size(), 1u);
    EXPECT_EQ(erases[0].dwAddress, ADDRESS);
    EXPECT_EQ(erases[0].dwLength, 32768u);
    const auto writes = Commands(Sim::KIND_WRITE);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].dwAddress, ADDRESS + 16384);
    EXPECT_EQ(writes[1].dwLength, 0x4000u);  // the length field of the padded last block too
    const std::vector<uint8_t> flash = m_pDevice->ReadFlash(ADDRESS, 32768);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), flash.begin()));
    EXPECT_TRUE(std::all_of(flash.begin() + 16385, flash.end(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(PartitionFileList[SLOT].m_dwFileSize, 16385u);
    EXPECT_EQ(PartitionFileList[SLOT].m_dwBytesWritten, 16385u);
    EXPECT_EQ(Percentages(), (std::vector<int32_t>{0, 100, 100}));  // 16300 / 163 after the first block
}

TEST_F(WritePartitionTest, FiftyThousandBytesReportTheirProgress)
{
    WriteFile(50000);
    EXPECT_EQ(WritePartition(SLOT), 1);
    EXPECT_EQ(Percentages(), (std::vector<int32_t>{0, 32, 65, 98, 100}));
    EXPECT_EQ(Statuses(), (std::vector<std::string>{"Erase Flash.... [EDGE5]", "Flash Writing.... [EDGE5]  0 of 50000",
                                                    "Flash Writing.... [EDGE5]  16384 of 50000",
                                                    "Flash Writing.... [EDGE5]  32768 of 50000",
                                                    "Flash Writing.... [EDGE5]  49152 of 50000", "Download complete!"}));
    std::vector<int> tags;
    for (const auto& entry : Commands(Sim::KIND_WRITE)) {
        tags.push_back(entry.byTag);
    }
    EXPECT_EQ(tags, (std::vector<int>{2, 3, 0, 1}));
    EXPECT_EQ(Commands(Sim::KIND_ERASE)[0].dwLength, 65536u);
}

TEST_F(WritePartitionTest, EmptyAndTinyFiles)
{
    WriteFile(0);
    EXPECT_EQ(WritePartition(SLOT), 1);
    ASSERT_EQ(Commands(Sim::KIND_ERASE).size(), 1u);
    EXPECT_EQ(Commands(Sim::KIND_ERASE)[0].dwLength, 0u);
    EXPECT_TRUE(Commands(Sim::KIND_WRITE).empty());
    EXPECT_EQ(Percentages(), (std::vector<int32_t>{0}));

    // Under 100 bytes the percentage formula has no hundredth to divide by: a written file is 100%.
    m_reports.clear();
    WriteFile(50);
    EXPECT_EQ(WritePartition(SLOT), 1);
    EXPECT_EQ(Percentages(), (std::vector<int32_t>{0, 100}));
    EXPECT_EQ(PartitionPercent(0, 99), 0);
    EXPECT_EQ(PartitionPercent(99, 99), 100);
}

TEST_F(WritePartitionTest, MissingFileAndRepeatedBlocks)
{
    std::snprintf(PartitionFileList[SLOT].m_szPath, PARTITION_PATH_BYTES, "NOFILE");
    EXPECT_EQ(WritePartition(SLOT), 0);
    EXPECT_EQ(Statuses(), (std::vector<std::string>{"ERR: No File"}));

    // A block that is not acknowledged is sent once more with the same tag.
    m_pDevice->SetFaults({Rule(Sim::FAULT_NO_REPLY, Sim::KIND_WRITE, 0, 1)});
    WriteFile(16384);
    EXPECT_EQ(WritePartition(SLOT), 1);
    const auto writes = Commands(Sim::KIND_WRITE);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].byTag, 2);
    EXPECT_EQ(writes[1].byTag, 2);
    EXPECT_EQ(writes[1].dwAddress, ADDRESS);
}

TEST_F(WritePartitionTest, AFileWhoseSizeCannotBeToldIsNotFlashed)
{
    // A pipe has bytes to read but no size: it must not pass for an empty partition that is done.
    WriteFile(0);
    ASSERT_EQ(std::remove("EDGE5"), 0);
    ASSERT_EQ(mkfifo("EDGE5", 0600), 0);
    const int fdPipe = open("EDGE5", O_RDWR | O_NONBLOCK);
    ASSERT_GE(fdPipe, 0);
    const std::vector<uint8_t> bytes(100, 0x42);
    ASSERT_EQ(write(fdPipe, bytes.data(), bytes.size()), 100);
    EXPECT_EQ(WritePartition(SLOT), 0);
    close(fdPipe);
    EXPECT_TRUE(Commands(Sim::KIND_ERASE).empty());
    EXPECT_TRUE(Commands(Sim::KIND_WRITE).empty());
    EXPECT_EQ(Statuses(), (std::vector<std::string>{"ERR: Cannot tell the size of [EDGE5]"}));
}

TEST_F(WritePartitionTest, PartitionsOfTwoGigabytesAndMoreKeepTheirSize)
{
    // Sparse files: the size is what counts. The simulated flash is far smaller, so the device refuses
    // the erase; what matters is the length it was asked to erase.
    WriteFile(0);
    ASSERT_EQ(truncate("EDGE5", 0xA0000000), 0);  // 2.5 GiB, above every 32-bit signed size
    EXPECT_EQ(WritePartition(SLOT), 0);
    ASSERT_FALSE(Commands(Sim::KIND_ERASE).empty());
    for (const auto& erase : Commands(Sim::KIND_ERASE)) {
        EXPECT_EQ(erase.dwLength, 0xA0000000u);
    }
    EXPECT_EQ(PartitionFileList[SLOT].m_dwFileSize, 0xA0000000u);
    EXPECT_EQ(MessageText, "Error in Erasing Flash!");

    // 5 GiB cannot be erased with a 32-bit length: refused before the device hears of it.
    ASSERT_EQ(truncate("EDGE5", 0x140000000), 0);
    const size_t nErases = Commands(Sim::KIND_ERASE).size();
    EXPECT_EQ(WritePartition(SLOT), 0);
    EXPECT_EQ(Commands(Sim::KIND_ERASE).size(), nErases);
}
