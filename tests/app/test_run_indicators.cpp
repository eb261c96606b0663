// What a download shows outside the window: the task-bar button's progress and state, and the sleep
// guard, over a successful run and a stopped one.
#include <shobjidl.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "download/download_worker.h"
#include "download/notify.h"
#include "download/run_stop.h"
#include "image/partition_files.h"
#include "platform/files.h"
#include "tests/app/wizard_fixture.h"

namespace {

// A task bar that writes down what it is told.
class CRecordingTaskbar : public ITaskbarList3 {
public:
    std::vector<std::string> m_calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_ITaskbarList || riid == IID_ITaskbarList2 || riid == IID_ITaskbarList3) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG nDone, ULONGLONG nTotal) override
    {
        m_calls.push_back("value " + std::to_string(nDone) + "/" + std::to_string(nTotal));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG flags) override
    {
        m_calls.push_back(flags == TBPF_NORMAL ? "normal" : flags == TBPF_ERROR ? "error"
                          : flags == TBPF_NOPROGRESS ? "none" : "state " + std::to_string(static_cast<int>(flags)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return S_OK; }

    ULONG m_nRefs = 1;
};

std::atomic<bool> g_bRelease{false};

// Reports 0, 10, 10, 10, 25 and 100 percent (a repeated percent is one task-bar change), then waits
// for the test and ends with the final text of the environment's choice.
std::string g_strFinal;
unsigned SteppingWorker(void* pParam)
{
    std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
    Platform::DeleteFileAt(pJob->strImagePath.c_str());
    for (int nPercent : {0, 10, 10, 10, 25, 100}) {
        NotifyDialog(0, NOTIFY_PROGRESS, nPercent, "");
    }
    while (!g_bRelease && !RunStopRequested()) {
        Sleep(5);
    }
    NotifyStatus(g_strFinal.c_str());
    NotifyDialog(0, NOTIFY_FINISHED, 0, g_strFinal.c_str());
    return 0;
}

// Two partitions as the download writes them, 300000 and 100000 bytes, each reported from 0 to 100 %.
std::string g_strRunFolder;
unsigned TwoPartitionWorker(void* pParam)
{
    std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
    Platform::DeleteFileAt(pJob->strImagePath.c_str());
    const struct {
        int nSlot;
        const char* pszName;
        uint32_t nSize;
    } parts[] = {{4, "APPS", 300000}, {5, "DATA", 100000}};
    for (int i = 0; i < PARTITION_SLOTS; ++i) {
        PartitionFileList[i] = PartitionFileEntry{};
    }
    for (const auto& part : parts) {
        const std::string strPath = g_strRunFolder + "\\" + part.pszName;
        FILE* pFile = std::fopen(strPath.c_str(), "wb");
        const std::vector<char> bytes(part.nSize, '\x5A');
        std::fwrite(bytes.data(), 1, bytes.size(), pFile);
        std::fclose(pFile);
        std::snprintf(PartitionFileList[part.nSlot].m_szPath, sizeof(PartitionFileList[part.nSlot].m_szPath), "%s",
                      strPath.c_str());
        std::snprintf(PartitionNames[part.nSlot], sizeof(PartitionNames[part.nSlot]), "%s", part.pszName);
    }
    for (const auto& part : parts) {
        const std::string strErase = std::string("Erase Flash.... [") + part.pszName + "]";
        NotifyStatus(strErase.c_str());
        PartitionFileEntry& slot = PartitionFileList[part.nSlot];
        slot.m_dwFileSize = part.nSize;
        for (uint32_t nDone : {0u, part.nSize / 2, part.nSize}) {
            slot.m_dwBytesWritten = nDone;
            NotifyDialog(0, NOTIFY_PROGRESS, static_cast<int32_t>(uint64_t{nDone} * 100 / part.nSize), "");
        }
        NotifyStatus("Download complete!");
    }
    while (!g_bRelease && !RunStopRequested()) {
        Sleep(5);
    }
    for (const auto& part : parts) {
        Platform::DeleteFileAt(PartitionFileList[part.nSlot].m_szPath);
    }
    NotifyStatus(g_strFinal.c_str());
    NotifyDialog(0, NOTIFY_FINISHED, 0, g_strFinal.c_str());
    return 0;
}

class RunIndicatorsTest : public WizardTest {
protected:
    void Run(const char* pszFinal, Platform::ThreadProc pfnWorker = &SteppingWorker)
    {
        g_strFinal = pszFinal;
        g_bRelease = false;
        m_pDlg->RunIndicators().UseTaskbar(&m_taskbar);
        m_pDlg->SetWorkerStart(&Platform::StartThread, pfnWorker);
        SetDevicePort("COM7");
        GoToPage(PAGE_DOWNLOAD);
        EnableWindow(Item(IDC_BTN_START), TRUE);
        Click(IDC_BTN_START);
        ASSERT_TRUE(PumpUntil([&] { return m_taskbar.m_calls.size() >= 5; }, 20000));
        Pump(100);
        if (m_fnWhileRunning) {
            m_fnWhileRunning();
        }
        EXPECT_TRUE(m_pDlg->RunIndicators().IsKeepingAwake());  // no sleep while the device is written
        g_bRelease = true;
        ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
        EXPECT_FALSE(m_pDlg->RunIndicators().IsKeepingAwake());
    }

    CRecordingTaskbar m_taskbar;
    std::function<void()> m_fnWhileRunning;
};

}  // namespace

