#pragma once
// The wizard's one window: every page's controls, the status bar, the progress bar and the licence
// text live in this dialog; pages only show, hide, move and re-skin them.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "app/display_scale.h"
#include "app/run_indicators.h"
#include "download/failure_guidance.h"
#include "download/run_progress.h"
#include "download/run_record.h"
#include "framework/button.h"
#include "app/text_styles.h"
#include "controls/captioned_picture.h"
#include "controls/page_text.h"
#include "controls/skin_button.h"
#include "controls/text_progress_ctrl.h"
#include "framework/dialog.h"
#include "framework/rich_edit.h"
#include "framework/static_ctrl.h"
#include "framework/status_bar.h"
#include "platform/thread.h"

// The host OS code, identified once when the dialog is made; the driver check picks its test by it.
extern int32_t HostOsCode;

// The artwork's accent colour: the focus ring of the skinned controls.
constexpr COLORREF FOCUS_RING_COLOUR = RGB(0x1F, 0x7B, 0xD8);

constexpr UINT_PTR DETECT_PORT_TIMER = 1;
constexpr UINT DETECT_PORT_PERIOD_MS = 2000;
constexpr uint32_t PAGE_CHANGE_PAUSE_MS = 500;
constexpr uint32_t PORT_STATE_PAUSE_MS = 100;
// During a download the worker's status lines reach the screen at most this often: every report waits
// for the dialog, and a status bar drawn with visual styles can take milliseconds to paint.
constexpr UINT_PTR STATUS_PAINT_TIMER = 2;
constexpr UINT STATUS_PAINT_PERIOD_MS = 100;

// Messages an outside progress sender may send.
constexpr UINT WM_EXT_RANGE = WM_USER + 3000;
constexpr UINT WM_EXT_SUCCESS = WM_USER + 3001;
constexpr UINT WM_EXT_PROGRESS = WM_USER + 3002;
constexpr UINT WM_EXT_ERROR = WM_USER + 3003;
constexpr UINT WM_EXT_STATUS = WM_USER + 3004;
// Posted to itself once the worker has made its final report: the thread is released after it ended.
constexpr UINT WM_WORKER_ENDED = WM_APP + 1;

// A text of the executable's string table.
std::string LoadResourceString(UINT nId);
// The name of the program as message boxes show it: the executable's name without extension.
std::string ProgramName();
// The wizard's window title; a second start finds the first wizard by it.
std::string WizardTitle();

struct DialogControl;

class CVelmoraEUT_KRT_P940Dlg : public CDialog {
public:
    explicit CVelmoraEUT_KRT_P940Dlg(HWND hParent = nullptr);
    ~CVelmoraEUT_KRT_P940Dlg() override;

    void ShowPage();
    void StopWorker();

    // How the download thread is started; a test can put a thread of its own in its place.
    using ThreadStarter = Platform::ThreadHandle (*)(Platform::ThreadProc, void*, Platform::ThreadPriority);
    void SetWorkerStart(ThreadStarter pfnStart, Platform::ThreadProc pfnWorker);

    // How the free space of the temporary folder is asked for; a test can report a disk of its own.
    using FreeSpaceProbe = bool (*)(const char* pszFolder, uint64_t* pnFreeBytes);
    void SetFreeSpaceProbe(FreeSpaceProbe pfnProbe) { m_pfnFreeSpace = pfnProbe; }

    // What a download shows outside the window (sleep guard, task-bar button); a test can give it
    // a task bar of its own.
    CRunIndicators& RunIndicators() { return m_runIndicators; }

    // True while a download thread is running or ending.
    bool IsWorkerRunning() const { return m_pWorkerThread != nullptr || m_hEndingWorker != nullptr; }

    // Every word the dialog shows, again in the current language (Tr, TrContext) and at the current
    // scale: the window texts of the table's rows, the header's step, the fonts of every text, and the
    // places of the texts that make room for each other. Callable at any time, on any page, during a
    // download too; it changes no state of the wizard.
    void ApplyTexts();

