// The download screen: the port timer, the start button, the worker's reports and outcome, stopping
// the worker, closing during a run, and the messages of an outside progress sender.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "download/download_messages.h"
#include "download/download_worker.h"
#include "download/engine_state.h"
#include "download/failure_guidance.h"
#include "download/notify.h"
#include "download/reply_wait.h"
#include "download/run_stop.h"
#include "i18n/translations.h"
#include "image/partition_files.h"
#include "image/staging.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "serial/base_comm.h"
#include "tests/app/wizard_fixture.h"

namespace {

std::atomic<bool> g_bWorkerReturned{false};
std::atomic<bool> g_bWorkerSawAbort{false};
std::string g_strFinalText;

// Stands in for the download: reports like the engine, then its final report is its last act.
unsigned ReportingWorker(void* pParam)
{
    std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
    Platform::DeleteFileAt(pJob->strImagePath.c_str());
    NotifyStatus("Download Start");
    NotifyDialog(0, NOTIFY_PROGRESS, 50, "");
    NotifyStatus(g_strFinalText.c_str());
    NotifyDialog(0, NOTIFY_FINISHED, 0, g_strFinalText.c_str());
    g_bWorkerReturned = true;
    return 7;
}

// Half of one partition written as the download writes it, then the final text of the test's choice.
unsigned HalfWrittenWorker(void* pParam)
{
    std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
    Platform::DeleteFileAt(pJob->strImagePath.c_str());
    for (int i = 0; i < PARTITION_SLOTS; ++i) {
        PartitionFileList[i] = PartitionFileEntry{};
    }
    PartitionFileEntry& slot = PartitionFileList[FIRST_WRITTEN_SLOT];
    std::snprintf(slot.m_szPath, sizeof(slot.m_szPath), "%s.APPS", pJob->strImagePath.c_str());
    std::snprintf(PartitionNames[FIRST_WRITTEN_SLOT], sizeof(PartitionNames[0]), "APPS");
    FILE* pFile = Platform::OpenFile(slot.m_szPath, "wb");
    const std::vector<char> bytes(200000, '\x5A');
    std::fwrite(bytes.data(), 1, bytes.size(), pFile);
    std::fclose(pFile);
    NotifyStatus("Erase Flash.... [APPS]");
    slot.m_dwFileSize = 200000;
    slot.m_dwBytesWritten = 100000;
    NotifyDialog(0, NOTIFY_PROGRESS, 50, "");
    Platform::DeleteFileAt(slot.m_szPath);
    NotifyStatus(g_strFinalText.c_str());
    NotifyDialog(0, NOTIFY_FINISHED, 0, g_strFinalText.c_str());
    return 0;
}

// Waits for a reply with no port open: the engine's own "Event Error!" box, shown on this thread.
unsigned EventErrorWorker(void* pParam)
{
    std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
    Platform::DeleteFileAt(pJob->strImagePath.c_str());
    WaitForReply(100);
    NotifyStatus(MessageText.c_str());
    NotifyDialog(0, NOTIFY_FINISHED, 0, MessageText.c_str());
    return 0;
}

std::atomic<DWORD> g_dwWaitEnded{0};
std::atomic<double> g_dScaleAtStop{0.0};

// Waits as the run does, on the engine's clock with the run's stop (20 s at the fixture's scale), then
// ends through the failure path.
unsigned StoppableWorker(void* pParam)
{
    std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
    Platform::DeleteFileAt(pJob->strImagePath.c_str());
    NotifyStatus("Download Start");
    NotifyDialog(0, NOTIFY_PROGRESS, 10, "");
    g_bWorkerSawAbort = !Platform::SleepMs(2000000, RunStopEvent());
    g_dwWaitEnded = GetTickCount();
    g_dScaleAtStop = Platform::GetTimeScale();
    NotifyStatus("Write failed!");
    NotifyDialog(0, NOTIFY_FINISHED, 0, "Write failed!");
    g_bWorkerReturned = true;
    return 0;
}

// A burst of status lines as fast as the dialog takes them (the engine sends one per block), then
// a final report once the test lets it go.
std::atomic<bool> g_bBurstSent{false};
std::atomic<bool> g_bFinish{false};
std::atomic<DWORD> g_dwBurstMs{0};
const int BURST_LINES = 300;

unsigned BurstWorker(void* pParam)
{
    std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
    Platform::DeleteFileAt(pJob->strImagePath.c_str());
    const DWORD dwStart = GetTickCount();
    for (int i = 1; i <= BURST_LINES; ++i) {
        NotifyStatus(("Writing system : block " + std::to_string(i)).c_str());
    }
    g_dwBurstMs = GetTickCount() - dwStart;
    g_bBurstSent = true;
    while (!g_bFinish && !RunStopRequested()) {
        Sleep(5);
    }
    NotifyStatus("Write failed!");
    NotifyDialog(0, NOTIFY_FINISHED, 0, "Write failed!");
    return 0;
}

// Counts the paints of one window by standing in front of its procedure.
WNDPROC g_pfnStatusProc = nullptr;
std::atomic<int> g_nStatusPaints{0};
std::mutex g_paintedMutex;
std::string g_strPainted;

LRESULT CALLBACK CountingStatusProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_PAINT) {
        ++g_nStatusPaints;
        char szText[256] = {};
        if (LOWORD(CallWindowProcA(g_pfnStatusProc, hWnd, SB_GETTEXTLENGTHA, 0, 0)) < sizeof(szText)) {
            CallWindowProcA(g_pfnStatusProc, hWnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(szText));
        }
        std::lock_guard<std::mutex> lock(g_paintedMutex);
        g_strPainted = szText;  // what this paint puts on the screen
    }
    return CallWindowProcA(g_pfnStatusProc, hWnd, nMsg, wParam, lParam);
}