TEST_F(RunIndicatorsTest, SuccessLeavesTheButtonPlain)
{
    Run("Software Download Complete.");
    const std::vector<std::string> expected{"normal", "value 0/100", "value 10/100", "value 25/100", "value 100/100",
                                            "none"};
    EXPECT_EQ(m_taskbar.m_calls, expected);
}

TEST_F(RunIndicatorsTest, FailureTurnsTheButtonRedUntilTheRestart)
{
    Run("Write failed!");
    const std::vector<std::string> expected{"normal", "value 0/100", "value 10/100", "value 25/100", "value 100/100",
                                            "error"};
    EXPECT_EQ(m_taskbar.m_calls, expected);
    Click(IDC_BTN_START);  // the restart face: back to page 0
    EXPECT_EQ(m_taskbar.m_calls.back(), "none");
}

TEST_F(RunIndicatorsTest, TheButtonAndTheLineUnderTheBarFollowTheWholeRun)
{
    // Each partition's bar starts again at 0 %; the whole run's share never goes back: 150000 of 400000
    // bytes is 37 %, the first partition written 75 %, half the second 87 %.
    char szTemp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szTemp);
    g_strRunFolder = szTemp;
    if (!g_strRunFolder.empty() && g_strRunFolder.back() == '\\') {
        g_strRunFolder.pop_back();
    }
    std::wstring strLine;
    m_fnWhileRunning = [&] {
        EXPECT_TRUE(PumpUntil([&] { return m_taskbar.m_calls.size() >= 6; }, 20000));
        wchar_t szLine[200] = {};
        GetWindowTextW(Item(IDC_TEXT_RUN_PROGRESS), szLine, 200);
        strLine = szLine;
        EXPECT_TRUE(IsWindowVisible(Item(IDC_TEXT_RUN_PROGRESS)));
    };
    Run("Software Download Complete.", &TwoPartitionWorker);
    const std::vector<std::string> expected{"normal", "value 0/100", "value 37/100", "value 75/100", "value 87/100",
                                            "value 100/100", "none"};
    EXPECT_EQ(m_taskbar.m_calls, expected);
    EXPECT_EQ(strLine, L"Partition 2 of 2 \u00B7 100 %");
    EXPECT_EQ(ProgressCaption().substr(0, 15), "Elapsed time : ");  // the bar's own caption as designed
}