    // The text window of a page's words (IDC_TEXT_...).
    CPageText& PageText(int nId) { return m_pageTexts[nId]; }

    uint32_t m_nExtTotal = 0;
    // The bar's range is an int: an outside total above INT_MAX is shown in units of 2^m_nExtShift.
    unsigned m_nExtShift = 0;
    int64_t m_tStart = 0;
    int64_t m_tNow = 0;
    Platform::ThreadHandle m_pWorkerThread = nullptr;
    std::string m_strImagePath;
    int32_t m_nLicenseChoice = 0;
    int32_t m_nNoticeChoice = 0;
    int32_t m_nPage = 0;
    CBitmap m_bmpBackground;
    int32_t m_bRestartMode = 0;
    CSkinButton m_btnStart;
    CCaptionedPicture m_imgPressStart;
    CCaptionedPicture m_imgSuccess;
    CCaptionedPicture m_imgFailed;
    CCaptionedPicture m_imgUpdating;
    CCaptionedPicture m_imgCableLarge;
    CCaptionedPicture m_imgConnected;
    CCaptionedPicture m_imgCableSmall;
    CSkinButton m_btnBack;
    CSkinButton m_btnNext;
    CSkinButton m_btnExit;
    CSkinButton m_radioLicenseAccept;
    CSkinButton m_radioLicenseDecline;
    CSkinButton m_radioNoticeAccept;
    CSkinButton m_radioNoticeDecline;
    CStatusBarCtrl m_statusBar;
    CTextProgressCtrl m_progress;
    HICON m_hIcon = nullptr;
    CRichEditCtrl m_richLicense;
    // Under the per-partition bar: how far the whole run is ("Partition 2 of 4 · 41 % · about 1 min left").
    CPageText m_textRunProgress;
    // Under the failure banner: what most likely went wrong and what to do.
    CPageText m_textGuidance;
    // On the failure screen: the last run's support report, saved to a file or put on the clipboard.
    CButton m_btnSaveReport;
    CButton m_btnCopyDetails;

