#pragma once
// Ordinary files and the per-user temporary folder. Paths may use '\' or '/' as separators on every
// system, so a path composed the Windows way ("%s%s" with "\CorvidT_wdl4.bin") works everywhere.
#include <cstdint>
#include <cstdio>
#include <string>

namespace Platform {

// Makes the per-user temporary folder the current folder and returns its path with a trailing
// separator. On POSIX it is a private directory (mode 0700) made once per process under $TMPDIR.
// When it fails, *pstrFolder still names the folder it tried, if that is known, for a message.
bool EnterTempFolder(std::string* pstrFolder);

// From now on EnterTempFolder gives this process a folder of its own under the per-user one,
// "krt-p940.<process id>.<n>", removed at exit when empty; so no other program's files (the wizard's
// fixed names) are touched. POSIX folders are private already.
void UsePrivateTempFolder();

// Removes private folders (as above, and those a flasher of several devices made for its children,
// "krt-flash.<process id>.<n>") whose process has ended, with the files they hold; never one whose
// process still runs. Returns how many were removed.
int RemoveOrphanedTempFolders();

// Bytes the current user may still write on the file system that holds the folder; false when it
// cannot be told.
bool GetFreeDiskSpace(const char* pszFolder, uint64_t* pnFreeBytes);

// C run-time stream on the file ("rb", "wb", ...); null when it cannot be opened.
FILE* OpenFile(const char* pszPath, const char* pszMode);

// Absolute position in a stream, beyond 2 GB too.
bool SeekFile(FILE* pFile, uint64_t nOffset);

// Size of a file, or false when it does not exist.
bool GetFileSize(const char* pszPath, uint64_t* pnSize);

// Size of the ordinary file open in a stream, 64-bit on every system; false when it cannot be told
// (a pipe, a device, an error).
bool GetStreamSize(FILE* pFile, uint64_t* pnSize);

bool FileExists(const char* pszPath);

// Deletes a file; false when there was none or it could not be deleted.
bool DeleteFileAt(const char* pszPath);

// The path made absolute against the current folder (which staging changes); unchanged when it fails.
std::string AbsolutePath(const std::string& strPath);

// True when both paths name one existing file (through links or different spellings too).
bool IsSameFile(const char* pszPathA, const char* pszPathB);

// A file's bytes mapped read-only; the bytes are not copied.
class CMappedFile {
public:
    CMappedFile() = default;
    ~CMappedFile() { Close(); }
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    bool Open(const char* pszPath);
    void Close();
    const uint8_t* Data() const { return m_pData; }
    size_t Size() const { return m_nSize; }

private:
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    void* m_hMapping = nullptr;
};

}  // namespace Platform
