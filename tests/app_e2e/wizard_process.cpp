#include "tests/app_e2e/wizard_process.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace {

std::wstring Upper(std::wstring strText)
{
    for (wchar_t& c : strText)
        c = static_cast<wchar_t>(std::towupper(c));
    return strText;
}

// The current environment with the overrides applied, as a double-zero-terminated block.
std::vector<wchar_t> BuildEnvironment(const std::map<std::wstring, std::wstring>& env)
{
    std::map<std::wstring, std::wstring> upperEnv;
    for (const auto& [strName, strValue] : env)
        upperEnv[Upper(strName)] = strName + L"=" + strValue;
    std::vector<wchar_t> block;
    wchar_t* pStrings = GetEnvironmentStringsW();
    for (const wchar_t* p = pStrings; *p != 0; p += wcslen(p) + 1) {
        std::wstring strEntry = p;
        const size_t nEq = strEntry.find(L'=', 1);
        if (nEq != std::wstring::npos && upperEnv.count(Upper(strEntry.substr(0, nEq))) != 0)
            continue;
        block.insert(block.end(), strEntry.begin(), strEntry.end());
        block.push_back(0);
    }
    FreeEnvironmentStringsW(pStrings);
    for (const auto& [strName, strEntry] : upperEnv) {
        if (strEntry.back() == L'=')
            continue;
        block.insert(block.end(), strEntry.begin(), strEntry.end());
        block.push_back(0);
    }
    block.push_back(0);
    return block;
}

struct FindContext {
    DWORD dwProcessId;
    const wchar_t* pszClass;
    const wchar_t* pszTitle;
    bool bVisibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    auto* pContext = reinterpret_cast<FindContext*>(lParam);
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (pContext->dwProcessId != 0 && dwPid != pContext->dwProcessId)
        return TRUE;
    if (pContext->bVisibleOnly && !IsWindowVisible(hWnd))
        return TRUE;
    wchar_t szClass[64] = {};
    GetClassNameW(hWnd, szClass, 64);
    if (pContext->pszClass != nullptr && wcscmp(szClass, pContext->pszClass) != 0)
        return TRUE;
    if (pContext->pszTitle != nullptr && WindowText(hWnd) != pContext->pszTitle)
        return TRUE;
    pContext->found.push_back(hWnd);
    return TRUE;
}

}  // namespace

CDriverProcess::~CDriverProcess()
{
    Kill();
}

bool CDriverProcess::Start(const std::wstring& strExe, const std::wstring& strArgs,
                           const std::map<std::wstring, std::wstring>& env)
{
    std::wstring strCommand = L"\"" + strExe + L"\"" + (strArgs.empty() ? L"" : L" " + strArgs);
    std::vector<wchar_t> environment = BuildEnvironment(env);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Wine's loader now and then refuses a start while another build's Wine programs start beside it;
    // the program is not at fault then, so the start is tried again, and each refusal is named.
    for (int nAttempt = 1;; ++nAttempt) {
        if (CreateProcessW(strExe.c_str(), &strCommand[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                           environment.data(), nullptr, &startup, &process))
            break;
        const DWORD dwError = GetLastError();
        fprintf(stderr, "test driver: %ls did not start (error %lu, attempt %d)\n", strExe.c_str(), dwError,
                nAttempt);
        if (nAttempt == 3)
            return false;
        Sleep(1000);
    }
    CloseHandle(process.hThread);
    m_hProcess = process.hProcess;
    m_dwProcessId = process.dwProcessId;
    return true;
}

bool CDriverProcess::IsRunning() const
{
    return m_hProcess != nullptr && WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT;
}

bool CDriverProcess::WaitForExit(DWORD nTimeoutMs, DWORD* pdwExit)
{
    if (m_hProcess == nullptr || WaitForSingleObject(m_hProcess, nTimeoutMs) != WAIT_OBJECT_0)
        return false;
    if (pdwExit != nullptr)
        GetExitCodeProcess(m_hProcess, pdwExit);
    return true;
}

void CDriverProcess::Kill()
{
    if (m_hProcess == nullptr)
        return;
    if (IsRunning()) {
        TerminateProcess(m_hProcess, 99);
        WaitForSingleObject(m_hProcess, 5000);
    }
    CloseHandle(m_hProcess);
    m_hProcess = nullptr;
}

uint64_t CDriverProcess::PeakWorkingSet() const
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (m_hProcess == nullptr || !GetProcessMemoryInfo(m_hProcess, &counters, sizeof(counters)))
        return 0;
    return counters.PeakWorkingSetSize;
}

std::vector<HWND> CDriverProcess::TopWindows(const wchar_t* pszClass, const wchar_t* pszTitle) const
{
    FindContext context{m_dwProcessId, pszClass, pszTitle, true, {}};
    if (m_dwProcessId != 0)
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

HWND CDriverProcess::WaitForWindow(const wchar_t* pszClass, const wchar_t* pszTitle, DWORD nTimeoutMs) const
{
    const ULONGLONG nEnd = GetTickCount64() + nTimeoutMs;
    do {
        std::vector<HWND> windows = TopWindows(pszClass, pszTitle);
        if (!windows.empty())
            return windows.front();
        Sleep(20);
    } while (GetTickCount64() < nEnd);
    return nullptr;
}

std::vector<HWND> FindWindowsByTitle(const wchar_t* pszClass, const wchar_t* pszTitle)
{
    FindContext context{0, pszClass, pszTitle, false, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

std::wstring WindowText(HWND hWnd)
{
    // A hung or busy window must not hang the driver: ask with a time-out.
    DWORD_PTR nLength = 0;
    if (!SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &nLength))
        return L"";
    std::wstring strText(nLength + 1, L'\0');
    DWORD_PTR nCopied = 0;
    if (!SendMessageTimeoutW(hWnd, WM_GETTEXT, nLength + 1, reinterpret_cast<LPARAM>(&strText[0]), SMTO_ABORTIFHUNG,
                             5000, &nCopied))
        return L"";
    strText.resize(std::min<size_t>(nCopied, nLength));
    return strText;
}

std::string Narrow(const std::wstring& strText)
{
    if (strText.empty())
        return std::string();
    const int nSize = WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string strResult(nSize, '\0');
    WideCharToMultiByte(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), &strResult[0], nSize, nullptr,
                        nullptr);
    return strResult;
}

std::wstring Widen(const std::string& strText)
{
    if (strText.empty())
        return std::wstring();
    const int nSize = MultiByteToWideChar(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), nullptr, 0);
    std::wstring strResult(nSize, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, strText.c_str(), static_cast<int>(strText.size()), &strResult[0], nSize);
    return strResult;
}

std::wstring EnvVar(const wchar_t* pszName)
{
    wchar_t szValue[1024] = {};
    const DWORD nLength = GetEnvironmentVariableW(pszName, szValue, 1024);
    return nLength > 0 && nLength < 1024 ? std::wstring(szValue) : std::wstring();
}
