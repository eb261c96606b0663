#include "tests/app_e2e/wizard_session.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/app_e2e/host_state.h"

namespace {

constexpr DWORD START_TIMEOUT_MS = 60000;
constexpr DWORD PAGE_TIMEOUT_MS = 15000;
// The driver check may run the installer on the way to page 2.
constexpr DWORD INSTALL_TIMEOUT_MS = 180000;
constexpr double PAGE_MATCH = 0.85;

struct ChildRects {
    HWND hParent;
    std::vector<RECT> rects;
};

BOOL CALLBACK CollectVisibleChild(HWND hWnd, LPARAM lParam)
{
    auto* pChildren = reinterpret_cast<ChildRects*>(lParam);
    if (GetParent(hWnd) != pChildren->hParent || !IsWindowVisible(hWnd))
        return TRUE;
    RECT rect = {};
    GetWindowRect(hWnd, &rect);
    MapWindowPoints(HWND_DESKTOP, pChildren->hParent, reinterpret_cast<POINT*>(&rect), 2);
    pChildren->rects.push_back(rect);
    return TRUE;
}

std::string GetTempFolder()
{
    char szTemp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szTemp);
    return szTemp;
}

}  // namespace

CWizardSession::CWizardSession()
{
    m_strExe = EnvVar(L"KRT_WIZARD_EXE");
    m_strShots = EnvVar(L"KRT_E2E_SHOTS");
    const std::wstring strScale = EnvVar(L"KRT_TIME_SCALE");
    if (!strScale.empty())
        m_dTimeScale = std::wcstod(strScale.c_str(), nullptr);
    if (!(m_dTimeScale > 0.0))
        m_dTimeScale = 1.0;
    HostState::LetWineDrawWindowFrames();
    m_strTemp = GetTempFolder() + "krt_wizard_" + std::to_string(GetCurrentProcessId()) + "\\";
    HostState::CreateFolder(m_strTemp);
    if (!m_strShots.empty())
        CreateDirectoryW(m_strShots.c_str(), nullptr);
}

CWizardSession::~CWizardSession()
{
    m_process.Kill();
    HostState::RemoveFolder(m_strTemp.substr(0, m_strTemp.size() - 1));
}

void CWizardSession::SetScale(int nDpi, const std::string& strShotPrefix)
{
    m_nDpi = nDpi;
    m_strShotPrefix = strShotPrefix;
    m_pageBitmaps.clear();
}

bool CWizardSession::Start()
{
    const std::wstring strTemp = Widen(m_strTemp.substr(0, m_strTemp.size() - 1));
    if (m_strExe.empty() || !m_process.Start(m_strExe, L"", {{L"TEMP", strTemp}, {L"TMP", strTemp}}))
        return false;
    HWND hDialog = m_process.WaitForWindow(WizardUi::DIALOG_CLASS, WizardUi::TITLE, START_TIMEOUT_MS);
    if (hDialog == nullptr)
        return false;
    m_window = CWizardWindow(hDialog, m_process.ProcessId());
    return true;
}

bool CWizardSession::WaitUntil(const std::function<bool()>& condition, DWORD nTimeoutMs)
{
    const ULONGLONG nEnd = GetTickCount64() + nTimeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= nEnd)
            return false;
        Sleep(20);
    }
}

