#include "app/upgrade_dialog.h"

#include <richedit.h>

#include <iterator>

#include "app/about_dialog.h"
#include "app/dialog_controls.h"
#include "app/license_text.h"
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "download/command_observer.h"
#include "download/download_worker.h"
#include "download/notify.h"
#include "host/host_os.h"
#include "i18n/translations.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/win32/utf16.h"

int32_t HostOsCode = HOST_OS_UNKNOWN;

std::string LoadResourceString(UINT nId)
{
    wchar_t szText[256] = {};
    const int nLength = LoadStringW(GetResourceInstance(), nId, szText, static_cast<int>(std::size(szText)));
    return Platform::Utf8(std::wstring_view(szText, nLength > 0 ? static_cast<size_t>(nLength) : 0));
}

std::string ProgramName()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::string strName = Platform::Utf8(szPath);
    const size_t nSlash = strName.find_last_of("\\/");
    if (nSlash != std::string::npos) {
        strName.erase(0, nSlash + 1);
    }
    const size_t nDot = strName.rfind('.');
    if (nDot != std::string::npos && nDot > 0) {
        strName.erase(nDot);
    }
    return strName;
}

std::string WizardTitle()
{
    return " SW Upgrade - [ " + LoadResourceString(IDS_DEVICE_MODEL) + " ] - " + LoadResourceString(IDS_TOOL_VERSION);
}

