// Cutting a staged container into partition files and listing them, on small containers.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image/container.h"
#include "image/partition_files.h"
#include "image/staging.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "resources/mkimage/container_writer.h"

namespace {

std::vector<uint8_t> ReadFile(const char* pszPath)
{
    std::vector<uint8_t> bytes;
    FILE* pFile = Platform::OpenFile(pszPath, "rb");
    if (pFile == nullptr)
        return bytes;
    uint8_t ab[4096];
    size_t n;
    while ((n = fread(ab, 1, sizeof ab, pFile)) > 0)
        bytes.insert(bytes.end(), ab, ab + n);
    fclose(pFile);
    return bytes;
}

// Partitions of 2 pages per block, with 4-byte spares so that page boundaries are easy to get wrong.
ContainerLayout LayoutWith(int nPartitions)
{
    ContainerLayout layout;
    layout.m_dwBlockSize = 0x400;
    layout.m_dwPageSize = 0x200;
    layout.m_dwRawPageSize = 0x204;
    for (int i = 0; i < nPartitions; ++i) {
        char szName[16];
        snprintf(szName, sizeof szName, "P%03d", i % 1000);
        uint32_t dwStart = static_cast<uint32_t>(i) * 4;
        layout.m_partitions.push_back({szName, dwStart, dwStart + 3, static_cast<uint32_t>(1 + i % 3)});
    }
    return layout;
}

class PartitionFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string strFolder;
        ASSERT_TRUE(Platform::EnterTempFolder(&strFolder));
        m_strImage = strFolder + "\\krt_partition_test.bin";
        Platform::SetMessageSink([this](const std::string& strText, const std::string&) { m_messages.push_back(strText); });
    }
    void TearDown() override
    {
        RemoveStagedFiles(m_strImage.c_str());
        Platform::SetMessageSink(nullptr);
    }

    void Stage(const ContainerLayout& layout)
    {
        m_bytes = BuildContainer(layout);
        FILE* pFile = Platform::OpenFile(m_strImage.c_str(), "wb");
        ASSERT_NE(pFile, nullptr);
        fwrite(m_bytes.data(), 1, m_bytes.size(), pFile);
        fclose(pFile);
        ASSERT_EQ(ParseContainer(m_strImage.c_str()), 0);
    }

    // The page data of partition i as the container holds it, spare bytes left out.
    std::vector<uint8_t> ExpectedData(int i)
    {
        std::vector<uint8_t> data;
        const PartitionRecord& record = ContainerInfo.m_records[i];
        for (uint32_t dw = record.m_dwImageStart; dw < record.m_dwImageEnd; dw += ContainerInfo.PageSize()) {
            const uint8_t* p = &m_bytes[ContainerInfo.FileOffset(dw)];
            data.insert(data.end(), p, p + ContainerInfo.PageSize());
        }
        return data;
    }

    std::string m_strImage;
    std::vector<uint8_t> m_bytes;
    std::vector<std::string> m_messages;
};