int CWizardSession::ShownPage(double* pdShare) const
{
    if (m_pageBitmaps.empty()) {
        for (int nBitmap : WizardUi::PAGE_BITMAPS)
            m_pageBitmaps.push_back(LoadArtworkOf(m_strExe, nBitmap, m_nDpi));
    }
    const POINT origin = m_window.ClientOrigin();
    // The page as far as the client area shows it (the frame covers its right edge).
    RECT rcClient = {};
    GetClientRect(m_window.Dialog(), &rcClient);
    const CScreenImage screen = CaptureScreen(RECT{origin.x, origin.y, origin.x + std::min<int>(Px(WizardUi::PAGE_WIDTH), rcClient.right),
                                                   origin.y + std::min<int>(Px(WizardUi::PAGE_HEIGHT), rcClient.bottom)});
    ChildRects children{m_window.Dialog(), {}};
    EnumChildWindows(m_window.Dialog(), CollectVisibleChild, reinterpret_cast<LPARAM>(&children));
    int nBest = -1;
    double dBest = 0.0;
    for (int nPage = 0; nPage < WizardUi::PAGE_COUNT; ++nPage) {
        if (m_pageBitmaps[nPage].Empty())
            continue;
        // As many samples at every scale: the walk polls this while the wizard works.
        const double dShare = MatchShare(screen, 0, 0, m_pageBitmaps[nPage], children.rects, Px(3));
        if (dShare > dBest) {
            dBest = dShare;
            nBest = nPage;
        }
    }
    if (pdShare != nullptr)
        *pdShare = dBest;
    return dBest >= PAGE_MATCH ? nBest : -1;
}

bool CWizardSession::WaitForPage(int nPage, DWORD nTimeoutMs)
{
    return WaitUntil(
        [&] {
            return m_window.AnswerTimeMs(1000) >= 0 && ShownPage() == nPage;
        },
        nTimeoutMs);
}

CScreenImage CWizardSession::CaptureControl(int nId) const
{
    RECT rect = {};
    GetWindowRect(m_window.Control(nId), &rect);
    return CaptureScreen(rect);
}

RECT CWizardSession::WordsRect(int nBitmap) const
{
    for (const WizardUi::WordsBox& box : WizardUi::WORDS_BOXES) {
        if (box.nBitmap == nBitmap)
            return RECT{Px(box.left), Px(box.top), Px(box.right), Px(box.bottom)};
    }
    return RECT{0, 0, 0, 0};
}

double CWizardSession::FaceMatch(int nId, int nBitmap) const
{
    const CScreenImage bitmap = LoadArtworkOf(m_strExe, nBitmap, m_nDpi);
    const CScreenImage screen = CaptureControl(nId);
    // Which face it is shows inside the band a focus ring may cover, round the face (which may be smaller
    // than its window), and where its words are drawn.
    const int nBand = Px(3);
    const int cx = std::min(screen.m_nWidth, bitmap.m_nWidth);
    const int cy = std::min(screen.m_nHeight, bitmap.m_nHeight);
    const std::vector<RECT> excluded = {{0, 0, cx, nBand}, {0, cy - nBand, cx, cy}, {0, 0, nBand, cy}, {cx - nBand, 0, cx, cy},
                                        WordsRect(nBitmap)};
    return MatchShare(screen, 0, 0, bitmap, excluded);
}

double CWizardSession::WordsShare(int nId, int nBitmap) const
{
    const CScreenImage bitmap = LoadArtworkOf(m_strExe, nBitmap, m_nDpi);
    const CScreenImage screen = CaptureControl(nId);
    const RECT rcWords = WordsRect(nBitmap);
    // The box alone: everything but it is left out.
    const std::vector<RECT> outside = {{0, 0, bitmap.m_nWidth, rcWords.top}, {0, rcWords.bottom, bitmap.m_nWidth, bitmap.m_nHeight},
                                       {0, rcWords.top, rcWords.left, rcWords.bottom},
                                       {rcWords.right, rcWords.top, bitmap.m_nWidth, rcWords.bottom}};
    return 1.0 - MatchShare(screen, 0, 0, bitmap, outside);
}