CVelmoraEUT_KRT_P940Dlg::CVelmoraEUT_KRT_P940Dlg(HWND hParent)
    : CDialog(IDD_KRT_UPGRADE_DIALOG, hParent), m_pfnStartThread(&Platform::StartThread), m_pfnWorker(&DownloadWorker),
      m_pfnFreeSpace(&Platform::GetFreeDiskSpace)
{
    m_hIcon = LoadIconA(GetResourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    // Until a download starts, elapsed times count from the start of the wizard.
    m_tStart = Platform::WallSeconds();
    m_tNow = m_tStart;
    HostOsCode = IdentifyHostOs();
}

CVelmoraEUT_KRT_P940Dlg::~CVelmoraEUT_KRT_P940Dlg()
{
    ReleaseEndedWorker();
}

void CVelmoraEUT_KRT_P940Dlg::SetWorkerStart(ThreadStarter pfnStart, Platform::ThreadProc pfnWorker)
{
    m_pfnStartThread = pfnStart;
    m_pfnWorker = pfnWorker;
}

void CVelmoraEUT_KRT_P940Dlg::DoDataExchange()
{
    for (const DialogControl& row : DialogControls()) {
        BindControl(row.nId, row.pfnMember(*this));
    }
}

std::span<const MessageEntry> CVelmoraEUT_KRT_P940Dlg::GetMessageTable() const
{
    using D = CVelmoraEUT_KRT_P940Dlg;
    static const MessageEntry s_table[] = {
        OnMessage<&D::OnSysCommand>(WM_SYSCOMMAND),
        OnMessage<&D::OnPaint>(WM_PAINT),
        OnMessage<&D::OnQueryDragIcon>(WM_QUERYDRAGICON),
        OnMessage<&D::OnEraseBkgnd>(WM_ERASEBKGND),
        OnCommand<&D::OnNext>(IDC_BTN_NEXT),
        OnMessage<&D::OnDestroy>(WM_DESTROY),
        OnCommand<&D::OnExit>(IDC_BTN_EXIT),
        OnCommand<&D::OnBack>(IDC_BTN_BACK),
        OnCommand<&D::OnLicenseAccept>(IDC_RADIO_LICENSE_ACCEPT),
        OnCommand<&D::OnLicenseDecline>(IDC_RADIO_LICENSE_DECLINE),
        OnCommand<&D::OnNoticeAccept>(IDC_RADIO_NOTICE_ACCEPT),
        OnCommand<&D::OnNoticeDecline>(IDC_RADIO_NOTICE_DECLINE),
        OnMessage<&D::OnTimer>(WM_TIMER),
        OnCommand<&D::OnStartDownload>(IDC_BTN_START),
        OnMessage<&D::OnDownloadNotify>(WM_DOWNLOAD_NOTIFY),
        OnMessage<&D::OnExtProgress>(WM_EXT_PROGRESS),
        OnMessage<&D::OnExtStatus>(WM_EXT_STATUS),
        OnMessage<&D::OnExtSuccess>(WM_EXT_SUCCESS),
        OnMessage<&D::OnExtError>(WM_EXT_ERROR),
        OnMessage<&D::OnExtRange>(WM_EXT_RANGE),
        OnMessage<&D::OnWorkerEnded>(WM_WORKER_ENDED),
        OnMessage<&D::OnQueryEndSession>(WM_QUERYENDSESSION),
        OnMessage<&D::OnGetDefId>(DM_GETDEFID),
        OnMessage<&D::OnDpiChanged>(WM_DPICHANGED),
        OnCommand<&D::OnSaveReport>(IDC_BTN_SAVE_REPORT),
        OnCommand<&D::OnCopyDetails>(IDC_BTN_COPY_DETAILS),
    };
    return s_table;
}

BOOL CVelmoraEUT_KRT_P940Dlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    BuildSystemMenu();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    CHARFORMAT2W cfDefault = {};
    cfDefault.cbSize = sizeof(cfDefault);
    m_richLicense.SendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cfDefault));
    m_strLicenseFace = cfDefault.szFaceName;
    m_nLicenseCharSet = cfDefault.bCharSet;
    SetLicenseText();

    ApplyKeyboardOrder();
    m_imgCableLarge.SetKeepSides(true);
    m_imgCableSmall.SetKeepSides(true);
    // The layout follows the monitor's scale where the window fits the work area at it.
    KeepDialogLayoutOwn(m_hWnd);
    RECT rcWindow = {};
    GetWindowRect(&rcWindow);
    ApplyScale(FittingDpi(WindowDpi(m_hWnd), rcWindow));
    ShowPage();
    ApplyReadingOrder();

    m_statusBar.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, m_hWnd, IDC_STATUS_BAR);
    ScaleFonts();
    ScaleStatusBar();
    SetStatus(0, " Ready");

    SetWindowText(WizardTitle());

    // Open in the middle of the screen's work area.
    GetWindowRect(&rcWindow);
    const RECT rcWork = WorkAreaOf(rcWindow);
    const int nWidth = rcWindow.right - rcWindow.left;
    const int nHeight = rcWindow.bottom - rcWindow.top;
    MoveInsideWorkArea(rcWork.left + ((rcWork.right - rcWork.left) - nWidth) / 2,
                       rcWork.top + ((rcWork.bottom - rcWork.top) - nHeight) / 2);

    // Message boxes of the engine belong to this window and carry its name, those of the worker thread
    // too: a box without an owner can open behind the wizard, and the run would wait for it unseen.
    // This thread never waits for the worker while a run is on, so the box's messages to its owner
    // are handled.
    const HWND hDlg = m_hWnd;
    const DWORD dwUiThread = GetCurrentThreadId();
    Platform::SetMessageSink([hDlg, dwUiThread](const std::string& strText, const std::string& strCaption) {
        const std::string strTitleText = strCaption.empty() ? ProgramName() : strCaption;
        const bool bOwnThread = GetCurrentThreadId() == dwUiThread;
        ::MessageBoxW(hDlg, Platform::Utf16(TrMessage(strText)).c_str(), Platform::Utf16(strTitleText).c_str(),
                      MB_OK | MB_ICONEXCLAMATION | (bOwnThread ? 0 : MB_SETFOREGROUND));
    });
    // The framework gives the focus to the first tab stop: page 0's Next.
    return TRUE;
}

int CVelmoraEUT_KRT_P940Dlg::AskUser(const char* pszText, UINT nType)
{
    return ::MessageBoxW(m_hWnd, Platform::Utf16(TrMessage(pszText)).c_str(), Platform::Utf16(ProgramName()).c_str(), nType);
}