// Waits of nMs engine milliseconds one after another on a thread of its own; the shortest real length.
class CWaitSampler {
public:
    explicit CWaitSampler(uint32_t nMs)
        : m_thread([this, nMs] {
              while (!m_bStop) {
                  const int64_t nStart = Platform::MonotonicMs();
                  Platform::SleepMs(nMs);
                  m_nShortest = std::min<int64_t>(m_nShortest, Platform::MonotonicMs() - nStart);
              }
          })
    {
    }
    ~CWaitSampler() { Shortest(); }
    int64_t Shortest()
    {
        m_bStop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_nShortest;
    }

private:
    std::atomic<bool> m_bStop{false};
    std::atomic<int64_t> m_nShortest{INT64_MAX};
    std::thread m_thread;
};

Platform::ThreadHandle FailingStart(Platform::ThreadProc, void*, Platform::ThreadPriority)
{
    return nullptr;
}

class DownloadScreenTest : public WizardTest {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        g_bWorkerReturned = false;
        g_bWorkerSawAbort = false;
    }
    // The ready download screen with the device present.
    void ReadyToStart()
    {
        SetDevicePort("COM7");
        GoToPage(PAGE_DOWNLOAD);
        EnableWindow(Item(IDC_BTN_START), TRUE);
    }
};

// The temporary folder on a disk too small for a run: the 24 MB tmpfs that wine-run.sh mounts where
// the system allows it (named in KRT_SMALL_TEMP), otherwise a folder of its own whose free space a
// stand-in probe reports as 24 MB.
constexpr uint64_t SMALL_DISK_BYTES = 24 * 1024 * 1024;
std::string g_strProbedFolder;

bool SmallDiskProbe(const char* pszFolder, uint64_t* pnFreeBytes)
{
    g_strProbedFolder = pszFolder;
    *pnFreeBytes = SMALL_DISK_BYTES;
    return true;
}

// Room to spare at the check, the truth afterwards: someone took the space meanwhile, so only the
// write meets the full disk.
int g_nProbes = 0;

bool SpaceTakenAfterTheCheckProbe(const char* pszFolder, uint64_t* pnFreeBytes)
{
    g_strProbedFolder = pszFolder;
    if (g_nProbes++ == 0) {
        *pnFreeBytes = uint64_t{1} << 40;
        return true;
    }
    return Platform::GetFreeDiskSpace(pszFolder, pnFreeBytes);
}

