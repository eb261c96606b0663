#include "platform/files.h"

#include <windows.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/common/temp_folder_name.h"

namespace Platform {
namespace {

std::mutex s_tempMutex;
bool s_bPrivate = false;
std::string s_strPrivateFolder;  // with the trailing '\' once made

bool PerUserTempFolder(std::string* pstrFolder)
{
    char szTemp[MAX_PATH + 1] = {};
    const DWORD nLen = GetTempPathA(MAX_PATH, szTemp);
    if (nLen == 0 || nLen > MAX_PATH)
        return false;
    *pstrFolder = szTemp;
    return true;
}

void RemovePrivateFolder()
{
    // Only when empty: whatever a run left behind stays for the user to see. Windows keeps a process's
    // current folder in use, so step out of it first.
    if (s_strPrivateFolder.empty())
        return;
    std::string strBase;
    if (PerUserTempFolder(&strBase))
        SetCurrentDirectoryA(strBase.c_str());
    RemoveDirectoryA(s_strPrivateFolder.c_str());
}

bool MakePrivateFolder(const std::string& strBase)
{
    // A name nobody else uses: CreateDirectory fails for one that exists, so try the next.
    for (unsigned n = GetTickCount() % 100000, nTry = 0; nTry < 100; ++n, ++nTry) {
        std::string strFolder = strBase;
        strFolder.append("krt-p940.").append(std::to_string(GetCurrentProcessId()));
        strFolder.append(".").append(std::to_string(n));
        if (CreateDirectoryA(strFolder.c_str(), nullptr)) {
            s_strPrivateFolder = strFolder + "\\";
            atexit(RemovePrivateFolder);
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool ProcessHasEnded(DWORD dwPid)
{
    HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, dwPid);
    if (hProcess == nullptr)
        return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process; denied means it runs
    const bool bEnded = WaitForSingleObject(hProcess, 0) == WAIT_OBJECT_0;
    CloseHandle(hProcess);
    return bEnded;
}

// Files and folders under strPath (with its trailing '\'), then the folder itself.
void RemoveTree(const std::string& strPath, int nDepth)
{
    WIN32_FIND_DATAA data;
    HANDLE hFind = FindFirstFileA((strPath + "*").c_str(), &data);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0)
                continue;
            const std::string strChild = strPath + data.cFileName;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                if (nDepth > 0 && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
                    RemoveTree(strChild + "\\", nDepth - 1);
                else
                    RemoveDirectoryA(strChild.c_str());
            } else {
                DeleteFileA(strChild.c_str());
            }
        } while (FindNextFileA(hFind, &data));
        FindClose(hFind);
    }
    RemoveDirectoryA(strPath.c_str());
}

}  // namespace

void UsePrivateTempFolder()
{
    std::lock_guard<std::mutex> lock(s_tempMutex);
    s_bPrivate = true;
}

