#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/common/temp_folder_name.h"

namespace Platform {
namespace {

// Paths composed the Windows way carry '\'; here they are separators too.
std::string NativePath(const char* pszPath)
{
    std::string strPath = pszPath != nullptr ? pszPath : "";
    for (char& ch : strPath) {
        if (ch == '\\')
            ch = '/';
    }
    return strPath;
}

std::mutex s_tempMutex;
std::string s_strTempFolder;  // without the trailing '/'

void RemoveTempFolder()
{
    // Only when empty: whatever a run left behind stays for the user to see.
    if (!s_strTempFolder.empty())
        rmdir(s_strTempFolder.c_str());
}

std::string TempBase()
{
    const char* pszBase = getenv("TMPDIR");
    std::string strBase = (pszBase != nullptr && *pszBase != '\0') ? pszBase : "/tmp";
    while (strBase.size() > 1 && strBase.back() == '/')
        strBase.pop_back();
    return strBase;
}

// mkdtemp makes the directory with mode 0700 under a fresh random name, so nobody else can have
// prepared it (no fixed name in a shared folder).
bool MakeTempFolder()
{
    // The process id in the name lets a later run tell a folder whose process has gone.
    std::string strTemplate = TempBase() + "/krt-p940." + std::to_string(getpid()) + ".XXXXXX";
    if (mkdtemp(strTemplate.data()) == nullptr)
        return false;
    // Absolute, so that it can be made current again after a relative $TMPDIR has moved on.
    char* pszReal = realpath(strTemplate.c_str(), nullptr);
    if (pszReal == nullptr) {
        rmdir(strTemplate.c_str());
        return false;
    }
    s_strTempFolder = pszReal;
    free(pszReal);
    atexit(RemoveTempFolder);
    return true;
}

}  // namespace

void UsePrivateTempFolder() {}

namespace {

// Files and folders under strPath, then strPath itself; links are removed, never followed.
void RemoveTree(const std::string& strPath, int nDepth)
{
    if (DIR* pDir = opendir(strPath.c_str())) {
        while (dirent* pEntry = readdir(pDir)) {
            if (strcmp(pEntry->d_name, ".") == 0 || strcmp(pEntry->d_name, "..") == 0)
                continue;
            const std::string strChild = strPath + "/" + pEntry->d_name;
            struct stat st;
            if (lstat(strChild.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && nDepth > 0)
                RemoveTree(strChild, nDepth - 1);
            else
                unlink(strChild.c_str());
        }
        closedir(pDir);
    }
    rmdir(strPath.c_str());
}

}  // namespace

int RemoveOrphanedTempFolders()
{
    const std::string strBase = TempBase();
    DIR* pDir = opendir(strBase.c_str());
    if (pDir == nullptr)
        return 0;
    int nRemoved = 0;
    while (dirent* pEntry = readdir(pDir)) {
        const long nPid = TempFolderProcessId(pEntry->d_name, false);
        const std::string strPath = strBase + "/" + pEntry->d_name;
        struct stat st;
        // Ours, a real folder, and its process gone (EPERM means it runs under another user).
        if (nPid == 0 || nPid == static_cast<long>(getpid()) || lstat(strPath.c_str(), &st) != 0 ||
            !S_ISDIR(st.st_mode) || st.st_uid != getuid() || kill(static_cast<pid_t>(nPid), 0) == 0 || errno != ESRCH)
            continue;
        RemoveTree(strPath, 2);
        ++nRemoved;
    }
    closedir(pDir);
    return nRemoved;
}

bool EnterTempFolder(std::string* pstrFolder)
{
    std::lock_guard<std::mutex> lock(s_tempMutex);
    struct stat st;
    // Made again if someone removed it meanwhile.
    if (s_strTempFolder.empty() || lstat(s_strTempFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (!MakeTempFolder()) {
            if (pstrFolder != nullptr)
                *pstrFolder = TempBase() + "/";  // where the private folder could not be made
            return false;
        }
    }
    if (pstrFolder != nullptr)
        *pstrFolder = s_strTempFolder + "/";
    return chdir(s_strTempFolder.c_str()) == 0;
}

bool GetFreeDiskSpace(const char* pszFolder, uint64_t* pnFreeBytes)
{
    struct statvfs fs;
    if (pszFolder == nullptr || statvfs(NativePath(pszFolder).c_str(), &fs) != 0)
        return false;
    // f_bavail leaves out the blocks kept for root, as the user's writes will.
    *pnFreeBytes = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
    return true;
}

FILE* OpenFile(const char* pszPath, const char* pszMode)
{
    if (pszPath == nullptr || *pszPath == '\0')
        return nullptr;
    return fopen(NativePath(pszPath).c_str(), pszMode);
}

bool SeekFile(FILE* pFile, uint64_t nOffset)
{
    return fseeko(pFile, static_cast<off_t>(nOffset), SEEK_SET) == 0;
}

bool GetFileSize(const char* pszPath, uint64_t* pnSize)
{
    struct stat st;
    if (pszPath == nullptr || stat(NativePath(pszPath).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *pnSize = static_cast<uint64_t>(st.st_size);
    return true;
}

bool GetStreamSize(FILE* pFile, uint64_t* pnSize)
{
    struct stat st;
    if (pFile == nullptr || fstat(fileno(pFile), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
        return false;
    *pnSize = static_cast<uint64_t>(st.st_size);
    return true;
}

std::string AbsolutePath(const std::string& strPath)
{
    const std::string strNative = NativePath(strPath.c_str());
    if (strNative.empty() || strNative[0] == '/')
        return strNative;
    char* pszCwd = getcwd(nullptr, 0);
    if (pszCwd == nullptr)
        return strNative;
    std::string strAbsolute = std::string(pszCwd) + "/" + strNative;
    free(pszCwd);
    return strAbsolute;
}

bool IsSameFile(const char* pszPathA, const char* pszPathB)
{
    struct stat a {};
    struct stat b {};
    if (stat(NativePath(pszPathA).c_str(), &a) != 0 || stat(NativePath(pszPathB).c_str(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool FileExists(const char* pszPath)
{
    struct stat st;
    return pszPath != nullptr && *pszPath != '\0' && stat(NativePath(pszPath).c_str(), &st) == 0;
}

bool DeleteFileAt(const char* pszPath)
{
    return pszPath != nullptr && *pszPath != '\0' && unlink(NativePath(pszPath).c_str()) == 0;
}

bool CMappedFile::Open(const char* pszPath)
{
    Close();
    if (pszPath == nullptr)
        return false;
    int fd = open(NativePath(pszPath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool bOk = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (bOk && st.st_size > 0) {
        void* pMap = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (pMap == MAP_FAILED) {
            bOk = false;
        } else {
            m_pData = static_cast<const uint8_t*>(pMap);
            m_nSize = static_cast<size_t>(st.st_size);
        }
    }
    close(fd);
    return bOk;
}

void CMappedFile::Close()
{
    if (m_pData != nullptr)
        munmap(const_cast<uint8_t*>(m_pData), m_nSize);
    m_pData = nullptr;
    m_nSize = 0;
    m_hMapping = nullptr;
}

}  // namespace Platform