class SmallDiskTest : public DownloadScreenTest {
protected:
    void SetUp() override
    {
        DownloadScreenTest::SetUp();
        char szTmp[MAX_PATH] = {};
        m_bHadTmp = GetEnvironmentVariableA("TMP", szTmp, MAX_PATH) != 0;
        m_strOldTmp = szTmp;
        m_strOldTemp = StagedImagePath().substr(0, StagedImagePath().size() - std::strlen(STAGED_IMAGE_NAME));
        const char* pszMount = std::getenv("KRT_SMALL_TEMP");
        m_bMounted = pszMount != nullptr && *pszMount != '\0';
        if (m_bMounted) {
            m_strFolder = std::string("Z:") + pszMount + "\\";
            for (char& ch : m_strFolder) {
                ch = ch == '/' ? '\\' : ch;
            }
            std::printf("[ small disk ] the temporary folder is a 24 MB tmpfs at %s\n", pszMount);
        } else {
            m_strFolder = m_strOldTemp + "krt-small-disk\\";
            ASSERT_TRUE(CreateDirectoryA(m_strFolder.c_str(), nullptr));
            m_pDlg->SetFreeSpaceProbe(&SmallDiskProbe);
            std::printf("[ small disk ] no private mount here: a stand-in probe reports 24 MB free in %s\n",
                        m_strFolder.c_str());
        }
        ASSERT_TRUE(SetEnvironmentVariableA("TMP", m_strFolder.c_str()));
        ASSERT_EQ(StagedImagePath(), m_strFolder + STAGED_IMAGE_NAME);
        g_strProbedFolder.clear();
        g_nProbes = 0;
        m_pDlg->SetWorkerStart(&Platform::StartThread, &ReportingWorker);
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("TMP", m_bHadTmp ? m_strOldTmp.c_str() : nullptr);
        // The folder the wizard made current cannot be removed.
        SetCurrentDirectoryA(m_strOldTemp.c_str());
        if (!m_bMounted) {
            // Also what a failed case left there, so that the next one starts with an empty folder.
            DeleteFileA((m_strFolder + STAGED_IMAGE_NAME).c_str());
            RemoveDirectoryA((m_strFolder + STAGED_IMAGE_NAME).c_str());
            RemoveDirectoryA(m_strFolder.c_str());
        }
        DownloadScreenTest::TearDown();
    }
    // Presses the start button and answers the message it shows; its text, empty when none came.
    std::string StartAndReadMessage()
    {
        CBoxAnswerer answer(IDOK);
        Click(IDC_BTN_START);
        return answer.Answered() ? answer.Text() : std::string();
    }
    std::vector<std::string> FolderContents() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE hFind = FindFirstFileA((m_strFolder + "*").c_str(), &found);
        if (hFind == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileA(hFind, &found));
        FindClose(hFind);
        return names;
    }
    // The image and the partition files cut from it: about twice the embedded image.
    static std::string SpaceNeededText()
    {
        Platform::ResourceBlob blob;
        EXPECT_TRUE(Platform::FindResourceBlob(FIRMWARE_RESOURCE_TYPE, FIRMWARE_RESOURCE_ID, &blob));
        const uint64_t nMb = (2 * static_cast<uint64_t>(blob.nSize) + (1 << 20) - 1) >> 20;
        return "about " + std::to_string(nMb) + " MB";
    }
    void ExpectReadyWithThePortTimerRunning()
    {
        EXPECT_FALSE(m_pDlg->IsWorkerRunning());
        EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_START)));
        EXPECT_FALSE(IsWindowVisible(Item(IDC_IMG_UPDATING)));
        EXPECT_TRUE(IsWindowVisible(Item(IDC_IMG_PRESS_START)));
        EXPECT_EQ(ProgressCaption(), "Ready...");
        EXPECT_NE(StatusPart(0), "Waiting... Loading Binary File.");
        // Unplugged, the wizard goes back to the connect page, which only the port timer does.
        SetDevicePort(nullptr);
        EXPECT_TRUE(PumpUntil([&] { return m_pDlg->m_nPage == PAGE_CONNECT; }, 5000));
    }

    bool m_bMounted = false;
    std::string m_strFolder;
    std::string m_strOldTemp;
    std::string m_strOldTmp;
    bool m_bHadTmp = false;
};

}  // namespace

TEST_F(DownloadScreenTest, PortTimerFollowsTheDevice)
{
    GoToPage(PAGE_CONNECT);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    SetDevicePort("COM7");
    ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Item(IDC_BTN_NEXT)) != FALSE; }, 5000));
    EXPECT_EQ(StatusPart(0), "Ready");
    EXPECT_EQ(StatusPart(3), "Com7 Connected");
    EXPECT_TRUE(IsWindowVisible(Item(IDC_IMG_CONNECTED)));
    EXPECT_EQ(DetectedPort.load(), 7);

    // Unplugged on the download screen before the start: back to the connect page.
    Click(IDC_BTN_NEXT);
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_DOWNLOAD);
    SetDevicePort(nullptr);
    ASSERT_TRUE(PumpUntil([&] { return m_pDlg->m_nPage == PAGE_CONNECT; }, 5000));
    EXPECT_EQ(StatusPart(0), "Detect Port...");
    EXPECT_EQ(StatusPart(3), "Disconnected");
    EXPECT_EQ(DetectedPort.load(), 0);

    // A port number the download could not open by its 8 bits is no port.
    SetDevicePort("COM263");
    Pump(2500);
    EXPECT_EQ(StatusPart(3), "Disconnected");
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
}

