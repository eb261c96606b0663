#include "tests/app/wizard_fixture.h"

#include <commctrl.h>

#include <atomic>
#include <iterator>
#include <mutex>

#include "framework/common_controls.h"
#include "host/usb_driver.h"
#include "image/staging.h"
#include "platform/clock.h"
#include "tests/host/wine_driver_state.h"

void WizardTest::SetUp()
{
    static bool s_bClasses = RegisterControlClasses();
    ASSERT_TRUE(s_bClasses);
    // The driver is in place, so arriving at the notice page installs nothing; no device yet.
    ASSERT_TRUE(WineDriverState::WriteVersionText(USB_DRIVER_REQUIRED_VERSION));
    WineDriverState::CreateDriverFolder();
    WineDriverState::CreateDriverFile("qzcdbus.sys");
    SetDevicePort(nullptr);
    // Page changes pause 500 ms; a hundredth of that keeps the tests quick.
    Platform::SetTimeScale(0.01);
    m_pDlg = std::make_unique<CVelmoraEUT_KRT_P940Dlg>();
    ASSERT_TRUE(m_pDlg->Create(nullptr));
    ShowWindow(m_pDlg->m_hWnd, SW_SHOW);
    Pump(50);
}

void WizardTest::TearDown()
{
    m_pDlg.reset();
    Pump(20);
    Platform::SetTimeScale(1.0);
}

void WizardTest::Pump(DWORD nMs)
{
    const DWORD dwStart = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - dwStart < nMs);
}

void WizardTest::Click(int nId)
{
    SendMessageA(m_pDlg->m_hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(Item(nId)));
}

void WizardTest::GoToPage(int nPage)
{
    m_pDlg->m_nPage = nPage;
    m_pDlg->m_bmpBackground.DeleteObject();
    m_pDlg->ShowPage();
}

RECT WizardTest::ClientRectOf(int nId) const
{
    RECT rc = {};
    GetWindowRect(Item(nId), &rc);
    MapWindowPoints(nullptr, m_pDlg->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string WizardTest::StatusPart(int nPart) const
{
    HWND hBar = FindWindowExA(m_pDlg->m_hWnd, nullptr, STATUSCLASSNAMEA, nullptr);
    char szText[512] = {};
    SendMessageA(hBar, SB_GETTEXTA, static_cast<WPARAM>(nPart), reinterpret_cast<LPARAM>(szText));
    return szText;
}

std::string WizardTest::WindowText(int nId) const
{
    wchar_t szText[512] = {};
    GetWindowTextW(Item(nId), szText, static_cast<int>(std::size(szText)));
    char szUtf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, szText, -1, szUtf8, sizeof(szUtf8), nullptr, nullptr);
    return szUtf8;
}

std::string WizardTest::ProgressCaption() const
{
    char szText[256] = {};
    SendMessageA(Item(2031), WM_GETTEXT, sizeof(szText), reinterpret_cast<LPARAM>(szText));
    return szText;
}

void WizardTest::SetDevicePort(const char* pszPort)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    if (pszPort != nullptr) {
        RegSetValueExA(hKey, "\\Device\\qzcdserd0", 0, REG_SZ, reinterpret_cast<const BYTE*>(pszPort),
                       static_cast<DWORD>(strlen(pszPort) + 1));
    } else {
        RegDeleteValueA(hKey, "\\Device\\qzcdserd0");
    }
    RegCloseKey(hKey);
}

std::string WizardTest::StagedImagePath()
{
    char szTemp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, szTemp);
    return std::string(szTemp) + STAGED_IMAGE_NAME;
}

struct CBoxAnswerer::State {
    int nButton = IDOK;
    std::atomic<bool> bStop{false};
    std::atomic<bool> bAnswered{false};
    std::mutex mutex;
    std::string strText;
    HWND hOwner = nullptr;
};

namespace {

DWORD WINAPI AnswerBoxes(void* pParam)
{
    auto* pState = static_cast<std::shared_ptr<CBoxAnswerer::State>*>(pParam);
    std::shared_ptr<CBoxAnswerer::State> state = *pState;
    delete pState;
    const std::string strCaption = ProgramName();
    while (!state->bStop.load()) {
        HWND hBox = FindWindowA(MAKEINTATOM(32770), strCaption.c_str());
        if (hBox != nullptr) {
            // Read as UTF-16 and kept as UTF-8: a text the box shows wrongly cannot read back right.
            wchar_t szWide[1024] = {};
            GetDlgItemTextW(hBox, 0xFFFF, szWide, 1024);
            char szText[3 * 1024] = {};
            WideCharToMultiByte(CP_UTF8, 0, szWide, -1, szText, sizeof(szText), nullptr, nullptr);
            {
                std::lock_guard<std::mutex> lock(state->mutex);
                state->strText = szText;
                state->hOwner = GetWindow(hBox, GW_OWNER);
            }
            PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(state->nButton, BN_CLICKED), 0);
            state->bAnswered = true;
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

}  // namespace

CBoxAnswerer::CBoxAnswerer(int nButton) : m_pState(std::make_shared<State>())
{
    m_pState->nButton = nButton;
    m_hThread = CreateThread(nullptr, 0, &AnswerBoxes, new std::shared_ptr<State>(m_pState), 0, nullptr);
}

CBoxAnswerer::~CBoxAnswerer()
{
    m_pState->bStop = true;
    WaitForSingleObject(m_hThread, 5000);
    CloseHandle(m_hThread);
}

std::string CBoxAnswerer::Text() const
{
    std::lock_guard<std::mutex> lock(m_pState->mutex);
    return m_pState->strText;
}

HWND CBoxAnswerer::Owner() const
{
    std::lock_guard<std::mutex> lock(m_pState->mutex);
    return m_pState->hOwner;
}

bool CBoxAnswerer::Answered() const
{
    return m_pState->bAnswered.load();
}
