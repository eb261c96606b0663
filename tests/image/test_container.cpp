// The container parser: the shipped table, and every file it must refuse.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/container.h"
#include "platform/files.h"
#include "resources/mkimage/container_writer.h"

namespace {

void PutLe32(std::vector<uint8_t>* pBytes, size_t nOffset, uint32_t dw)
{
    for (int i = 0; i < 4; ++i)
        (*pBytes)[nOffset + i] = static_cast<uint8_t>(dw >> (8 * i));
}

// Three partitions of 2 pages per block: small enough to build in every test.
ContainerLayout SmallLayout()
{
    ContainerLayout layout;
    layout.m_dwBlockSize = 0x1000;
    layout.m_dwPageSize = 0x800;
    layout.m_dwRawPageSize = 0x840;
    layout.m_partitions = {{"MIBI", 0, 3, 2}, {"SIM_", 4, 9, 1}, {"AMSS", 10, 19, 3}};
    return layout;
}

struct ShippedRow {
    const char* pszName;
    uint32_t dwFlashStart, dwFlashEnd, dwImageStart, dwImageEnd;
};

const ShippedRow SHIPPED_TABLE[] = {
    {"MIBI", 0x00000000, 0x000C0000, 0x00000000, 0x000C0000},
    {"SIM_", 0x00140000, 0x001C0000, 0x000C0000, 0x00140000},
    {"FSBL", 0x00200000, 0x00240000, 0x00140000, 0x00180000},
    {"OSBL", 0x00260000, 0x002E0000, 0x00180000, 0x00200000},
    {"AMSS", 0x00300000, 0x00600000, 0x00200000, 0x00500000},
    {"DSP1", 0x00660000, 0x00960000, 0x00500000, 0x00800000},
    {"DSP2", 0x009C0000, 0x03AA0000, 0x00800000, 0x038E0000},
    {"FOEN", 0x03C80000, 0x03D00000, 0x038E0000, 0x03960000},
};

TEST(ContainerTest, ShippedTableGivesTheEightRecords)
{
    ContainerLayout layout = ShippedLayout();
    ASSERT_EQ(ContainerBytes(layout), 62043136u);
    uint8_t abDigest[16] = {};
    std::vector<uint8_t> header = MakeHeader(layout, abDigest);

    CContainerInfo info;
    ASSERT_EQ(DecodeContainerHeader(header.data(), ContainerBytes(layout), &info), 0);
    ASSERT_EQ(info.m_nCount, 8);
    EXPECT_EQ(info.BlockSize(), 0x20000u);
    EXPECT_EQ(info.PageSize(), 0x800u);
    EXPECT_EQ(info.SpareSize(), 64u);
    for (int i = 0; i < 8; ++i) {
        const PartitionRecord& record = info.m_records[i];
        EXPECT_STREQ(record.m_szFileName, SHIPPED_TABLE[i].pszName);
        EXPECT_EQ(record.m_dwFlashStart, SHIPPED_TABLE[i].dwFlashStart) << i;
        EXPECT_EQ(record.m_dwFlashEnd, SHIPPED_TABLE[i].dwFlashEnd) << i;
        EXPECT_EQ(record.m_dwImageStart, SHIPPED_TABLE[i].dwImageStart) << i;
        EXPECT_EQ(record.m_dwImageEnd, SHIPPED_TABLE[i].dwImageEnd) << i;
    }
    // SIM_'s data follows MIBI's 384 raw pages, although its flash region starts later.
    EXPECT_EQ(info.FileOffset(info.m_records[1].m_dwImageStart), 0x000C6400u);
    EXPECT_EQ(memcmp(info.m_abHeader, header.data(), HEADER_COPY_BYTES), 0);
}

TEST(ContainerTest, SmallContainerDecodesWithDigest)
{
    std::vector<uint8_t> bytes = BuildContainer(SmallLayout());
    ASSERT_EQ(bytes.size(), 1024u + 12u * 0x840u);
    CContainerInfo info;
    ASSERT_EQ(DecodeContainer(bytes.data(), bytes.size(), &info), 0);
    EXPECT_EQ(info.m_nCount, 3);
    EXPECT_EQ(info.m_records[2].m_dwImageStart, 0x3000u);
    EXPECT_EQ(info.m_records[2].m_dwFlashStart, 10u * 0x1000u);
    // The first data byte of AMSS is its page header line, at the page after six raw pages.
    uint64_t nOffset = info.FileOffset(info.m_records[2].m_dwImageStart);
    EXPECT_EQ(nOffset, 1024u + 6u * 0x840u);
    EXPECT_EQ(memcmp(&bytes[nOffset], "AMSS #2 block 0 page 0", 22), 0);
}

TEST(ContainerTest, CountZeroOrNegativeHasNoRecords)
{
    ContainerLayout layout = SmallLayout();
    layout.m_partitions.clear();
    std::vector<uint8_t> bytes = BuildContainer(layout);
    CContainerInfo info;
    ASSERT_EQ(DecodeContainer(bytes.data(), bytes.size(), &info), 0);
    EXPECT_EQ(info.m_nCount, 0);
    EXPECT_EQ(info.RecordCount(), 0);

    PutLe32(&bytes, HDR_PARTITION_COUNT, 0xFFFFFFFFu);
    ASSERT_EQ(DecodeContainer(bytes.data(), bytes.size(), &info), 0);
    EXPECT_EQ(info.m_nCount, -1);
    EXPECT_EQ(info.RecordCount(), 0);
}

// Each case edits a valid container (digest resealed) and must be refused.
struct Rejection {
    const char* pszWhat;
    void (*pfnEdit)(std::vector<uint8_t>*);
};

const Rejection REJECTIONS[] = {
    {"magic differs in case", [](std::vector<uint8_t>* p) { (*p)[5] = 'c'; }},
    {"count 17", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_PARTITION_COUNT, 17); }},
    {"page size 0", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_PAGE_SIZE, 0); }},
    {"raw page size 0", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_RAW_PAGE_SIZE, 0); }},
    {"raw page below page", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_RAW_PAGE_SIZE, 0x7FF); }},
    {"spare larger than the page", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_RAW_PAGE_SIZE, 0x1001); }},
    {"page of 128 KiB", [](std::vector<uint8_t>* p) {
         PutLe32(p, HDR_PAGE_SIZE, 0x20000);
         PutLe32(p, HDR_RAW_PAGE_SIZE, 0x20000);
         PutLe32(p, HDR_BLOCK_SIZE, 0x20000);
     }},
    {"raw page of 4 GB and no data", [](std::vector<uint8_t>* p) {
         PutLe32(p, HDR_PAGE_SIZE, 1);
         PutLe32(p, HDR_BLOCK_SIZE, 1);
         PutLe32(p, HDR_RAW_PAGE_SIZE, 0xFFFFFFF0u);
         for (int i = 0; i < 6; ++i) {
             PutLe32(p, HDR_PARTITION_TABLE + 16 * i + 8, 0);
         }
     }},
    {"block size 0", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_BLOCK_SIZE, 0); }},
    {"block not a multiple of page", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_BLOCK_SIZE, 0x1400); }},
    {"flash end past 4 GB", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_PARTITION_TABLE + 16, 0xFFFFF); }},
    {"image end past 4 GB",
     [](std::vector<uint8_t>* p) { PutLe32(p, HDR_PARTITION_TABLE + 16 + 8, 0x100000u); }},
    {"block count wraps", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_PARTITION_TABLE + 8, 0xFFFFFFFFu); }},
    {"one more block than the file has", [](std::vector<uint8_t>* p) { PutLe32(p, HDR_PARTITION_TABLE + 40, 4); }},
    {"name with a path separator", [](std::vector<uint8_t>* p) { memcpy(&(*p)[HDR_PARTITION_TABLE + 28], "a/bc", 4); }},
    {"name with a backslash", [](std::vector<uint8_t>* p) { memcpy(&(*p)[HDR_PARTITION_TABLE + 28], "a\\bc", 4); }},
    {"name with ..", [](std::vector<uint8_t>* p) { memcpy(&(*p)[HDR_PARTITION_TABLE + 12], "..ab", 4); }},
    {"name with a control character",
     [](std::vector<uint8_t>* p) { memcpy(&(*p)[HDR_PARTITION_TABLE + 44], "AM\nS", 4); }},
    {"name with a NUL", [](std::vector<uint8_t>* p) { memcpy(&(*p)[HDR_PARTITION_TABLE + 44], "AM\0S", 4); }},
    {"name with a drive colon", [](std::vector<uint8_t>* p) { memcpy(&(*p)[HDR_PARTITION_TABLE + 12], "C:ab", 4); }},
    {"name of a device", [](std::vector<uint8_t>* p) { memcpy(&(*p)[HDR_PARTITION_TABLE + 12], "aux.", 4); }},
};