int RemoveOrphanedTempFolders()
{
    std::string strBase;
    if (!PerUserTempFolder(&strBase))
        return 0;
    WIN32_FIND_DATAA data;
    HANDLE hFind = FindFirstFileA((strBase + "krt-*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    int nRemoved = 0;
    do {
        const DWORD dwPid = TempFolderProcessId(data.cFileName, true);
        if (dwPid == 0 || dwPid == GetCurrentProcessId() || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || !ProcessHasEnded(dwPid))
            continue;
        RemoveTree(strBase + data.cFileName + "\\", 2);
        ++nRemoved;
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
    return nRemoved;
}

bool EnterTempFolder(std::string* pstrFolder)
{
    std::lock_guard<std::mutex> lock(s_tempMutex);
    std::string strFolder;
    if (!PerUserTempFolder(&strFolder))
        return false;
    if (s_bPrivate) {
        // Made again if someone removed it meanwhile.
        const DWORD dwAttributes =
            s_strPrivateFolder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(s_strPrivateFolder.c_str());
        if ((dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) &&
            !MakePrivateFolder(strFolder)) {
            if (pstrFolder != nullptr)
                *pstrFolder = strFolder;
            return false;
        }
        strFolder = s_strPrivateFolder;
    }
    if (pstrFolder != nullptr)
        *pstrFolder = strFolder;
    return SetCurrentDirectoryA(strFolder.c_str()) != 0;
}

bool GetFreeDiskSpace(const char* pszFolder, uint64_t* pnFreeBytes)
{
    ULARGE_INTEGER nAvailable;
    if (pszFolder == nullptr || !GetDiskFreeSpaceExA(pszFolder, &nAvailable, nullptr, nullptr))
        return false;
    *pnFreeBytes = nAvailable.QuadPart;
    return true;
}

FILE* OpenFile(const char* pszPath, const char* pszMode)
{
    if (pszPath == nullptr || *pszPath == '\0')
        return nullptr;
    return fopen(pszPath, pszMode);
}

bool SeekFile(FILE* pFile, uint64_t nOffset)
{
    return _fseeki64(pFile, static_cast<__int64>(nOffset), SEEK_SET) == 0;
}

bool GetFileSize(const char* pszPath, uint64_t* pnSize)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (pszPath == nullptr || !GetFileAttributesExA(pszPath, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    *pnSize = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool GetStreamSize(FILE* pFile, uint64_t* pnSize)
{
    struct _stati64 st;
    if (pFile == nullptr || _fstati64(_fileno(pFile), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG ||
        st.st_size < 0)
        return false;
    *pnSize = static_cast<uint64_t>(st.st_size);
    return true;
}

namespace {

bool GetFileIdentity(const char* pszPath, BY_HANDLE_FILE_INFORMATION* pInfo)
{
    HANDLE hFile = CreateFileA(pszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    const bool bOk = GetFileInformationByHandle(hFile, pInfo) != 0;
    CloseHandle(hFile);
    return bOk;
}

}  // namespace

std::string AbsolutePath(const std::string& strPath)
{
    char szFull[MAX_PATH + 1] = {};
    const DWORD nLen = GetFullPathNameA(strPath.c_str(), sizeof(szFull), szFull, nullptr);
    if (nLen == 0 || nLen > MAX_PATH)
        return strPath;
    return szFull;
}

bool IsSameFile(const char* pszPathA, const char* pszPathB)
{
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    if (pszPathA == nullptr || pszPathB == nullptr || !GetFileIdentity(pszPathA, &a) || !GetFileIdentity(pszPathB, &b))
        return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

bool FileExists(const char* pszPath)
{
    return pszPath != nullptr && *pszPath != '\0' && GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES;
}

bool DeleteFileAt(const char* pszPath)
{
    return pszPath != nullptr && *pszPath != '\0' && DeleteFileA(pszPath) != 0;
}

bool CMappedFile::Open(const char* pszPath)
{
    Close();
    if (pszPath == nullptr)
        return false;
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool bOk = GetFileSizeEx(hFile, &size) != 0 && static_cast<uint64_t>(size.QuadPart) <= SIZE_MAX;
    if (bOk && size.QuadPart > 0) {
        HANDLE hMapping = CreateFileMappingA(hFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
        const void* pView = hMapping != nullptr ? MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (pView == nullptr) {
            if (hMapping != nullptr)
                CloseHandle(hMapping);
            bOk = false;
        } else {
            m_hMapping = hMapping;
            m_pData = static_cast<const uint8_t*>(pView);
            m_nSize = static_cast<size_t>(size.QuadPart);
        }
    }
    CloseHandle(hFile);
    return bOk;
}

void CMappedFile::Close()
{
    if (m_pData != nullptr)
        UnmapViewOfFile(m_pData);
    if (m_hMapping != nullptr)
        CloseHandle(static_cast<HANDLE>(m_hMapping));
    m_pData = nullptr;
    m_nSize = 0;
    m_hMapping = nullptr;
}

}  // namespace Platform
