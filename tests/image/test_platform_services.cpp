// The platform services that image staging stands on: embedded blobs, MD5, the temporary folder and files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/md5.h"
#include "platform/resources.h"

namespace {

std::string Hex(const uint8_t* p, size_t n)
{
    std::string str;
    char sz[3];
    for (size_t i = 0; i < n; ++i) {
        snprintf(sz, sizeof sz, "%02x", p[i]);
        str += sz;
    }
    return str;
}

TEST(ResourceBlobTest, FindsEmbeddedBlobByTypeInAnyCase)
{
    // tests/image/CMakeLists.txt embeds "blob-901:" followed by 3000 letters 'A' + i % 26 as "File" 901.
    Platform::ResourceBlob blob;
    ASSERT_TRUE(Platform::FindResourceBlob("File", 901, &blob));
    ASSERT_EQ(blob.nSize, 9u + 3000u);
    EXPECT_EQ(memcmp(blob.pData, "blob-901:", 9), 0);
    for (size_t i = 0; i < 3000; ++i)
        ASSERT_EQ(blob.pData[9 + i], 'A' + i % 26) << i;

    Platform::ResourceBlob upper;
    ASSERT_TRUE(Platform::FindResourceBlob("FILE", 901, &upper));
    EXPECT_EQ(upper.pData, blob.pData);
    EXPECT_EQ(upper.nSize, blob.nSize);
}

TEST(ResourceBlobTest, MissingTypeOrIdIsNotFound)
{
    Platform::ResourceBlob blob;
    EXPECT_FALSE(Platform::FindResourceBlob("File", 902, &blob));
    EXPECT_FALSE(Platform::FindResourceBlob("BITMAP", 901, &blob));
    EXPECT_FALSE(Platform::FindResourceBlob(nullptr, 901, &blob));
}

TEST(Md5Test, KnownDigestsOneShotAndInPieces)
{
    uint8_t ab[16];
    ASSERT_TRUE(Platform::ComputeMd5("", 0, ab));
    EXPECT_EQ(Hex(ab, 16), "d41d8cd98f00b204e9800998ecf8427e");
    ASSERT_TRUE(Platform::ComputeMd5("abc", 3, ab));
    EXPECT_EQ(Hex(ab, 16), "900150983cd24fb0d6963f7d28e17f72");

    const char* psz = "The quick brown fox jumps over the lazy dog";
    Platform::CMd5 md5;
    ASSERT_TRUE(md5.Update(psz, 10));
    ASSERT_TRUE(md5.Update(psz + 10, strlen(psz) - 10));
    ASSERT_TRUE(md5.Final(ab));
    EXPECT_EQ(Hex(ab, 16), "9e107d9d372bb6826bd81d3542a419d6");
}

TEST(FilesTest, TempFolderBecomesCurrentAndTakesBackslashPaths)
{
#ifndef _WIN32
    const char* pszTmp = getenv("TMPDIR");
    std::filesystem::path base = std::filesystem::canonical(pszTmp != nullptr && *pszTmp != '\0' ? pszTmp : "/tmp");
#endif
    std::string strFolder;
    ASSERT_TRUE(Platform::EnterTempFolder(&strFolder));
    ASSERT_FALSE(strFolder.empty());
    char chLast = strFolder.back();
    EXPECT_TRUE(chLast == '/' || chLast == '\\');
#ifndef _WIN32
    // A private folder of its own under $TMPDIR, not a fixed name in a shared /tmp.
    std::filesystem::path folder(strFolder.substr(0, strFolder.size() - 1));
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(std::filesystem::is_symlink(folder));
    EXPECT_EQ(folder.parent_path(), base);
    EXPECT_EQ(folder.filename().string().rfind("krt-p940.", 0), 0u);
    std::string strAgain;
    ASSERT_TRUE(Platform::EnterTempFolder(&strAgain));
    EXPECT_EQ(strAgain, strFolder);
#endif

    // Composed the way the wizard composes the staged image path.
    std::string strPath = strFolder + "\\krt_files_test.bin";
    FILE* pFile = Platform::OpenFile(strPath.c_str(), "wb");
    ASSERT_NE(pFile, nullptr);
    fputs("12345", pFile);
    fclose(pFile);

    // The relative name reaches the same file: the folder is current.
    EXPECT_TRUE(Platform::FileExists("krt_files_test.bin"));
    uint64_t nSize = 0;
    ASSERT_TRUE(Platform::GetFileSize(strPath.c_str(), &nSize));
    EXPECT_EQ(nSize, 5u);

    Platform::CMappedFile mapped;
    ASSERT_TRUE(mapped.Open("krt_files_test.bin"));
    ASSERT_EQ(mapped.Size(), 5u);
    EXPECT_EQ(memcmp(mapped.Data(), "12345", 5), 0);
    mapped.Close();

    EXPECT_TRUE(Platform::DeleteFileAt(strPath.c_str()));
    EXPECT_FALSE(Platform::FileExists(strPath.c_str()));
    EXPECT_FALSE(Platform::DeleteFileAt(strPath.c_str()));
    EXPECT_EQ(Platform::OpenFile("krt_files_test.bin", "rb"), nullptr);
}

TEST(FilesTest, FreeSpaceIsThatOfTheFolderFileSystem)
{
    std::string strFolder;
    ASSERT_TRUE(Platform::EnterTempFolder(&strFolder));
    uint64_t nFree = 0;
    ASSERT_TRUE(Platform::GetFreeDiskSpace(strFolder.c_str(), &nFree));
    // Read another way; other writers on the machine may move it a little meanwhile.
    const std::filesystem::space_info space = std::filesystem::space(std::filesystem::current_path());
    EXPECT_NEAR(static_cast<double>(nFree), static_cast<double>(space.available), 256.0 * 1024 * 1024);
    EXPECT_GT(nFree, 0u);
    EXPECT_FALSE(Platform::GetFreeDiskSpace((strFolder + "no-such-folder\\").c_str(), &nFree));
}

}  // namespace