TEST(ContainerTest, RefusesUnsoundHeaders)
{
    const std::vector<uint8_t> valid = BuildContainer(SmallLayout());
    for (const Rejection& rejection : REJECTIONS) {
        std::vector<uint8_t> bytes = valid;
        rejection.pfnEdit(&bytes);
        SealContainer(&bytes);
        CContainerInfo info;
        info.m_nCount = 99;
        EXPECT_EQ(DecodeContainer(bytes.data(), bytes.size(), &info), -1) << rejection.pszWhat;
        EXPECT_EQ(info.m_nCount, 99) << rejection.pszWhat << ": refused but changed";
    }
}

TEST(ContainerTest, RefusesShortFilesAndWrongDigest)
{
    std::vector<uint8_t> bytes = BuildContainer(SmallLayout());
    CContainerInfo info;
    // One byte short of the pages the table describes.
    EXPECT_EQ(DecodeContainer(bytes.data(), bytes.size() - 1, &info, DIGEST_IGNORE), -1);
    // Shorter than a header, magic intact.
    EXPECT_EQ(DecodeContainer(bytes.data(), 1023, &info, DIGEST_IGNORE), -1);

    // A flipped data bit or a flipped spare bit breaks the digest; the layout alone still passes.
    for (size_t nOffset : {size_t{1024 + 100}, size_t{1024 + 0x800 + 3}, bytes.size() - 1}) {
        std::vector<uint8_t> bad = bytes;
        bad[nOffset] ^= 0x01;
        EXPECT_EQ(DecodeContainer(bad.data(), bad.size(), &info), -1) << nOffset;
        EXPECT_EQ(DecodeContainer(bad.data(), bad.size(), &info, DIGEST_IGNORE), 0) << nOffset;
    }
    // Trailing bytes are covered by the digest too.
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0xFF);
    EXPECT_EQ(DecodeContainer(longer.data(), longer.size(), &info), -1);
    SealContainer(&longer);
    EXPECT_EQ(DecodeContainer(longer.data(), longer.size(), &info), 0);
}