TEST_F(DownloadScreenTest, SuccessfulRunEndsOnTheFinalPageAndTheWorkerEndsByItself)
{
    g_strFinalText = "Software Download Complete.";
    m_pDlg->SetWorkerStart(&Platform::StartThread, &ReportingWorker);
    ReadyToStart();
    Click(IDC_BTN_START);
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
    // The worker came back from its final report and returned; it was not ended by force.
    EXPECT_TRUE(g_bWorkerReturned.load());
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_COMPLETE);
    EXPECT_EQ(StatusPart(0), "Software Download Complete.");
    EXPECT_EQ(StatusPart(3), "");
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_EXIT)));
    EXPECT_EQ(ClientRectOf(IDC_BTN_EXIT).left, EXIT_RIGHT_X);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_IMG_UPDATING)));
    EXPECT_FALSE(Platform::FileExists(StagedImagePath().c_str()));
}

TEST_F(DownloadScreenTest, AnyOtherFinalTextIsAFailureWithARestart)
{
    g_strFinalText = "Software Download Complete.!";
    m_pDlg->SetWorkerStart(&Platform::StartThread, &ReportingWorker);
    ReadyToStart();
    Click(IDC_BTN_START);
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
    EXPECT_TRUE(g_bWorkerReturned.load());
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_DOWNLOAD);
    EXPECT_EQ(m_pDlg->m_bRestartMode, 1);
    EXPECT_EQ(ProgressCaption(), "Upgrade failed...");
    EXPECT_EQ(StatusPart(0), "Software Download Complete.!");
    EXPECT_TRUE(IsWindowVisible(Item(IDC_IMG_FAILED)));
    // The banner's words as a screen reader reads them (drawn as a title and a second line).
    EXPECT_EQ(WindowText(IDC_IMG_FAILED), "Software Upgrade Failed. Please disconnect the device from your PC, remove the "
                                          "battery, wait 5 seconds and retry.");
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_START)));
    EXPECT_EQ(WindowText(IDC_BTN_START), "Re&start Upgrade Utility");
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_EXIT)));
    EXPECT_EQ(ClientRectOf(IDC_BTN_EXIT).left, EXIT_RIGHT_X);
    EXPECT_EQ(ClientRectOf(IDC_BTN_EXIT).top, EXIT_RIGHT_Y);
    // Under the banner, what to do: an unknown failure gets the general advice.
    EXPECT_TRUE(IsWindowVisible(Item(IDC_TEXT_GUIDANCE)));
    char szGuidance[512] = {};
    GetWindowTextA(Item(IDC_TEXT_GUIDANCE), szGuidance, sizeof(szGuidance));
    EXPECT_NE(std::string(szGuidance).find("contact support"), std::string::npos) << szGuidance;

    // The restart leads to the first page, not to a new download; the download page's button starts one again.
    Click(IDC_BTN_START);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_TEXT_GUIDANCE)));
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_INTRO);
    EXPECT_EQ(m_pDlg->m_bRestartMode, 0);
    EXPECT_FALSE(m_pDlg->IsWorkerRunning());
    GoToPage(PAGE_DOWNLOAD);
    EXPECT_EQ(WindowText(IDC_BTN_START), "&Start Software Download");
}

TEST_F(DownloadScreenTest, TheWorkersMessageBoxBelongsToTheWizard)
{
    m_pDlg->SetWorkerStart(&Platform::StartThread, &EventErrorWorker);
    ReadyToStart();
    CBoxAnswerer answer(IDOK);
    Click(IDC_BTN_START);
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(), "Event Error!");
    // Owned, it stays in front of the wizard instead of opening unseen behind it.
    EXPECT_EQ(answer.Owner(), m_pDlg->m_hWnd);
    EXPECT_EQ(StatusPart(0), "Event Error!");
    EXPECT_TRUE(IsWindowVisible(Item(IDC_IMG_FAILED)));
}

TEST_F(DownloadScreenTest, WorkerThatCannotStartLeavesNothingBehindAndTheButtonWorks)
{
    m_pDlg->SetWorkerStart(&FailingStart, &ReportingWorker);
    ReadyToStart();
    // A killed wizard's partition files (the embedded table names them) go when a download starts;
    // other files stay.
    const std::string strFolder = StagedImagePath().substr(0, StagedImagePath().size() - strlen("CorvidT_wdl4.bin"));
    for (const char* pszName : {"AMSS4", "FOEN7", "keep.txt"}) {
        FILE* pFile = Platform::OpenFile((strFolder + pszName).c_str(), "wb");
        ASSERT_NE(pFile, nullptr);
        fclose(pFile);
    }
    Click(IDC_BTN_START);
    EXPECT_FALSE(m_pDlg->IsWorkerRunning());
    EXPECT_FALSE(Platform::FileExists(StagedImagePath().c_str())) << "the staged image was left behind";
    EXPECT_FALSE(Platform::FileExists((strFolder + "AMSS4").c_str()));
    EXPECT_FALSE(Platform::FileExists((strFolder + "FOEN7").c_str()));
    EXPECT_TRUE(Platform::DeleteFileAt((strFolder + "keep.txt").c_str()));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_START)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_IMG_UPDATING)));
    EXPECT_NE(StatusPart(0), "Waiting... Loading Binary File.");

    // The next press really starts the download.
    g_strFinalText = "Software Download Complete.";
    m_pDlg->SetWorkerStart(&Platform::StartThread, &ReportingWorker);
    Click(IDC_BTN_START);
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_COMPLETE);
}

