// The platform services that image staging stands on: embedded blobs, MD5, the temporary folder and files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// A process that stays alive until Stop, or one that has already ended.
class CTestProcess {
public:
    explicit CTestProcess(bool bAlive)
    {
#ifdef _WIN32
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        char szCommand[] = "cmd.exe";
        if (CreateProcessA(nullptr, szCommand, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &m_pi)) {
            m_nPid = m_pi.dwProcessId;
            if (!bAlive)
                Stop();
        }
#else
        m_nPid = fork();
        if (m_nPid == 0) {
            if (bAlive)
                pause();
            _exit(0);
        }
        if (!bAlive)
            Stop();
#endif
    }
    ~CTestProcess() { Stop(); }
    void Stop()
    {
#ifdef _WIN32
        if (m_pi.hProcess != nullptr) {
            TerminateProcess(m_pi.hProcess, 0);
            WaitForSingleObject(m_pi.hProcess, 5000);
            CloseHandle(m_pi.hProcess);
            CloseHandle(m_pi.hThread);
            m_pi = {};
        }
#else
        if (m_nPid > 0 && !m_bStopped) {
            kill(m_nPid, SIGKILL);
            waitpid(m_nPid, nullptr, 0);
            m_bStopped = true;
        }
#endif
    }
    long Pid() const { return static_cast<long>(m_nPid); }

private:
#ifdef _WIN32
    PROCESS_INFORMATION m_pi = {};
    DWORD m_nPid = 0;
#else
    pid_t m_nPid = -1;
    bool m_bStopped = false;
#endif
};

// A flasher stages in a folder of its own, never among the fixed names the wizard keeps in the per-user
// folder; folders of runs whose process has gone are removed with their files, those of live ones kept.
TEST(FilesTest, PrivateFoldersKeepOffOtherProgramsAndOrphansGo)
{
#ifdef _WIN32
    char szBase[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, szBase), 0u);
    const std::filesystem::path base = std::filesystem::path(szBase).parent_path();  // without the trailing '\\'

#else
    const char* pszTmp = getenv("TMPDIR");
    const std::filesystem::path base = std::filesystem::canonical(pszTmp != nullptr && *pszTmp != '\0' ? pszTmp : "/tmp");
#endif
    CTestProcess dead(false), alive(true);
    ASSERT_GT(dead.Pid(), 0);
    ASSERT_GT(alive.Pid(), 0);
    auto make = [](const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "AMSS4") << "left behind";
    };
    const std::string strDead = std::to_string(dead.Pid()), strAlive = std::to_string(alive.Pid());
    const std::filesystem::path stale = base / ("krt-p940." + strDead + ".7");
    const std::filesystem::path staleParent = base / ("krt-flash." + strDead + ".1");
    const std::filesystem::path live = base / ("krt-p940." + strAlive + ".7");
    make(stale);
    make(staleParent / ("krt-p940." + strDead + ".2"));
    make(live);
    std::ofstream(base / "CorvidT_wdl4.bin") << "the wizard's";

    Platform::UsePrivateTempFolder();
    std::string strFolder;
    ASSERT_TRUE(Platform::EnterTempFolder(&strFolder));
    const std::filesystem::path mine(strFolder.substr(0, strFolder.size() - 1));
    EXPECT_EQ(mine.parent_path(), base);
    EXPECT_EQ(mine.filename().string().rfind("krt-p940.", 0), 0u) << mine;

    EXPECT_EQ(Platform::RemoveOrphanedTempFolders(), 2);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_FALSE(std::filesystem::exists(staleParent));
    EXPECT_TRUE(std::filesystem::exists(live / "AMSS4")) << "the folder of a running process was removed";
    EXPECT_TRUE(std::filesystem::exists(mine)) << "its own folder was removed";
    EXPECT_TRUE(std::filesystem::exists(base / "CorvidT_wdl4.bin"));
    std::filesystem::remove_all(live);
    std::filesystem::remove(base / "CorvidT_wdl4.bin");
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
