#include "cli/child_processes.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// Quoting by the rules CommandLineToArgvW and the C run-time apply when they split a command line.
std::string QuoteArgument(const std::string& strArg)
{
    if (!strArg.empty() && strArg.find_first_of(" \t\n\v\"") == std::string::npos) {
        return strArg;
    }
    std::string strQuoted = "\"";
    size_t nBackslashes = 0;
    for (char ch : strArg) {
        if (ch == '\\') {
            ++nBackslashes;
            continue;
        }
        if (ch == '"') {
            strQuoted.append(nBackslashes * 2 + 1, '\\');
        } else {
            strQuoted.append(nBackslashes, '\\');
        }
        nBackslashes = 0;
        strQuoted += ch;
    }
    strQuoted.append(nBackslashes * 2, '\\');
    strQuoted += '"';
    return strQuoted;
}

struct Report {
    size_t nChild;
    bool bExit;
    int nStatus;
    std::string strLine;
};

}  // namespace

struct CChildProcesses::Impl {
    struct Child {
        HANDLE hProcess = nullptr;
        DWORD dwProcessId = 0;
        HANDLE hPipe = nullptr;
        std::thread reader;
        std::string strTempFolder;
        bool bExited = false;  // reported to the caller
    };
    std::vector<std::unique_ptr<Child>> children;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Report> reports;
    size_t nExited = 0;

    void Read(size_t nChild, Child* pChild)
    {
        std::string strPartial;
        char buffer[8192];
        DWORD nRead = 0;
        while (ReadFile(pChild->hPipe, buffer, sizeof(buffer), &nRead, nullptr) && nRead > 0) {
            strPartial.append(buffer, nRead);
            std::lock_guard<std::mutex> lock(mutex);
            size_t nStart = 0;
            for (size_t nEnd; (nEnd = strPartial.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1) {
                reports.push_back({nChild, false, 0, strPartial.substr(nStart, nEnd - nStart)});
            }
            strPartial.erase(0, nStart);
            wake.notify_one();
        }
        // The pipe broke: the child and everything that held its write end are gone.
        WaitForSingleObject(pChild->hProcess, INFINITE);
        DWORD dwStatus = 1;
        GetExitCodeProcess(pChild->hProcess, &dwStatus);
        std::lock_guard<std::mutex> lock(mutex);
        if (!strPartial.empty()) {
            reports.push_back({nChild, false, 0, strPartial});
        }
        reports.push_back({nChild, true, static_cast<int>(dwStatus), {}});
        wake.notify_one();
    }
};

CChildProcesses::CChildProcesses() : m_pImpl(std::make_unique<Impl>()) {}

CChildProcesses::~CChildProcesses()
{
    for (auto& pChild : m_pImpl->children) {
        if (pChild->reader.joinable()) {
            if (WaitForSingleObject(pChild->hProcess, 0) == WAIT_TIMEOUT) {
                GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, pChild->dwProcessId);
            }
            pChild->reader.join();
        }
        CloseHandle(pChild->hPipe);
        CloseHandle(pChild->hProcess);
        if (!pChild->strTempFolder.empty()) {
            RemoveDirectoryA(pChild->strTempFolder.c_str());  // only when the child left it empty
        }
    }
}

