// The download screen: the Detect Port timer, the start button, the worker's reports, stopping the
// worker and closing the wizard while a download runs.
#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "app/dialog_controls.h"
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "app/upgrade_dialog.h"
#include "app/support_report.h"
#include "download/command_observer.h"
#include "download/download_messages.h"
#include "download/download_worker.h"
#include "download/failure_guidance.h"
#include "download/elapsed_text.h"
#include "download/engine_state.h"
#include "download/notify.h"
#include "download/run_stop.h"
#include "i18n/translations.h"
#include "image/staging.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/win32/utf16.h"
#include "serial/base_comm.h"
#include "serial/port_discovery.h"

namespace {

constexpr const char* STAGE_WAIT_TEXT = "Waiting... Loading Binary File.";
constexpr const char* CANNOT_OPEN_IMAGE_TEXT = "Cannot Open binary file!";
constexpr const char* CANNOT_START_TEXT = "Cannot start the download. Press the button to try again.";
constexpr const char* CANNOT_STAGE_TEXT = "The firmware could not be prepared. Press the button to try again.";
// Each names the folder, then the space a run needs there; the last also the free space or the error.
constexpr const char* NO_TEMP_FOLDER_FORMAT =
    "The temporary folder\n\n%s\n\ncannot be used for the firmware image: it is missing or cannot be opened.\n\n"
    "The upgrade needs about %s free there. Set TMP to a folder you may write to on a drive with that "
    "much free space, then press the start button again.";
constexpr const char* NO_SPACE_FORMAT =
    "There is not enough free space for the firmware in the temporary folder\n\n%s\n\n"
    "The upgrade needs about %s there (the firmware image and the partition files cut from it); only %s are free.\n\n"
    "Free some space on that drive, or set TMP to a folder on a drive with more space, then press the "
    "start button again.";
constexpr const char* WRITE_FAILED_FORMAT =
    "The firmware image could not be written to the temporary folder\n\n%s\n\n"
    "The upgrade needs about %s free there, in a folder you may write to; the write failed with: %s.\n\n"
    "Set TMP to such a folder on a working drive, or mend this one, then press the start button again.";
constexpr uint64_t BYTES_PER_MB = 1024 * 1024;
constexpr const char* STOPPING_TEXT = "Stopping the download...";
// The whole run under the bar; the time left, once there is an estimate, in seconds below a minute.
constexpr const char* RUN_PROGRESS_FORMAT = "Partition %d of %d \u00B7 %d %%";
constexpr const char* RUN_PROGRESS_SECONDS_FORMAT = "Partition %d of %d \u00B7 %d %% \u00B7 about %d s left";
constexpr const char* RUN_PROGRESS_MINUTES_FORMAT = "Partition %d of %d \u00B7 %d %% \u00B7 about %d min left";
constexpr const char* SAVE_AS_TITLE = "Save As";
constexpr const char* TEXT_FILES_FILTER = "Text files (*.txt)";
constexpr const char* ALL_FILES_FILTER = "All files (*.*)";
constexpr const char* REPORT_NOT_SAVED_FORMAT = "The support report could not be saved to %s: %s";
constexpr const char* CLIPBOARD_FAILED_TEXT =
    "The details could not be put on the clipboard. Close other programs and try again.";
constexpr const char* CONFIRM_STOP_TEXT =
    "A software download is running.\n\n"
    "If you stop it now, the device is left without working software until a download completes.\n\n"
    "Stop the download and close the program?";
// How long the dialog waits for a worker that has made its final report (real milliseconds).
constexpr uint32_t WORKER_END_WAIT_MS = 10000;
// The device's port number has to fit the 8 bits the port is opened by.
constexpr int32_t HIGHEST_PORT = 255;

// Sizes in whole megabytes: what is needed rounded up, what is free rounded down.
std::string Megabytes(uint64_t nBytes, bool bRoundUp)
{
    const uint64_t nMb = bRoundUp ? (nBytes + BYTES_PER_MB - 1) / BYTES_PER_MB : nBytes / BYTES_PER_MB;
    return std::to_string(nMb) + " MB";
}

std::string FormatText(const char* pszFormat, const std::string& strFolder, const std::string& strNeeded,
                       const std::string& strDetail = "")
{
    const char* pszFolder = strFolder.empty() ? "(the system names none)" : strFolder.c_str();
    char szText[2048];
    std::snprintf(szText, sizeof(szText), pszFormat, pszFolder, strNeeded.c_str(), strDetail.c_str());
    return szText;
}

// The button and the system menu's item that save the support report say the same.
const char* SaveReportCaption()
{
    return FindDialogControl(IDC_BTN_SAVE_REPORT)->pszCaption;
}

}  // namespace