TEST_F(DownloadScreenTest, ClosingDuringARunAsksAndNoLetsItGoOn)
{
    m_pDlg->SetWorkerStart(&Platform::StartThread, &StoppableWorker);
    ReadyToStart();
    EXPECT_EQ(SendMessageA(m_pDlg->m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    Click(IDC_BTN_START);
    ASSERT_TRUE(m_pDlg->IsWorkerRunning());
    // Nor may the session end under a running download.
    EXPECT_EQ(SendMessageA(m_pDlg->m_hWnd, WM_QUERYENDSESSION, 0, 0), FALSE);
    {
        CBoxAnswerer answer(IDNO);
        PostMessageA(m_pDlg->m_hWnd, WM_CLOSE, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return answer.Answered(); }, 10000));
        EXPECT_NE(answer.Text().find("without working software"), std::string::npos) << answer.Text();
    }
    Pump(200);
    EXPECT_TRUE(IsWindow(m_pDlg->m_hWnd));
    EXPECT_TRUE(m_pDlg->IsWorkerRunning());
    EXPECT_FALSE(g_bWorkerSawAbort.load());

    // Yes: the run's wait ends at once and the wizard ends once the run has. The clock is not touched:
    // another thread's wait, as long as closing gives the receive thread (3000 ms, 30 ms here), keeps its
    // length throughout.
    HWND hDlg = m_pDlg->m_hWnd;
    CWaitSampler bystander(3000);
    const DWORD dwClose = GetTickCount();
    {
        CBoxAnswerer answer(IDYES);
        PostMessageA(hDlg, WM_CLOSE, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return answer.Answered(); }, 10000));
    }
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hDlg); }, 20000));
    EXPECT_TRUE(g_bWorkerSawAbort.load());
    EXPECT_LT(g_dwWaitEnded - dwClose, 5000u) << "the stop did not end the run's wait";
    EXPECT_EQ(g_dScaleAtStop.load(), 0.01);
    EXPECT_EQ(Platform::GetTimeScale(), 0.01);
    const int64_t nShortest = bystander.Shortest();
    std::printf("the run's wait ended %lu ms after closing; another thread's 30 ms waits took at least %lld ms\n",
                static_cast<unsigned long>(g_dwWaitEnded - dwClose), static_cast<long long>(nShortest));
    EXPECT_GE(nShortest, 25) << "a wait of another thread was cut short";
    // The window goes inside the final report; the worker returns from it a moment later.
    EXPECT_TRUE(PumpUntil([&] { return g_bWorkerReturned.load(); }, 2000));
    EXPECT_FALSE(m_pDlg->IsWorkerRunning());
    EXPECT_FALSE(RunStopRequested());  // the next run starts unstopped
}

