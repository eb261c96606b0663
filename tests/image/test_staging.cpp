// Staging of the shipped image (resource "File" 132) end to end: staged file, parse, partition files,
// partition list, clean-up.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/container.h"
#include "image/partition_files.h"
#include "image/staging.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/resources.h"

namespace {

const char* const SHIPPED_FILES[] = {"MIBI0", "SIM_1", "FSBL2", "OSBL3", "AMSS4", "DSP15", "DSP26", "FOEN7"};
const uint32_t SHIPPED_BLOCKS[] = {6, 4, 2, 4, 24, 24, 391, 4};
const uint32_t SHIPPED_FLASH[] = {0x00000000, 0x00140000, 0x00200000, 0x00260000,
                                  0x00300000, 0x00660000, 0x009C0000, 0x03C80000};
constexpr uint64_t SHIPPED_BYTES = 62043136;

class StagingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetMessageSink([this](const std::string& strText, const std::string&) { m_messages.push_back(strText); });
    }
    void TearDown() override { Platform::SetMessageSink(nullptr); }

    // Stage, parse and cut as a download run does.
    void RunStaging()
    {
        ASSERT_TRUE(StageFirmwareImage(FIRMWARE_RESOURCE_ID, &m_strPath));
        ASSERT_EQ(ParseContainer(m_strPath.c_str()), 0);
        ASSERT_EQ(MakePartitionFiles(m_strPath.c_str()), 0);
        BuildPartitionFileList();
    }

    std::string m_strPath;
    std::vector<std::string> m_messages;
};

TEST_F(StagingTest, StagedFileIsTheEmbeddedImage)
{
    Platform::ResourceBlob blob;
    ASSERT_TRUE(Platform::FindResourceBlob("File", FIRMWARE_RESOURCE_ID, &blob));
    ASSERT_EQ(blob.nSize, SHIPPED_BYTES);

    ASSERT_TRUE(StageFirmwareImage(FIRMWARE_RESOURCE_ID, &m_strPath));
    EXPECT_EQ(m_strPath.substr(m_strPath.size() - 17), "\\CorvidT_wdl4.bin");
    // The folder is current: the bare name reaches the staged file.
    EXPECT_TRUE(Platform::FileExists("CorvidT_wdl4.bin"));
    Platform::CMappedFile staged;
    ASSERT_TRUE(staged.Open(m_strPath.c_str()));
    ASSERT_EQ(staged.Size(), SHIPPED_BYTES);
    EXPECT_EQ(memcmp(staged.Data(), blob.pData, blob.nSize), 0);
    EXPECT_EQ(memcmp(staged.Data(), "LOCKPCHD", 8), 0);
    EXPECT_EQ(memcmp(staged.Data() + 32, "Corvid_T\0", 9), 0);
    staged.Close();
    RemoveStagedFiles(m_strPath.c_str());
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StagingTest, ShippedImageCutsIntoEightPartitionFilesWithoutSpareBytes)
{
    RunStaging();
    ASSERT_EQ(ContainerInfo.m_nCount, 8);
    EXPECT_EQ(ContainerInfo.m_records[6].m_dwImageEnd, 0x038E0000u);
    EXPECT_EQ(ContainerInfo.m_records[7].m_dwFlashEnd, 0x03D00000u);

    Platform::CMappedFile image;
    ASSERT_TRUE(image.Open(m_strPath.c_str()));
    // SIM_'s first page is where the format puts it.
    EXPECT_EQ(memcmp(image.Data() + 0x000C6400, "SIM_ #1 block 0 page 0\n", 23), 0);

    for (int i = 0; i < 8; ++i) {
        EXPECT_STREQ(ContainerInfo.m_records[i].m_szFileName, SHIPPED_FILES[i]);
        Platform::CMappedFile part;
        ASSERT_TRUE(part.Open(SHIPPED_FILES[i])) << SHIPPED_FILES[i];
        ASSERT_EQ(part.Size(), SHIPPED_BLOCKS[i] * 131072u) << SHIPPED_FILES[i];
        // Every page equals the image's page data; no byte of a spare area (all >= 0x80) slipped in.
        const uint32_t dwStart = ContainerInfo.m_records[i].m_dwImageStart;
        size_t nBad = 0, nSpareLike = 0;
        for (size_t nOffset = 0; nOffset < part.Size(); nOffset += 2048) {
            const uint8_t* pImagePage = image.Data() + ContainerInfo.FileOffset(dwStart + static_cast<uint32_t>(nOffset));
            nBad += memcmp(part.Data() + nOffset, pImagePage, 2048) != 0;
        }
        for (size_t n = 0; n < part.Size(); ++n)
            nSpareLike += part.Data()[n] >= 0x80;
        EXPECT_EQ(nBad, 0u) << SHIPPED_FILES[i];
        EXPECT_EQ(nSpareLike, 0u) << SHIPPED_FILES[i];
        char szFirst[64];
        snprintf(szFirst, sizeof szFirst, "%.4s #%d block 0 page 0\n", SHIPPED_FILES[i], i);
        EXPECT_EQ(memcmp(part.Data(), szFirst, strlen(szFirst)), 0) << SHIPPED_FILES[i];
    }

    // DSP26 begins with the image bytes at 0x840400.
    Platform::CMappedFile dsp2;
    ASSERT_TRUE(dsp2.Open("DSP26"));
    EXPECT_EQ(memcmp(dsp2.Data(), image.Data() + 0x840400, 2048), 0);
    dsp2.Close();
    image.Close();

    for (int i = 0; i < PARTITION_SLOTS; ++i) {
        if (i < 8) {
            EXPECT_EQ(PartitionFileList[i].m_nIndex, i);
            EXPECT_STREQ(PartitionFileList[i].m_szPath, SHIPPED_FILES[i]);
            EXPECT_STREQ(PartitionNames[i], SHIPPED_FILES[i]);
            EXPECT_EQ(PartitionFileList[i].m_dwFlashAddress, SHIPPED_FLASH[i]);
        } else {
            EXPECT_EQ(PartitionFileList[i].m_nIndex, -1) << i;
            EXPECT_STREQ(PartitionFileList[i].m_szPath, "") << i;
            EXPECT_EQ(PartitionFileList[i].m_dwFlashAddress, 0xFFFFFFFFu) << i;
        }
    }
    RemoveStagedFiles(m_strPath.c_str());
}