TEST(ContainerTest, SafeNamesOfTheShippedTableAndOthers)
{
    for (const char* psz : {"MIBI", "SIM_", "DSP2", "efs2", "A.b-", "NULL", "CON_", ".abc"})
        EXPECT_TRUE(IsSafePartitionName(psz)) << psz;
    for (const char* psz : {"..ab", "ab..", "a b ", "a*bc", "a|bc", "nul.", "\x7F" "abc", "\xC3\xA9" "ab"})
        EXPECT_FALSE(IsSafePartitionName(psz)) << psz;
}

class ParseContainerFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string strFolder;
        ASSERT_TRUE(Platform::EnterTempFolder(&strFolder));
        m_strPath = strFolder + "\\krt_parse_test.bin";
    }
    void TearDown() override { Platform::DeleteFileAt(m_strPath.c_str()); }

    void WriteFile(const std::vector<uint8_t>& bytes)
    {
        FILE* pFile = Platform::OpenFile(m_strPath.c_str(), "wb");
        ASSERT_NE(pFile, nullptr);
        ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), pFile), bytes.size());
        fclose(pFile);
    }

    std::string m_strPath;
};

TEST_F(ParseContainerFileTest, ParsesAFileAndKeepsTheLastGoodResultOnRefusal)
{
    std::vector<uint8_t> bytes = BuildContainer(SmallLayout());
    WriteFile(bytes);
    ASSERT_EQ(ParseContainer(m_strPath.c_str()), 0);
    EXPECT_EQ(ContainerInfo.m_nCount, 3);
    EXPECT_STREQ(ContainerInfo.m_records[1].m_szFileName, "SIM_");

    // Wrong magic, bad digest, truncated, missing: -1 and ContainerInfo untouched.
    std::vector<uint8_t> bad = bytes;
    bad[0] = 'l';
    WriteFile(bad);
    EXPECT_EQ(ParseContainer(m_strPath.c_str()), -1);
    bad = bytes;
    bad[2000] ^= 0x40;
    WriteFile(bad);
    EXPECT_EQ(ParseContainer(m_strPath.c_str()), -1);
    WriteFile(std::vector<uint8_t>(bytes.begin(), bytes.end() - 64));
    EXPECT_EQ(ParseContainer(m_strPath.c_str()), -1);
    WriteFile(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 1000));
    EXPECT_EQ(ParseContainer(m_strPath.c_str()), -1);
    EXPECT_EQ(ParseContainer("krt_no_such_container.bin"), -1);
    EXPECT_EQ(ContainerInfo.m_nCount, 3);
    EXPECT_EQ(ContainerInfo.m_records[2].m_dwImageEnd, 0x6000u);
}

}  // namespace