TEST_F(PartitionFilesTest, FourteenPartitionsGiveFilesForAllAndSlotsUpToTwelve)
{
    Stage(LayoutWith(14));
    ASSERT_EQ(MakePartitionFiles(m_strImage.c_str()), 0);
    BuildPartitionFileList();
    for (int i = 0; i < 14; ++i) {
        char szName[16];
        snprintf(szName, sizeof szName, "P%03d%d", i, i);
        EXPECT_STREQ(ContainerInfo.m_records[i].m_szFileName, szName);
        std::vector<uint8_t> data = ReadFile(szName);
        EXPECT_EQ(data.size(), (1u + i % 3) * 0x400u) << szName;
        EXPECT_TRUE(data == ExpectedData(i)) << szName;
    }
    for (int i = 0; i < PARTITION_SLOTS; ++i) {
        EXPECT_EQ(PartitionFileList[i].m_nIndex, i);
        EXPECT_STREQ(PartitionFileList[i].m_szPath, ContainerInfo.m_records[i].m_szFileName);
        EXPECT_STREQ(PartitionNames[i], ContainerInfo.m_records[i].m_szFileName);
        EXPECT_EQ(PartitionFileList[i].m_dwFlashAddress, static_cast<uint32_t>(i) * 4u * 0x400u);
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PartitionFilesTest, SecondRunReusesNamesAndFreesSlotsOfALargerFirstRun)
{
    Stage(LayoutWith(10));
    ASSERT_EQ(MakePartitionFiles(m_strImage.c_str()), 0);
    BuildPartitionFileList();
    PartitionFileList[3].m_nRow = 7;  // the download's own fields survive a rebuild
    // Cutting again without a new parse must not stack suffixes either.
    ASSERT_EQ(MakePartitionFiles(m_strImage.c_str()), 0);
    EXPECT_STREQ(ContainerInfo.m_records[9].m_szFileName, "P0099");
    RemoveStagedFiles(m_strImage.c_str());

    Stage(LayoutWith(4));
    ASSERT_EQ(MakePartitionFiles(m_strImage.c_str()), 0);
    BuildPartitionFileList();
    EXPECT_STREQ(PartitionFileList[3].m_szPath, "P0033");
    EXPECT_EQ(PartitionFileList[3].m_nRow, 7);
    for (int i = 4; i < PARTITION_SLOTS; ++i) {
        EXPECT_EQ(PartitionFileList[i].m_nIndex, FREE_SLOT) << i;
        EXPECT_STREQ(PartitionFileList[i].m_szPath, "") << i;
        EXPECT_EQ(PartitionFileList[i].m_dwFlashAddress, NO_FLASH_ADDRESS) << i;
    }
    EXPECT_FALSE(Platform::FileExists("P0099"));
}

TEST_F(PartitionFilesTest, FileThatCannotBeCreatedStopsWithTheMessage)
{
    Stage(LayoutWith(3));
    // A folder where the second partition file should go.
    ASSERT_TRUE(std::filesystem::create_directory("P0011"));
    EXPECT_EQ(MakePartitionFiles(m_strImage.c_str()), -1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "The file P0011 could not be opened.");
    EXPECT_EQ(ReadFile("P0000").size(), 0x400u);
    EXPECT_FALSE(Platform::FileExists("P0022"));
    std::filesystem::remove("P0011");

    // The clean-up after the early stop deletes partition files by their full names only: a file that
    // happens to carry a partition's bare name is not ours.
    FILE* pOther = Platform::OpenFile("P002", "wb");
    ASSERT_NE(pOther, nullptr);
    fclose(pOther);
    ASSERT_TRUE(std::filesystem::create_directory("P0011"));
    EXPECT_EQ(MakePartitionFiles(m_strImage.c_str()), -1);
    RemoveStagedFiles(m_strImage.c_str());
    EXPECT_TRUE(Platform::FileExists("P002"));
    EXPECT_FALSE(Platform::FileExists("P0000"));
    std::filesystem::remove("P0011");
    std::filesystem::remove("P002");
}

TEST_F(PartitionFilesTest, ImageShortenedAfterParseLeavesNoTruncatedFile)
{
    Stage(LayoutWith(3));
    // The last partition loses its last page after the check.
    std::vector<uint8_t> shorter(m_bytes.begin(), m_bytes.end() - 0x204);
    FILE* pFile = Platform::OpenFile(m_strImage.c_str(), "wb");
    ASSERT_NE(pFile, nullptr);
    fwrite(shorter.data(), 1, shorter.size(), pFile);
    fclose(pFile);

    EXPECT_EQ(MakePartitionFiles(m_strImage.c_str()), -1);
    EXPECT_EQ(ReadFile("P0000").size(), 0x400u);
    EXPECT_EQ(ReadFile("P0011").size(), 0x800u);
    EXPECT_FALSE(Platform::FileExists("P0022"));
}

TEST_F(PartitionFilesTest, MissingImageMakesNothing)
{
    Stage(LayoutWith(2));
    EXPECT_EQ(MakePartitionFiles("krt_no_such_image.bin"), -1);
    EXPECT_FALSE(Platform::FileExists("P0000"));
}

TEST_F(PartitionFilesTest, StagesAContainerFileGivenByPath)
{
    Stage(LayoutWith(2));
    std::string strStaged;
    ASSERT_TRUE(StageFirmwareFile(m_strImage.c_str(), &strStaged));
    EXPECT_NE(strStaged.find("CorvidT_wdl4.bin"), std::string::npos);
    EXPECT_TRUE(ReadFile(strStaged.c_str()) == m_bytes);
    RemoveStagedFiles(strStaged.c_str());
    EXPECT_FALSE(Platform::FileExists(strStaged.c_str()));
    EXPECT_FALSE(StageFirmwareFile("krt_no_such_image.bin", &strStaged));
}

}  // namespace