bool CChildProcesses::Start(const std::string& strProgram, const std::vector<std::string>& args,
                            std::string* pstrError)
{
    auto pChild = std::make_unique<Impl::Child>();
    const size_t nChild = m_pImpl->children.size();

    // A temporary folder of its own: every child stages its image and partition files under fixed names.
    char szTemp[MAX_PATH + 1] = {};
    const DWORD nTemp = GetTempPathA(MAX_PATH, szTemp);
    if (nTemp == 0 || nTemp > MAX_PATH) {
        *pstrError = "no temporary folder";
        return false;
    }
    // Appended piecewise: g++ 12 warns falsely (-Wrestrict) about a chain of + on strings.
    std::string& strFolder = pChild->strTempFolder;
    strFolder = szTemp;
    strFolder.append("krt-flash.").append(std::to_string(GetCurrentProcessId()));
    strFolder.append(".").append(std::to_string(nChild));
    if (!CreateDirectoryA(pChild->strTempFolder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        *pstrError = "cannot make the folder " + pChild->strTempFolder;
        return false;
    }

    SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, FALSE};
    HANDLE hRead = nullptr;
    HANDLE hWrite = nullptr;
    if (!CreatePipe(&hRead, &hWrite, &security, 0)) {
        *pstrError = "cannot make a pipe";
        RemoveDirectoryA(pChild->strTempFolder.c_str());
        return false;
    }
    // Only this child may inherit the write end, and only while it is being created: a sibling holding
    // it would keep the pipe open after this child ended.
    SetHandleInformation(hWrite, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

    std::string strCommandLine = QuoteArgument(strProgram);
    for (const std::string& strArg : args) {
        strCommandLine.append(" ").append(QuoteArgument(strArg));
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = hWrite;
    startup.hStdError = hWrite;
    PROCESS_INFORMATION process = {};

    char szOldTmp[MAX_PATH + 1] = {};
    char szOldTemp[MAX_PATH + 1] = {};
    const bool bHadTmp = GetEnvironmentVariableA("TMP", szOldTmp, sizeof(szOldTmp)) > 0;
    const bool bHadTemp = GetEnvironmentVariableA("TEMP", szOldTemp, sizeof(szOldTemp)) > 0;
    SetEnvironmentVariableA("TMP", pChild->strTempFolder.c_str());
    SetEnvironmentVariableA("TEMP", pChild->strTempFolder.c_str());
    // A process group of its own, so that Interrupt can send it Ctrl-Break alone.
    const BOOL bStarted = CreateProcessA(strProgram.c_str(), strCommandLine.data(), nullptr, nullptr, TRUE,
                                         CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA("TMP", bHadTmp ? szOldTmp : nullptr);
    SetEnvironmentVariableA("TEMP", bHadTemp ? szOldTemp : nullptr);
    CloseHandle(hWrite);
    if (!bStarted) {
        CloseHandle(hRead);
        RemoveDirectoryA(pChild->strTempFolder.c_str());
        *pstrError = "cannot start " + strProgram + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    CloseHandle(process.hThread);
    pChild->hProcess = process.hProcess;
    pChild->dwProcessId = process.dwProcessId;
    pChild->hPipe = hRead;
    Impl::Child* pRaw = pChild.get();
    Impl* pImpl = m_pImpl.get();
    pChild->reader = std::thread([pImpl, nChild, pRaw] { pImpl->Read(nChild, pRaw); });
    m_pImpl->children.push_back(std::move(pChild));
    return true;
}

bool CChildProcesses::Wait(unsigned nTimeoutMs, const LineFn& fnLine, const ExitFn& fnExit)
{
    std::deque<Report> reports;
    {
        std::unique_lock<std::mutex> lock(m_pImpl->mutex);
        if (m_pImpl->nExited >= m_pImpl->children.size()) {
            return false;
        }
        m_pImpl->wake.wait_for(lock, std::chrono::milliseconds(nTimeoutMs),
                               [this] { return !m_pImpl->reports.empty(); });
        reports.swap(m_pImpl->reports);
    }
    for (const Report& report : reports) {
        if (!report.bExit) {
            fnLine(report.nChild, report.strLine);
            continue;
        }
        Impl::Child& child = *m_pImpl->children[report.nChild];
        child.reader.join();
        child.bExited = true;
        RemoveDirectoryA(child.strTempFolder.c_str());
        {
            std::lock_guard<std::mutex> lock(m_pImpl->mutex);
            ++m_pImpl->nExited;
        }
        fnExit(report.nChild, report.nStatus);
    }
    std::lock_guard<std::mutex> lock(m_pImpl->mutex);
    return m_pImpl->nExited < m_pImpl->children.size() || !m_pImpl->reports.empty();
}

void CChildProcesses::Interrupt()
{
    for (auto& pChild : m_pImpl->children) {
        if (!pChild->bExited && WaitForSingleObject(pChild->hProcess, 0) == WAIT_TIMEOUT) {
            GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, pChild->dwProcessId);
        }
    }
}