void CVelmoraEUT_KRT_P940Dlg::SetStatus(int nPart, const char* pszText)
{
    if (nPart >= 0 && nPart < STATUS_PARTS) {
        m_strStatus[nPart] = pszText;
        m_bStatusSet[nPart] = true;
    }
    if (m_statusBar.IsWindow()) {
        m_statusBar.SetText(TrMessage(pszText).c_str(), nPart, 0);
    }
}

void CVelmoraEUT_KRT_P940Dlg::OnSysCommand(UINT nId, LPARAM)
{
    if ((nId & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout(m_hWnd, m_scale.Dpi());
        dlgAbout.DoModal();
        return;
    }
    if ((nId & 0xFFF0) == IDM_SAVE_REPORT) {
        OnSaveReport();
        return;
    }
    if (OnLanguageCommand(nId & 0xFFF0))
        return;
    Default();
}

void CVelmoraEUT_KRT_P940Dlg::OnPaint()
{
    if (!IsIconic(m_hWnd)) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rc = {};
    GetClientRect(&rc);
    const int x = (rc.right - rc.left - cxIcon + 1) / 2;
    const int y = (rc.bottom - rc.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HICON CVelmoraEUT_KRT_P940Dlg::OnQueryDragIcon()
{
    return m_hIcon;
}

BOOL CVelmoraEUT_KRT_P940Dlg::OnEraseBkgnd(CDC& dc)
{
    if (m_bmpBackground.IsNull()) {
        Default();  // no page picture: the dialog's plain face
        return TRUE;
    }
    CMemoryDC dcMem(dc.GetSafeHdc());
    CSelectObject select(dcMem.GetSafeHdc(), m_bmpBackground.GetSafeHandle());
    RECT rc = {};
    GetClientRect(&rc);
    dc.BitBlt(0, 0, rc.right - rc.left, rc.bottom - rc.top, dcMem.GetSafeHdc(), 0, 0, SRCCOPY);
    // Mirrored with the layout, the page gets its drawings of the device back the right way round, each
    // where the mirrored page has it.
    if (GetLayout(dc.GetSafeHdc()) & LAYOUT_RTL) {
        for (const PageArea& area : UnmirroredAreas(m_nPage)) {
            const int x = m_scale.Px(area.x);
            const int y = m_scale.Px(area.y);
            dc.BitBlt(x, y, m_scale.Px(area.x + area.cx) - x, m_scale.Px(area.y + area.cy) - y, dcMem.GetSafeHdc(), x, y,
                      SRCCOPY | NOMIRRORBITMAP);
        }
    }
    return TRUE;
}

void CVelmoraEUT_KRT_P940Dlg::OnDestroy()
{
    KillTimer(DETECT_PORT_TIMER);
    Platform::SetMessageSink({});
    SetCommandObserver(nullptr);
    m_bmpBackground.DeleteObject();
    m_runIndicators.Clear();
    ReleaseEndedWorker();
}

void CVelmoraEUT_KRT_P940Dlg::OnOK()
{
    // Enter away from any button: the page's forward step, never the end of the wizard (a habitual
    // Enter would otherwise quit it without a word).
    if (CSkinButton* pForward = ForwardButton()) {
        SendMessage(WM_COMMAND, MAKEWPARAM(pForward->GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(pForward->m_hWnd));
    }
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnGetDefId(WPARAM, LPARAM)
{
    CSkinButton* pForward = ForwardButton();
    return pForward != nullptr ? MAKELONG(pForward->GetDlgCtrlID(), DC_HASDEFID) : 0;
}

void CVelmoraEUT_KRT_P940Dlg::OnCancel()
{
    if (ConfirmClose()) {
        CDialog::OnCancel();
    }
}

void CVelmoraEUT_KRT_P940Dlg::OnExit()
{
    OnCancel();
}