TEST_F(StagingTest, SecondRunOverwritesAndRemoveLeavesNothing)
{
    RunStaging();
    std::string strFirst = m_strPath;
    RunStaging();
    EXPECT_EQ(m_strPath, strFirst);
    EXPECT_STREQ(PartitionNames[6], "DSP26");
    EXPECT_STREQ(ContainerInfo.m_records[0].m_szFileName, "MIBI0");
    uint64_t nSize = 0;
    ASSERT_TRUE(Platform::GetFileSize(m_strPath.c_str(), &nSize));
    EXPECT_EQ(nSize, SHIPPED_BYTES);

    RemoveStagedFiles(m_strPath.c_str());
    EXPECT_FALSE(Platform::FileExists(m_strPath.c_str()));
    for (const char* pszName : SHIPPED_FILES)
        EXPECT_FALSE(Platform::FileExists(pszName)) << pszName;
    // Twice is harmless.
    RemoveStagedFiles(m_strPath.c_str());
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StagingTest, MissingResourceShowsFileUnload)
{
    EXPECT_FALSE(StageFirmwareImage(133, &m_strPath));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "CorvidT_wdl4.bin file unload.");
    // The path is known, so the caller can delete whatever is there.
    EXPECT_NE(m_strPath.find("CorvidT_wdl4.bin"), std::string::npos);
}

TEST_F(StagingTest, StagingAFileOntoItselfLeavesItWhole)
{
    // A user's container that is the staged file itself must not be truncated by copying it onto itself.
    RunStaging();
    std::string strSource = m_strPath;
    std::string strStaged;
    EXPECT_FALSE(StageFirmwareFile(strSource.c_str(), &strStaged));
    uint64_t nSize = 0;
    ASSERT_TRUE(Platform::GetFileSize(strSource.c_str(), &nSize));
    EXPECT_EQ(nSize, SHIPPED_BYTES);
    EXPECT_TRUE(Platform::IsSameFile(strSource.c_str(), strSource.c_str()));
    EXPECT_FALSE(Platform::IsSameFile(strSource.c_str(), "MIBI0"));
    RemoveStagedFiles(strSource.c_str());
}

}  // namespace