double CWizardSession::ProgressFill() const
{
    HWND hBar = m_window.Control(WizardUi::ID_PROGRESS);
    RECT rect = {};
    GetClientRect(hBar, &rect);
    MapWindowPoints(hBar, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    // Row 1 of the client area: above the caption's glyphs.
    rect.top += 1;
    rect.bottom = rect.top + 1;
    m_window.AnswerTimeMs(2000);
    const CScreenImage row = CaptureScreen(rect);
    if (row.Empty())
        return -1.0;
    const uint32_t nTrack = row.At(row.m_nWidth - 1, 0);
    int nFilled = 0;
    while (nFilled < row.m_nWidth && row.At(nFilled, 0) != nTrack)
        ++nFilled;
    return static_cast<double>(nFilled) / row.m_nWidth;
}

double CWizardSession::ProgressFillNear(double dExpected, double dTolerance, DWORD nTimeoutMs)
{
    double dFill = -1.0;
    WaitUntil([&] { return std::abs((dFill = ProgressFill()) - dExpected) <= dTolerance; }, nTimeoutMs);
    return dFill;
}

HWND CWizardSession::MessageBoxWindow() const
{
    for (HWND hWnd : m_process.TopWindows(WizardUi::DIALOG_CLASS)) {
        if (hWnd != m_window.Dialog())
            return hWnd;
    }
    return nullptr;
}

std::string CWizardSession::MessageBoxText(HWND hBox) const
{
    // The text of a message box is the static control 0xFFFF.
    HWND hText = GetDlgItem(hBox, 0xFFFF);
    return hText == nullptr ? std::string() : Narrow(WindowText(hText));
}

void CWizardSession::ClickMessageBoxButton(HWND hBox, int nButtonId) const
{
    HWND hButton = GetDlgItem(hBox, nButtonId);
    if (hButton == nullptr)
        return;
    SetForegroundWindow(hBox);
    Sleep(50);
    RECT rect = {};
    GetWindowRect(hButton, &rect);
    ClickScreenPoint(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void CWizardSession::Screenshot(const std::string& strName) const
{
    ScreenshotOf(m_window.Dialog(), strName);
}

void CWizardSession::ScreenshotOf(HWND hWnd, const std::string& strName) const
{
    if (m_strShots.empty() || hWnd == nullptr)
        return;
    // Let pending paints land first.
    m_window.AnswerTimeMs(2000);
    Sleep(150);
    // A box in front of the wizard is shown with the wizard around it.
    RECT rect = {};
    RECT rectWizard = {};
    GetWindowRect(hWnd, &rect);
    GetWindowRect(m_window.Dialog(), &rectWizard);
    UnionRect(&rect, &rect, &rectWizard);
    CaptureScreen(rect).SaveBmp(m_strShots + L"\\" + Widen(m_strShotPrefix + strName) + L".bmp");
}

std::string CWizardSession::WalkToPage(int nPage, bool bScreenshots, const std::function<void(int nPage)>& fnOnPage)
{
    using namespace WizardUi;
    const char* pageNames[] = {"page0_intro", "page1_license", "page2_notice", "page3_download_mode",
                               "page4_connect", "page5_download"};
    auto arrive = [&](int nTarget, DWORD nTimeoutMs) -> std::string {
        if (!WaitForPage(nTarget, nTimeoutMs))
            return "page " + std::to_string(nTarget) + " not shown (shown: " + std::to_string(ShownPage()) + ")";
        if (bScreenshots)
            Screenshot(pageNames[nTarget]);
        if (fnOnPage)
            fnOnPage(nTarget);
        return "";
    };
    auto next = [&](int nTarget, DWORD nTimeoutMs) -> std::string {
        if (!WaitUntil([&] { return m_window.Visible(ID_NEXT) && m_window.Enabled(ID_NEXT); }, PAGE_TIMEOUT_MS))
            return "Next not enabled on page " + std::to_string(nTarget - 1);
        m_window.Click(ID_NEXT);
        return arrive(nTarget, nTimeoutMs);
    };
    std::string strError = arrive(0, PAGE_TIMEOUT_MS);
    if (strError.empty() && nPage >= 1)
        strError = next(1, PAGE_TIMEOUT_MS);
    if (strError.empty() && nPage >= 2) {
        m_window.Click(ID_LICENSE_ACCEPT);
        strError = next(2, INSTALL_TIMEOUT_MS);
    }
    if (strError.empty() && nPage >= 3) {
        m_window.Click(ID_NOTICE_ACCEPT);
        strError = next(3, PAGE_TIMEOUT_MS);
    }
    if (strError.empty() && nPage >= 4)
        strError = next(4, PAGE_TIMEOUT_MS);
    if (strError.empty() && nPage >= 5)
        strError = next(5, PAGE_TIMEOUT_MS + Scaled(PORT_TIMER_MS));
    return strError;
}