TEST_F(DownloadScreenTest, OutsideSenderDrivesTheScreenAndBadTextPointersAreHarmless)
{
    GoToPage(PAGE_DOWNLOAD);
    HWND hDlg = m_pDlg->m_hWnd;
    const char* pszBad = reinterpret_cast<const char*>(static_cast<uintptr_t>(0x10));
    EXPECT_EQ(SendMessageA(hDlg, WM_USER + 3000, reinterpret_cast<WPARAM>(pszBad), 200), 0);
    EXPECT_EQ(m_pDlg->m_nExtTotal, 200u);

    SendMessageA(hDlg, WM_USER + 3002, reinterpret_cast<WPARAM>(L"Writing system"), 50);
    EXPECT_NE(ProgressCaption().find("- 25%"), std::string::npos) << ProgressCaption();
    EXPECT_EQ(StatusPart(0), "Writing system");
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_BTN_START)));
    // An unreadable text: the count still counts, the status line stays.
    SendMessageA(hDlg, WM_USER + 3002, reinterpret_cast<WPARAM>(pszBad), 100);
    EXPECT_NE(ProgressCaption().find("- 50%"), std::string::npos) << ProgressCaption();
    EXPECT_EQ(StatusPart(0), "Writing system");

    SendMessageA(hDlg, WM_USER + 3004, reinterpret_cast<WPARAM>("123456789012345678901234567890"), 1234);
    EXPECT_EQ(StatusPart(0), "123456789012345678901234567890....");
    SendMessageA(hDlg, WM_USER + 3004, reinterpret_cast<WPARAM>(L"Verifying"), 0);
    EXPECT_EQ(StatusPart(0), "Verifying");
    SendMessageA(hDlg, WM_USER + 3004, reinterpret_cast<WPARAM>(pszBad), 1234);
    SendMessageA(hDlg, WM_USER + 3004, reinterpret_cast<WPARAM>(pszBad), 0);
    SendMessageA(hDlg, WM_USER + 3004, reinterpret_cast<WPARAM>(""), 1234);
    EXPECT_EQ(StatusPart(0), "Verifying");

    // Counts past INT_MAX: the share in 64 bits, the bar in coarser units, never wrapped; a count past
    // the total shows the bar full.
    SendMessageA(hDlg, WM_USER + 3000, 0, static_cast<LPARAM>(0xF0000000u));
    SendMessageA(hDlg, WM_USER + 3002, reinterpret_cast<WPARAM>(L"Big"), static_cast<LPARAM>(0xB4000000u));
    EXPECT_NE(ProgressCaption().find("- 75%"), std::string::npos) << ProgressCaption();
    EXPECT_EQ(m_pDlg->m_progress.GetPos(), static_cast<int>(0xB4000000u >> 1));
    SendMessageA(hDlg, WM_USER + 3002, reinterpret_cast<WPARAM>(L"Big"), static_cast<LPARAM>(0xFFFFFFFFu));
    EXPECT_NE(ProgressCaption().find("- 100%"), std::string::npos) << ProgressCaption();
    EXPECT_EQ(m_pDlg->m_progress.GetPos(), static_cast<int>(0xF0000000u >> 1));

    SendMessageA(hDlg, WM_USER + 3001, 0, 0);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_IMG_SUCCESS)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_IMG_PRESS_START)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_EXIT)));
    EXPECT_EQ(ClientRectOf(IDC_BTN_EXIT).left, EXIT_RIGHT_X);
    EXPECT_TRUE(IsWindow(hDlg));
}

TEST_F(DownloadScreenTest, ProgressWithoutAnnouncedTotalShowsNoShare)
{
    SendMessageA(m_pDlg->m_hWnd, WM_USER + 3002, reinterpret_cast<WPARAM>(L"x"), 5);
    EXPECT_NE(ProgressCaption().find("- 0%"), std::string::npos) << ProgressCaption();
}

TEST_F(DownloadScreenTest, StatusLinesReachTheBarAtOnceButArePaintedAtMostEveryTenthOfASecond)
{
    g_bBurstSent = false;
    g_bFinish = false;
    m_pDlg->SetWorkerStart(&Platform::StartThread, &BurstWorker);
    ReadyToStart();
    HWND hBar = FindWindowExA(m_pDlg->m_hWnd, nullptr, STATUSCLASSNAMEA, nullptr);
    g_pfnStatusProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingStatusProc)));
    Pump(200);
    g_nStatusPaints = 0;
    Click(IDC_BTN_START);
    ASSERT_TRUE(PumpUntil([&] { return g_bBurstSent.load(); }, 60000));
    // The last line is in the bar at once; the screen showed one now and then (the start's own
    // status lines before the burst paint too).
    EXPECT_EQ(StatusPart(0), "Writing system : block " + std::to_string(BURST_LINES));
    EXPECT_LE(g_nStatusPaints.load(), static_cast<int>(g_dwBurstMs / 100) + 8) << g_dwBurstMs << " ms";
    EXPECT_TRUE(IsWindowVisible(hBar));
    // The last line reaches the screen without a further report: painted at once or by the timer,
    // whichever the burst's pace gave.
    const std::string strLast = "Writing system : block " + std::to_string(BURST_LINES);
    EXPECT_TRUE(PumpUntil(
        [&] {
            std::lock_guard<std::mutex> lock(g_paintedMutex);
            return g_strPainted == strLast;
        },
        1000));

    g_bFinish = true;
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
    EXPECT_EQ(StatusPart(0), "Write failed!");
    SetWindowLongPtrA(hBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnStatusProc));
}

TEST_F(SmallDiskTest, TooLittleSpaceIsToldBeforeWritingAndTheReadyScreenComesBack)
{
    ReadyToStart();
    const std::string strText = StartAndReadMessage();
    ASSERT_FALSE(strText.empty()) << "no message";
    EXPECT_NE(strText.find(m_strFolder), std::string::npos) << strText;
    EXPECT_NE(strText.find(SpaceNeededText()), std::string::npos) << strText;
    if (!m_bMounted) {
        EXPECT_EQ(g_strProbedFolder, m_strFolder);
    }
    EXPECT_TRUE(FolderContents().empty()) << FolderContents()[0];
    ExpectReadyWithThePortTimerRunning();
}