void CVelmoraEUT_KRT_P940Dlg::OnTimer(UINT_PTR nIdEvent)
{
    if (nIdEvent == STATUS_PAINT_TIMER) {
        FlushRunStatus();
        return;
    }
    int32_t nPort = FindDevicePort();
    if (nPort < 0 || nPort > HIGHEST_PORT) {
        nPort = 0;  // a port the download could not open by number is no port for it
    }
    DetectedPort = static_cast<uint8_t>(nPort & 0xFF);
    if (nPort != 0) {
        char szPort[32];
        std::snprintf(szPort, sizeof(szPort), "Com%d Connected", nPort);
        SetStatus(0, "Ready");
        SetStatus(3, szPort);
        Platform::SleepMs(PORT_STATE_PAUSE_MS);
        const bool bNextWasOff = !m_btnNext.IsWindowEnabled();
        m_btnNext.EnableWindow(TRUE);
        // The device found: the focus moves on to Next unless the user took it elsewhere.
        if (m_nPage == PAGE_CONNECT && bNextWasOff && (::GetFocus() == nullptr || ::GetFocus() == m_btnBack.m_hWnd)) {
            m_btnNext.SetFocus();
        }
        if (m_nPage == PAGE_CONNECT) {
            ShowConnected(true);
        }
        m_btnStart.EnableWindow(TRUE);
    } else {
        DetectedPort = 0;
        SetStatus(0, "Detect Port...");
        SetStatus(3, "Disconnected");
        Platform::SleepMs(PORT_STATE_PAUSE_MS);
        if (m_nPage == PAGE_CONNECT) {
            m_btnNext.EnableWindow(FALSE);
            ShowConnected(false);
            m_btnStart.EnableWindow(FALSE);
            if (::GetFocus() == nullptr || ::GetFocus() == m_hWnd) {
                FocusPageTarget();  // Next lost it
            }
        } else if (m_nPage == PAGE_DOWNLOAD) {
            ChangePage(PAGE_CONNECT);
        }
    }
    SetTimer(DETECT_PORT_TIMER, Platform::ScaledMs(DETECT_PORT_PERIOD_MS));
}