// Tables whose regions would let one partition's erase or writes reach another: refused by every path
// (the download's file parser and the in-memory decoder), naming the partitions.
TEST(ContainerTest, RefusesFlashLayoutsThatReachAnotherPartition)
{
    struct Case {
        const char* pszWhat;
        void (*pfnEdit)(ContainerLayout*);
        const char* pszNames;
    };
    const Case CASES[] = {
        {"AMSS from block 2, over MIBI", [](ContainerLayout* p) { p->m_partitions[4].m_dwStartBlock = 2; },
         "MIBI (blocks 0 to 9) and AMSS (blocks 2 to 50)"},
        {"DSP1 starting inside AMSS", [](ContainerLayout* p) { p->m_partitions[5].m_dwStartBlock = 40; },
         "AMSS (blocks 24 to 50) and DSP1 (blocks 40 to 77)"},
        {"5 blocks in a 3-block region",
         [](ContainerLayout* p) { p->m_partitions[2].m_dwBlockCount = 5; }, "FSBL carries 5 blocks"},
        {"end before start", [](ContainerLayout* p) { p->m_partitions[7].m_dwEndBlock = 480; }, "FOEN"},
    };
    const std::string strPath = testing::TempDir() + "layout.bin";
    for (const Case& c : CASES) {
        ContainerLayout layout = ShippedLayout();
        // The shipped table, its page data cut to one block per partition so each case builds quickly.
        for (PartitionSpec& spec : layout.m_partitions)
            spec.m_dwBlockCount = spec.m_dwBlockCount == 0 ? 0 : 1;
        layout.m_partitions[2].m_dwBlockCount = 2;
        std::vector<uint8_t> bytes = BuildContainer(layout);
        CContainerInfo info;
        ASSERT_EQ(DecodeContainer(bytes.data(), bytes.size(), &info), 0) << c.pszWhat << ": the valid table";
        c.pfnEdit(&layout);
        bytes = BuildContainer(layout);
        std::string strFault;
        EXPECT_EQ(DecodeContainer(bytes.data(), bytes.size(), &info, DIGEST_VERIFY, &strFault), -1) << c.pszWhat;
        EXPECT_NE(strFault.find(c.pszNames), std::string::npos) << c.pszWhat << ": " << strFault;
        FILE* pFile = Platform::OpenFile(strPath.c_str(), "wb");
        ASSERT_NE(pFile, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), pFile);
        fclose(pFile);
        strFault.clear();
        EXPECT_EQ(ParseContainer(strPath.c_str(), &strFault), -1) << c.pszWhat;
        EXPECT_NE(strFault.find(c.pszNames), std::string::npos) << c.pszWhat << ": " << strFault;
    }
    Platform::DeleteFileAt(strPath.c_str());
}