TEST_F(SmallDiskTest, AWriteThatFailsAfterTheCheckIsToldToo)
{
    m_pDlg->SetFreeSpaceProbe(&SpaceTakenAfterTheCheckProbe);
    const std::string strBlocker = m_strFolder + STAGED_IMAGE_NAME;
    if (!m_bMounted) {
        // No disk to fill: a folder in the image's place makes the write fail instead.
        ASSERT_TRUE(CreateDirectoryA(strBlocker.c_str(), nullptr));
        std::printf("[ small disk ] the write fails on a folder in the image's place, not on a full disk\n");
    }
    ReadyToStart();
    const std::string strText = StartAndReadMessage();
    ASSERT_FALSE(strText.empty()) << "no message";
    EXPECT_EQ(g_strProbedFolder, m_strFolder);
    EXPECT_NE(strText.find(m_strFolder), std::string::npos) << strText;
    EXPECT_NE(strText.find(SpaceNeededText()), std::string::npos) << strText;
    if (m_bMounted) {
        EXPECT_NE(strText.find("not enough free space"), std::string::npos) << strText;
    } else {
        EXPECT_NE(strText.find("could not be written"), std::string::npos) << strText;
        EXPECT_TRUE(RemoveDirectoryA(strBlocker.c_str()));
    }
    // The part of the image that fitted is gone again.
    EXPECT_TRUE(FolderContents().empty()) << FolderContents()[0];
    ExpectReadyWithThePortTimerRunning();
}

TEST_F(SmallDiskTest, AMissingTemporaryFolderIsNamed)
{
    const std::string strMissing = m_strFolder + "gone\\";
    ASSERT_TRUE(SetEnvironmentVariableA("TMP", strMissing.c_str()));
    ReadyToStart();
    const std::string strText = StartAndReadMessage();
    ASSERT_FALSE(strText.empty()) << "no message";
    EXPECT_NE(strText.find(strMissing), std::string::npos) << strText;
    EXPECT_NE(strText.find(SpaceNeededText()), std::string::npos) << strText;
    ExpectReadyWithThePortTimerRunning();
}

TEST_F(DownloadScreenTest, TheFailureScreenSavesAndCopiesTheRunsSupportReport)
{
    g_strFinalText = "Error in Writing Flash!";
    m_pDlg->SetWorkerStart(&Platform::StartThread, &ReportingWorker);
    ReadyToStart();
    Click(IDC_BTN_START);
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_SAVE_REPORT)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_COPY_DETAILS)));
    char szCaption[64] = {};
    GetWindowTextA(Item(IDC_BTN_SAVE_REPORT), szCaption, sizeof(szCaption));
    EXPECT_STREQ(szCaption, "Sa&ve support report...");
    EXPECT_EQ(GetMenuState(GetSystemMenu(m_pDlg->m_hWnd, FALSE), IDM_SAVE_REPORT, MF_BYCOMMAND) & MF_GRAYED, 0u);

    // The record of the run: the tool, the host, the port, the image, the steps and the end.
    const std::string strReport = m_pDlg->SupportReport();
    for (const char* pszField : {"krt-upgrade 1.0.019 run begins", "host: Windows ", "host OS code 41", "driver: USB driver ",
                                 "port: COM7 (", "image: embedded, ", " bytes, md5 ", "language shown: en",
                                 "status: Download Start", "final: Error in Writing Flash!"}) {
        EXPECT_NE(strReport.find(pszField), std::string::npos) << pszField << " missing from:\n" << strReport;
    }
    char szUser[256] = {};
    DWORD nUser = sizeof(szUser);
    if (GetUserNameA(szUser, &nUser) && std::strlen(szUser) >= 3) {
        EXPECT_EQ(strReport.find(szUser), std::string::npos) << "the user's name is in the report";
    }

    // Saved as it is; a folder that cannot take it is told, and the failure screen stays.
    const std::string strFolder = StagedImagePath().substr(0, StagedImagePath().find_last_of('\\'));
    const std::wstring strPath = std::wstring(strFolder.begin(), strFolder.end()) + L"\\report.txt";
    ASSERT_TRUE(m_pDlg->SaveSupportReport(strPath));
    FILE* pFile = _wfopen(strPath.c_str(), L"rb");
    ASSERT_NE(pFile, nullptr);
    std::string strSaved(strReport.size() + 16, '\0');
    strSaved.resize(std::fread(strSaved.data(), 1, strSaved.size(), pFile));
    std::fclose(pFile);
    _wremove(strPath.c_str());
    EXPECT_EQ(strSaved, strReport);
    {
        CBoxAnswerer answer(IDOK);
        // The path as the user gave it, whatever the system's code page.
        EXPECT_FALSE(m_pDlg->SaveSupportReport(L"Z:\\no such folder here\\J\u00FCrgen\\report.txt"));
        ASSERT_TRUE(answer.Answered());
        EXPECT_EQ(answer.Text().rfind("The support report could not be saved to Z:\\no such folder here\\J\xC3\xBCrgen\\report.txt: ",
                                      0),
                  0u)
            << answer.Text();
    }
    EXPECT_TRUE(IsWindowVisible(Item(IDC_IMG_FAILED)));
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_DOWNLOAD);

    // Copy details: the same text on the clipboard, lines ending in CR LF.
    Click(IDC_BTN_COPY_DETAILS);
    ASSERT_TRUE(OpenClipboard(m_pDlg->m_hWnd));
    HANDLE hData = GetClipboardData(CF_UNICODETEXT);
    std::wstring strClip = hData != nullptr ? static_cast<const wchar_t*>(GlobalLock(hData)) : L"";
    if (hData != nullptr) {
        GlobalUnlock(hData);
    }
    CloseClipboard();
    EXPECT_NE(strClip.find(L"final: Error in Writing Flash!\r\n"), std::wstring::npos);
}