void CVelmoraEUT_KRT_P940Dlg::OnStartDownload()
{
    if (m_bRestartMode) {
        m_bRestartMode = 0;
        m_runIndicators.Clear();
        ChangePage(PAGE_INTRO);
        return;
    }
    // A worker from an earlier run is released before a new one starts.
    ReleaseEndedWorker();
    if (m_pWorkerThread != nullptr) {
        return;
    }
    m_btnStart.EnableWindow(FALSE);
    SetProgressText("Ready...");
    m_progress.SetPos(0);
    m_progress.UpdateWindow();
    m_runProgress = CRunProgress{};
    m_textRunProgress.SetWindowText("");
    m_imgPressStart.ShowWindow(SW_HIDE);
    m_imgSuccess.ShowWindow(SW_HIDE);
    m_imgFailed.ShowWindow(SW_HIDE);
    m_imgCableLarge.ShowWindow(SW_HIDE);
    m_imgConnected.ShowWindow(SW_HIDE);
    m_imgCableSmall.ShowWindow(SW_SHOW);
    m_imgUpdating.ShowWindow(SW_SHOW);
    m_imgUpdating.UpdateWindow();
    SetStatus(0, STAGE_WAIT_TEXT);

    // A wizard that was killed (one runs per session) may have left its staged files: about twice the image.
    RemoveLeftoverStagedFiles(FIRMWARE_RESOURCE_ID);
    m_strImagePath.clear();
    if (!StageForRun()) {
        return;
    }

    auto* pJob = new DownloadJob;
    pJob->strImagePath = m_strImagePath;
    pJob->nRebuildFlag = 1;
    NotifyWindow = m_hWnd;
    ClearRunStop();
    // The run's record for support: kept in memory, written only when the user asks.
    BeginRunRecord(m_runRecord, FindDevicePort(), CurrentLanguage().c_str());
    m_bRunRecorded = true;
    EnableReportCommand(false);
    SetCommandObserver(&m_runRecord);
    m_pWorkerThread = m_pfnStartThread(m_pfnWorker, pJob, Platform::THREAD_PRIO_NORMAL);
    KillTimer(DETECT_PORT_TIMER);
    if (m_pWorkerThread == nullptr) {
        SetCommandObserver(nullptr);
        m_runRecord.Write("final: " + std::string(CANNOT_START_TEXT));
        m_runRecord.Close();
        EnableReportCommand(true);
        delete pJob;
        ShowStartFailure(CANNOT_START_TEXT);
        return;
    }
    m_tStart = Platform::WallSeconds();
    m_runIndicators.Begin(m_hWnd);
}

bool CVelmoraEUT_KRT_P940Dlg::StageForRun()
{
    // Only a build without the image needs nothing; staging reports that itself.
    const uint64_t nNeeded = StagingSpaceNeeded(FIRMWARE_RESOURCE_ID);
    std::string strFolder;
    if (nNeeded != 0) {
        if (!Platform::EnterTempFolder(&strFolder)) {
            ShowStagingFailure(FormatText(NO_TEMP_FOLDER_FORMAT, strFolder, Megabytes(nNeeded, true)));
            return false;
        }
        // Checked before writing: a disk filled to the last byte troubles every other program on it.
        std::string strNoSpace = NoSpaceText(strFolder, nNeeded);
        if (!strNoSpace.empty()) {
            ShowStagingFailure(strNoSpace);
            return false;
        }
    }
    int nWriteErrno = 0;
    if (!StageFirmwareImage(FIRMWARE_RESOURCE_ID, &m_strImagePath, &nWriteErrno)) {
        std::string strMessage;
        if (nWriteErrno != 0) {
            // Someone may have taken the space since the check. The C run-time's reason cannot tell
            // (under Wine a full disk reads "Invalid argument"); the free space can, once the part of
            // the image that fitted is gone.
            Platform::DeleteFileAt(m_strImagePath.c_str());
            strMessage = NoSpaceText(strFolder, nNeeded);
            if (strMessage.empty()) {
                strMessage = FormatText(WRITE_FAILED_FORMAT, strFolder, Megabytes(nNeeded, true),
                                        std::strerror(nWriteErrno));
            }
        }
        ShowStagingFailure(strMessage);
        return false;
    }
    FILE* pTest = Platform::OpenFile(m_strImagePath.c_str(), "rb");
    if (pTest == nullptr) {
        ShowStagingFailure(CANNOT_OPEN_IMAGE_TEXT);
        return false;
    }
    std::fclose(pTest);
    return true;
}