    // Writes the last run's support report to a file; a failure is told in a message box. True when written.
    bool SaveSupportReport(const std::wstring& strPath);
    // The last run's report as it would be saved; empty before the first run.
    std::string SupportReport() const;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    std::span<const MessageEntry> GetMessageTable() const override;

private:
    void OnSysCommand(UINT nId, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    BOOL OnEraseBkgnd(CDC& dc);
    void OnNext();
    void OnDestroy();
    void OnExit();
    void OnBack();
    void OnLicenseAccept();
    void OnLicenseDecline();
    void OnNoticeAccept();
    void OnNoticeDecline();
    void OnTimer(UINT_PTR nIdEvent);
    void OnStartDownload();
    LRESULT OnDownloadNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnExtProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnExtStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnExtSuccess(WPARAM wParam, LPARAM lParam);
    LRESULT OnExtError(WPARAM wParam, LPARAM lParam);
    LRESULT OnExtRange(WPARAM wParam, LPARAM lParam);
    LRESULT OnWorkerEnded(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDefId(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void OnSaveReport();
    void OnCopyDetails();
    void EnableReportCommand(bool bEnable);
    // The words of the run's screens that are not the table's: the guidance, the whole run's line, the
    // report's buttons and menu item, in the current language; again after the language changed.
    void ApplyRunTexts();

    // Page switch helpers.
    CWnd* ControlById(int nId);
    CSkinButton* SkinButtonById(int nId);
    void ChangePage(int nPage);
    void RunDriverCheck();
    void SetDriverCheckBusy(bool bBusy);
    void SetStatus(int nPart, const char* pszText);
    void SetRunStatus(const char* pszText);
    void FlushRunStatus();
    void MoveExitRight();
    void ShowRunProgress(bool bTimeLeft = true);
    // The connect page once the port timer has seen the device (its banner and drawing over the page's
    // heading and picture), or before.
    void ShowConnected(bool bConnected);

    // Keyboard: the page's forward button (Next, or Start on the download page) when it can be pressed,
    // and the control a page gives the focus to.
    CSkinButton* ForwardButton();
    HWND PageFocusTarget();
    void FocusPageTarget();
    // Language (upgrade_dialog_language.cpp): every text shown again in the current language.
    void BuildSystemMenu();
    void MarkCurrentLanguage();
    bool OnLanguageCommand(UINT nId);
    void ApplyLanguage();
    void SetLicenseText();
    void ApplyReadingOrder();
    static std::string AboutMenuText();
    // The progress bar's caption, given in English and shown in the current language.
    void SetProgressText(const std::string& strEnglish);
    void ApplyKeyboardOrder();

    // Texts (upgrade_dialog_texts.cpp): one row's words and look; the header's step; the places of the
    // texts that make room for each other.
    void ApplyRowText(const DialogControl& row);
    void ApplyStepText();
    void LayoutTexts();
    int AskUser(const char* pszText, UINT nType);

    // Display scale: everything is placed and skinned through these, so that a change of scale can
    // lay the current screen out again (upgrade_dialog_scale.cpp).
    void ApplyScale(int nDpi);
    // The scale to lay out at for a monitor's scale, fitted to the work area around rcWindow.
    int FittingDpi(int nMonitorDpi, const RECT& rcWindow) const;
    void PlaceControl(int nId, int x, int y, int cx, int cy);
    void SkinControl(CSkinButton& button, WORD nNormal, WORD nPressed, WORD nDisabled);
    void ScaleStatusBar();
    void ScaleFonts();
    SIZE LayoutWindowSize() const;
    void SizeWindow();
    // Moves the window's top-left corner there, or as near as keeps it inside the work area.
    void MoveInsideWorkArea(int x, int y);

    // Download helpers.
    bool StageForRun();
    // The message of a temporary folder without room for a run; empty when it has room.
    std::string NoSpaceText(const std::string& strFolder, uint64_t nNeeded);
    void ShowStagingFailure(const std::string& strMessage);
    void ShowStartFailure(const char* pszStatus);
    void ShowDownloadOutcome(const std::string& strFinal);
    void ReleaseEndedWorker();
    bool ConfirmClose();

    ThreadStarter m_pfnStartThread;
    Platform::ThreadProc m_pfnWorker;
    FreeSpaceProbe m_pfnFreeSpace;
    // The worker that made its final report; released once it has returned.
    Platform::ThreadHandle m_hEndingWorker = nullptr;
    bool m_bInFinalReport = false;
    bool m_bStatusPaintPending = false;
    int64_t m_nLastStatusPaintMs = 0;
    bool m_bClosing = false;
    CRunIndicators m_runIndicators;
    CRunProgress m_runProgress;
    CRunRecord m_runRecord;
    // What the last failure most likely was; its guidance is shown under the failure banner.
    FailureKind m_nFailureKind = FAILURE_NONE;
    bool m_bRunRecorded = false;
    std::map<int, CPageText> m_pageTexts;
    // The fonts of every text style for the current language and scale.
    std::unique_ptr<CStyleFonts> m_pStyleFonts;

    CDisplayScale m_scale;
    struct LogicalPlace {
        int x, y, cx, cy;
    };
    std::map<int, LogicalPlace> m_places;
    struct FaceIds {
        WORD nNormal, nPressed, nDisabled;
    };
    std::map<int, FaceIds> m_faces;
    HFONT m_hStatusFontDefault = nullptr;
    // What was last shown, in English, so that a change of language can show it again.
    static constexpr int STATUS_PARTS = 4;
    std::string m_strStatus[STATUS_PARTS];
    bool m_bStatusSet[STATUS_PARTS] = {};
    std::string m_strProgressText;
    HMENU m_hLanguageMenu = nullptr;
    std::wstring m_strLicenseFace;
    BYTE m_nLicenseCharSet = DEFAULT_CHARSET;
    CGdiObject<HFONT> m_fontStatus;
    CGdiObject<HFONT> m_fontProgress;
};
