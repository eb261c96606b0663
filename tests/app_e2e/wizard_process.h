#pragma once
// A program started by the driver (the wizard, a second wizard, the command-line flasher): its own
// environment, its windows, its exit and its memory.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CDriverProcess {
public:
    CDriverProcess() = default;
    ~CDriverProcess();
    CDriverProcess(const CDriverProcess&) = delete;
    CDriverProcess& operator=(const CDriverProcess&) = delete;

    // Starts strExe with strArgs; variables in env replace those of this process (an empty value removes one).
    bool Start(const std::wstring& strExe, const std::wstring& strArgs, const std::map<std::wstring, std::wstring>& env);
    bool IsRunning() const;
    // True once the process has ended within nTimeoutMs; its exit code in *pdwExit.
    bool WaitForExit(DWORD nTimeoutMs, DWORD* pdwExit = nullptr);
    void Kill();

    DWORD ProcessId() const { return m_dwProcessId; }
    HANDLE Handle() const { return m_hProcess; }
    // Peak working set in bytes, 0 when it cannot be read.
    uint64_t PeakWorkingSet() const;

    // Visible top-level windows of this process with this class and (when given) title.
    std::vector<HWND> TopWindows(const wchar_t* pszClass, const wchar_t* pszTitle = nullptr) const;
    // Waits for one such window; nullptr after nTimeoutMs.
    HWND WaitForWindow(const wchar_t* pszClass, const wchar_t* pszTitle, DWORD nTimeoutMs) const;

private:
    HANDLE m_hProcess = nullptr;
    DWORD m_dwProcessId = 0;
};

// Windows of any process with this class and title (visible or not).
std::vector<HWND> FindWindowsByTitle(const wchar_t* pszClass, const wchar_t* pszTitle);
std::wstring WindowText(HWND hWnd);
std::string Narrow(const std::wstring& strText);
std::wstring Widen(const std::string& strText);
std::wstring EnvVar(const wchar_t* pszName);