std::string CVelmoraEUT_KRT_P940Dlg::NoSpaceText(const std::string& strFolder, uint64_t nNeeded)
{
    uint64_t nFree = 0;
    if (!m_pfnFreeSpace(strFolder.c_str(), &nFree)) {
        return "";  // unknown: the write will tell
    }
    std::string strPath;
    uint64_t nLeftOver = 0;
    // An image left by an earlier run is overwritten, so its space is free for this one.
    if (GetStagedImagePath(&strPath) && Platform::GetFileSize(strPath.c_str(), &nLeftOver)) {
        nFree += nLeftOver;
    }
    if (nFree >= nNeeded) {
        return "";
    }
    return FormatText(NO_SPACE_FORMAT, strFolder, Megabytes(nNeeded, true), Megabytes(nFree, false));
}

void CVelmoraEUT_KRT_P940Dlg::ShowStagingFailure(const std::string& strMessage)
{
    // The ready screen first: the port timer goes on ticking while the message is shown.
    ShowStartFailure(CANNOT_STAGE_TEXT);
    if (!strMessage.empty()) {
        AskUser(strMessage.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CVelmoraEUT_KRT_P940Dlg::ShowStartFailure(const char* pszStatus)
{
    // Nothing of the run stays in the temporary folder, and the screen is ready for another try.
    Platform::DeleteFileAt(m_strImagePath.c_str());
    m_imgUpdating.ShowWindow(SW_HIDE);
    m_imgPressStart.ShowWindow(SW_SHOW);
    SetProgressText("Ready...");
    m_progress.UpdateWindow();
    SetStatus(0, pszStatus);
    m_btnStart.EnableWindow(TRUE);
    SetTimer(DETECT_PORT_TIMER, Platform::ScaledMs(DETECT_PORT_PERIOD_MS));
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnDownloadNotify(WPARAM, LPARAM lParam)
{
    const int32_t nPercent = ProgressPercent;
    switch (lParam) {
    case NOTIFY_PROGRESS: {
        m_tNow = Platform::WallSeconds();
        const int32_t nElapsed =
            static_cast<int32_t>(static_cast<uint32_t>(m_tNow) - static_cast<uint32_t>(m_tStart));
        SetProgressText(FormatElapsedText(nElapsed, nPercent));
        m_progress.SetPos(nPercent);
        m_progress.PaintChanges();
        m_runProgress.OnProgress(Platform::MonotonicMs());
        ShowRunProgress();
        // The task-bar button shows the whole run; a sender that names no partitions, its own figure.
        m_runIndicators.Progress(m_runProgress.PartitionCount() > 0 ? m_runProgress.Percent() : nPercent);
        break;
    }
    case NOTIFY_FINISHED: {
        // The worker is blocked in this report, its last act: it is released once it has returned.
        m_bInFinalReport = true;
        FlushRunStatus();
        StopWorker();
        m_bInFinalReport = false;
        const std::string strFinal = StatusText;
        ClearRunStop();
        // Its final report is the worker's last act: no command follows.
        SetCommandObserver(nullptr);
        m_runRecord.Write("final: " + strFinal);
        m_runRecord.Close();
        EnableReportCommand(true);
        if (m_bClosing) {
            EndDialog(IDCANCEL);
            break;
        }
        ShowDownloadOutcome(strFinal);
        break;
    }
    case NOTIFY_STATUS:
        if (!StatusText.empty()) {
            m_runRecord.Write("status: " + StatusText);
            if (StatusText == STATUS_COMPORT_READY) {
                m_runRecord.Write("port opened: COM" + std::to_string(static_cast<unsigned>(DetectedPort.load())));
            }
            m_runProgress.OnStatus(StatusText);
            SetRunStatus(StatusText.c_str());
        }
        break;
    default:
        break;
    }
    return 1;
}

void CVelmoraEUT_KRT_P940Dlg::SetRunStatus(const char* pszText)
{
    const int64_t nNowMs = Platform::MonotonicMs();
    if (!m_bStatusPaintPending && nNowMs - m_nLastStatusPaintMs >= static_cast<int64_t>(STATUS_PAINT_PERIOD_MS)) {
        m_nLastStatusPaintMs = nNowMs;
        SetStatus(0, pszText);
        return;
    }
    // The text is in the bar at once (a reader of the bar sees every line); only the painting waits.
    m_statusBar.SetTextUnpainted(pszText, 0);
    if (!m_bStatusPaintPending) {
        m_bStatusPaintPending = true;
        SetTimer(STATUS_PAINT_TIMER, STATUS_PAINT_PERIOD_MS);
    }
}

void CVelmoraEUT_KRT_P940Dlg::FlushRunStatus()
{
    KillTimer(STATUS_PAINT_TIMER);
    if (m_bStatusPaintPending) {
        m_bStatusPaintPending = false;
        m_nLastStatusPaintMs = Platform::MonotonicMs();
        m_statusBar.Invalidate();
    }
}

void CVelmoraEUT_KRT_P940Dlg::ShowDownloadOutcome(const std::string& strFinal)
{
    m_imgUpdating.ShowWindow(SW_HIDE);
    if (strFinal == DOWNLOAD_COMPLETE_TEXT) {
        m_runIndicators.Clear();
        m_imgSuccess.ShowWindow(SW_SHOW);
        NotifyWinEvent(EVENT_SYSTEM_ALERT, m_imgSuccess.m_hWnd, OBJID_CLIENT, CHILDID_SELF);
        ChangePage(m_nPage + 1);
    } else {
        m_runIndicators.Failed();
        m_bRestartMode = 1;
        SetProgressText("Upgrade failed...");
        m_progress.SetPos(0);
        m_progress.UpdateWindow();
        m_imgFailed.ShowWindow(SW_SHOW);
        m_nFailureKind = ClassifyFailure(strFinal, FindDevicePort() != 0);
        ApplyRunTexts();
        // The advice takes the drawing's room: it is what the user needs now, and may run to several lines.
        m_imgCableSmall.ShowWindow(SW_HIDE);
        m_textGuidance.ShowWindow(SW_SHOW);
        m_btnSaveReport.ShowWindow(SW_SHOW);
        m_btnCopyDetails.ShowWindow(SW_SHOW);
        SkinControl(m_btnStart, RESTART_FACE_NORMAL, RESTART_FACE_PRESSED, 0);
        ApplyRowText(*FindDialogControl(IDC_BTN_START));  // the restart's caption
        m_btnStart.EnableWindow(TRUE);
        MoveExitRight();
        m_btnStart.SetFocus();
        NotifyWinEvent(EVENT_SYSTEM_ALERT, m_imgFailed.m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    }
    SetStatus(0, strFinal.c_str());
    SetStatus(3, "");
}

void CVelmoraEUT_KRT_P940Dlg::ShowRunProgress(bool bTimeLeft)
{
    const int nCount = m_runProgress.PartitionCount();
    if (nCount == 0) {
        return;  // nothing known of the run as a whole (an outside sender, or before the first erase)
    }
    const int nNumber = m_runProgress.PartitionNumber();
    const int nPercent = m_runProgress.Percent();
    // An estimate of more than a year means nothing; cut there, it fits the numbers below.
    const double dLeft = bTimeLeft ? std::min(m_runProgress.SecondsLeft(Platform::MonotonicMs()), 86400.0 * 365) : -1.0;
    char szText[256];
    if (dLeft < 0.5) {
        std::snprintf(szText, sizeof(szText), Tr(RUN_PROGRESS_FORMAT), nNumber, nCount, nPercent);
    } else if (const int nSeconds = static_cast<int>(std::lround(dLeft)); nSeconds < 60) {
        std::snprintf(szText, sizeof(szText), Tr(RUN_PROGRESS_SECONDS_FORMAT), nNumber, nCount, nPercent, nSeconds);
    } else {
        std::snprintf(szText, sizeof(szText), Tr(RUN_PROGRESS_MINUTES_FORMAT), nNumber, nCount, nPercent,
                      (nSeconds + 30) / 60);
    }
    const std::wstring strText = Platform::Utf16(szText);
    wchar_t szShown[160] = {};
    ::GetWindowTextW(m_textRunProgress.m_hWnd, szShown, static_cast<int>(std::size(szShown)));
    if (strText != szShown) {
        ::SetWindowTextW(m_textRunProgress.m_hWnd, strText.c_str());
    }
}

void CVelmoraEUT_KRT_P940Dlg::ShowConnected(bool bConnected)
{
    // The banner stands where the page's heading does: one or the other.
    m_imgCableLarge.ShowWindow(bConnected ? SW_SHOW : SW_HIDE);
    m_imgConnected.ShowWindow(bConnected ? SW_SHOW : SW_HIDE);
    m_imgCableSmall.ShowWindow(SW_HIDE);
    PageText(IDC_TEXT_CONNECT_HEADING).ShowWindow(bConnected ? SW_HIDE : SW_SHOW);
    PageText(IDC_TEXT_CONNECT_LEAD).ShowWindow(bConnected ? SW_HIDE : SW_SHOW);
}

std::string CVelmoraEUT_KRT_P940Dlg::SupportReport() const
{
    return m_bRunRecorded ? SupportReportText(m_runRecord) : std::string();
}

bool CVelmoraEUT_KRT_P940Dlg::SaveSupportReport(const std::wstring& strPath)
{
    std::string strReason;
    if (WriteReportFile(strPath, SupportReport(), &strReason)) {
        return true;
    }
    const std::string strFile = Platform::Utf8(strPath);
    const char* pszFormat = Tr(REPORT_NOT_SAVED_FORMAT);
    std::string strMessage(std::strlen(pszFormat) + strFile.size() + strReason.size() + 1, '\0');
    strMessage.resize(static_cast<size_t>(std::max(0, std::snprintf(strMessage.data(), strMessage.size(), pszFormat,
                                                                    strFile.c_str(), strReason.c_str()))));
    AskUser(strMessage.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CVelmoraEUT_KRT_P940Dlg::OnSaveReport()
{
    if (!m_bRunRecorded || IsWorkerRunning()) {
        return;
    }
    wchar_t szFile[MAX_PATH] = {};
    const std::wstring strName = DefaultReportName();
    std::wcsncpy(szFile, strName.c_str(), MAX_PATH - 1);
    wchar_t szDocuments[MAX_PATH] = {};
    const bool bDocuments = SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, szDocuments));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    // Pairs of a name and its pattern, each ended by a null; the string's own null ends the list.
    const std::wstring strFilter = Platform::Utf16(Tr(TEXT_FILES_FILTER)) + L'\0' + L"*.txt" + L'\0' + Platform::Utf16(Tr(ALL_FILES_FILTER)) +
                                   L'\0' + L"*.*" + L'\0';
    const std::wstring strTitle = Platform::Utf16(Tr(SAVE_AS_TITLE));
    ofn.lpstrFilter = strFilter.c_str();
    ofn.lpstrTitle = strTitle.c_str();
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = bDocuments ? szDocuments : nullptr;
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    // Asked again after a save that failed: the failure screen stays whatever happens.
    while (::GetSaveFileNameW(&ofn)) {
        if (SaveSupportReport(szFile)) {
            break;
        }
    }
}

void CVelmoraEUT_KRT_P940Dlg::OnCopyDetails()
{
    if (m_bRunRecorded && !CopyReportToClipboard(m_hWnd, SupportReport())) {
        AskUser(Tr(CLIPBOARD_FAILED_TEXT), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CVelmoraEUT_KRT_P940Dlg::EnableReportCommand(bool bEnable)
{
    // Offered, after About, once a run has ended; grayed while the next one runs.
    HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu == nullptr) {
        return;
    }
    const std::wstring strText = Platform::Utf16(Tr(SaveReportCaption()));
    if (GetMenuState(hSysMenu, IDM_SAVE_REPORT, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
        if (bEnable) {
            AppendMenuW(hSysMenu, MF_STRING, IDM_SAVE_REPORT, strText.c_str());
        }
        return;
    }
    // Worded anew too: the language may have changed since the item was added.
    ModifyMenuW(hSysMenu, IDM_SAVE_REPORT, MF_BYCOMMAND | MF_STRING | (bEnable ? MF_ENABLED : MF_GRAYED), IDM_SAVE_REPORT,
                strText.c_str());
}

void CVelmoraEUT_KRT_P940Dlg::ApplyRunTexts()
{
    for (CWnd* pButton : {static_cast<CWnd*>(&m_btnSaveReport), static_cast<CWnd*>(&m_btnCopyDetails)}) {
        ::SetWindowTextW(pButton->m_hWnd, Platform::Utf16(Tr(FindDialogControl(pButton->GetDlgCtrlID())->pszCaption)).c_str());
    }
    if (m_nFailureKind != FAILURE_NONE) {
        ::SetWindowTextW(m_textGuidance.m_hWnd, Platform::Utf16(Tr(FailureGuidance(m_nFailureKind))).c_str());
    }
    if (m_bRestartMode) {
        ShowRunProgress(false);  // how far the failed run came; no time is left to wait for
    }
    HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE);
    const UINT nState = hSysMenu != nullptr ? GetMenuState(hSysMenu, IDM_SAVE_REPORT, MF_BYCOMMAND) : static_cast<UINT>(-1);
    if (nState != static_cast<UINT>(-1)) {
        EnableReportCommand((nState & MF_GRAYED) == 0);
    }
}

void CVelmoraEUT_KRT_P940Dlg::MoveExitRight()
{
    const DialogControl* pRow = FindDialogControl(m_btnExit.GetDlgCtrlID());
    PlaceControl(m_btnExit.GetDlgCtrlID(), EXIT_RIGHT_X, EXIT_RIGHT_Y, pRow->nWidth, pRow->nHeight);
    m_btnExit.ShowWindow(SW_SHOW);
}

void CVelmoraEUT_KRT_P940Dlg::StopWorker()
{
    if (m_pWorkerThread == nullptr) {
        return;
    }
    if (m_bInFinalReport) {
        // It returns as soon as this handler has; ending it by force could leave a lock held.
        ReleaseEndedWorker();
        m_hEndingWorker = m_pWorkerThread;
        m_pWorkerThread = nullptr;
        PostMessage(WM_WORKER_ENDED);
        return;
    }
    // Still at work: its next wait ends at once, it cleans up and reports, which ends it as above.
    RequestRunStop();
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnWorkerEnded(WPARAM, LPARAM)
{
    ReleaseEndedWorker();
    return 0;
}

void CVelmoraEUT_KRT_P940Dlg::ReleaseEndedWorker()
{
    if (m_hEndingWorker == nullptr) {
        return;
    }
    // Its final report has returned, so it is at most a few instructions from its end.
    Platform::JoinThread(m_hEndingWorker, WORKER_END_WAIT_MS, nullptr);
    Platform::ReleaseThread(m_hEndingWorker);
    m_hEndingWorker = nullptr;
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnQueryEndSession(WPARAM, LPARAM)
{
    // Logging off or shutting down in the middle of a download would leave the device without
    // working software: the session may end only when no download runs.
    return IsWorkerRunning() ? FALSE : TRUE;
}

bool CVelmoraEUT_KRT_P940Dlg::ConfirmClose()
{
    if (m_pWorkerThread == nullptr) {
        return true;
    }
    if (m_bClosing) {
        return false;  // already stopping; the dialog ends with the worker's final report
    }
    const int nAnswer = AskUser(CONFIRM_STOP_TEXT, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
    if (nAnswer != IDYES) {
        return false;
    }
    if (m_pWorkerThread == nullptr) {
        return true;  // the run ended while the question was shown
    }
    m_bClosing = true;
    SetStatus(0, STOPPING_TEXT);
    RequestRunStop();
    return false;
}