TEST_F(DownloadScreenTest, TheFailureScreenSpeaksTheWizardsLanguage)
{
    // What a failed write shows in German, then in English again as designed: the whole run's line, the
    // guidance, the report's buttons and menu item, and the language the report names.
    struct Shown {
        const char* pszLanguage;
        const wchar_t* pszLine;
        const wchar_t* pszGuidance;
        const wchar_t* pszSave;
        const wchar_t* pszCopy;
    };
    const Shown shownIn[] = {
        {"de", L"Partition 1 von 1 \u00B7 50 %",
         L"Das Schreiben auf das Ger\u00E4t ist fehlgeschlagen. Schlie\u00DFen Sie es direkt an einen USB-Anschluss "
         L"des PCs an, nicht an einen Hub oder die Frontblende, probieren Sie wenn m\u00F6glich ein anderes USB-Kabel "
         L"und starten Sie neu.",
         L"Support-Bericht s&peichern...", L"Details &kopieren"},
        {"en", L"Partition 1 of 1 \u00B7 50 %",
         L"Writing to the device failed. Connect it to a USB port on the PC itself, not a hub or a front panel, try "
         L"another USB cable if you have one, then restart.",
         L"Sa&ve support report...", L"&Copy details"},
    };
    struct EnglishAtTheEnd {
        ~EnglishAtTheEnd() { SetLanguage("en"); }
    } english;
    auto textOf = [&](int nId) {
        wchar_t szText[512] = {};
        GetWindowTextW(Item(nId), szText, 512);
        return std::wstring(szText);
    };
    g_strFinalText = "Error in Writing Flash!";
    m_pDlg->SetWorkerStart(&Platform::StartThread, &HalfWrittenWorker);
    for (const Shown& shown : shownIn) {
        ASSERT_TRUE(SetLanguage(shown.pszLanguage));
        ReadyToStart();
        Click(IDC_BTN_START);
        ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->IsWorkerRunning(); }, 20000));
        ASSERT_TRUE(IsWindowVisible(Item(IDC_TEXT_GUIDANCE)));
        EXPECT_EQ(textOf(IDC_TEXT_RUN_PROGRESS), shown.pszLine);
        EXPECT_EQ(textOf(IDC_TEXT_GUIDANCE), shown.pszGuidance);
        EXPECT_EQ(textOf(IDC_BTN_SAVE_REPORT), shown.pszSave);
        EXPECT_EQ(textOf(IDC_BTN_COPY_DETAILS), shown.pszCopy);
        wchar_t szItem[64] = {};
        GetMenuStringW(GetSystemMenu(m_pDlg->m_hWnd, FALSE), IDM_SAVE_REPORT, szItem, 64, MF_BYCOMMAND);
        EXPECT_EQ(std::wstring(szItem), shown.pszSave);
        const std::string strLanguageLine = std::string("language shown: ") + shown.pszLanguage + "\n";
        EXPECT_NE(m_pDlg->SupportReport().find(strLanguageLine), std::string::npos) << m_pDlg->SupportReport();
        if (CurrentLanguage() == "de") {
            // Every kind has its German words: a guidance the catalog lacks would be shown in English.
            for (int nKind = FAILURE_NO_PORT; nKind <= FAILURE_OTHER; ++nKind) {
                const char* pszEnglish = FailureGuidance(static_cast<FailureKind>(nKind));
                EXPECT_STRNE(Tr(pszEnglish), pszEnglish);
            }
        }
        Click(IDC_BTN_START);  // the restart: back to the first page
        EXPECT_EQ(m_pDlg->m_nPage, PAGE_INTRO);
    }
}
