#include "platform/files.h"

#include <windows.h>

#include <sys/stat.h>
#include <sys/types.h>

namespace Platform {

bool EnterTempFolder(std::string* pstrFolder)
{
    char szTemp[MAX_PATH + 1] = {};
    DWORD nLen = GetTempPathA(MAX_PATH, szTemp);
    if (nLen == 0 || nLen > MAX_PATH)
        return false;
    if (pstrFolder != nullptr)
        *pstrFolder = szTemp;
    return SetCurrentDirectoryA(szTemp) != 0;
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
