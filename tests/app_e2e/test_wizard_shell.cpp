// The window as a whole: one wizard per session, the About box of the system menu, Escape.
#include "tests/app_e2e/wizard_test.h"

#include <vector>

using namespace WizardUi;

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 15000;

using WizardShell = WizardTest;

HWND WaitForAbout(CDriverProcess& process, DWORD nTimeoutMs)
{
    return process.WaitForWindow(DIALOG_CLASS, ABOUT_TITLE, nTimeoutMs);
}

bool HasStaticText(HWND hDialog, const std::wstring& strText)
{
    for (HWND hChild = GetWindow(hDialog, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        if (WindowText(hChild) == strText)
            return true;
    }
    return false;
}

// A value of a program's version resource, as Explorer's Details tab reads it.
std::wstring VersionValue(const std::wstring& strExe, const wchar_t* pszName, VS_FIXEDFILEINFO* pFixed = nullptr)
{
    DWORD dwHandle = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(strExe.c_str(), &dwHandle));
    if (data.empty() || !GetFileVersionInfoW(strExe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
        return L"(no version resource)";
    void* pValue = nullptr;
    UINT nLength = 0;
    if (pFixed != nullptr && VerQueryValueW(data.data(), L"\\", &pValue, &nLength))
        *pFixed = *static_cast<VS_FIXEDFILEINFO*>(pValue);
    const std::wstring strPath = std::wstring(L"\\StringFileInfo\\040904B0\\") + pszName;
    if (!VerQueryValueW(data.data(), strPath.c_str(), &pValue, &nLength) || nLength == 0)
        return L"(none)";
    return static_cast<const wchar_t*>(pValue);
}

// A second start brings the first window back to the front and ends; there is still one wizard.
TEST_F(WizardShell, SecondInstanceRaisesTheFirstAndEnds)
{
    StartWizard(false, false);
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));
    ShowWindow(Ui().Dialog(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(Ui().Dialog()) != 0; }, 5000));

    CDriverProcess second;
    ASSERT_TRUE(second.Start(m_session.WizardExe(), L"", {}));
    DWORD dwExit = 0;
    EXPECT_TRUE(second.WaitForExit(30000, &dwExit)) << "the second wizard kept running";
    EXPECT_TRUE(m_session.Process().IsRunning());
    EXPECT_EQ(1u, FindWindowsByTitle(DIALOG_CLASS, TITLE).size());
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(Ui().Dialog()) && GetForegroundWindow() == Ui().Dialog(); }, 5000))
        << "the first wizard was not brought to the front";
    EXPECT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));
    m_session.Screenshot("second_instance_first_raised");

    // Both programs carry the tool version where Explorer shows it.
    const std::wstring& strWizard = m_session.WizardExe();
    const std::wstring strAppDir = strWizard.substr(0, strWizard.find_last_of(L"/\\"));
    const std::wstring strFlash = strAppDir.substr(0, strAppDir.find_last_of(L"/\\")) + L"\\cli\\krt-flash.exe";
    for (const std::wstring& strExe : {m_session.WizardExe(), strFlash}) {
        VS_FIXEDFILEINFO fixed = {};
        EXPECT_EQ(L"1.0.019", VersionValue(strExe, L"FileVersion", &fixed)) << strExe;
        EXPECT_EQ(0x00010000u, fixed.dwFileVersionMS);
        EXPECT_EQ(0x00130000u, fixed.dwFileVersionLS);
        EXPECT_EQ(0x00010000u, fixed.dwProductVersionMS);
        EXPECT_EQ(L"1.0.019", VersionValue(strExe, L"ProductVersion"));
        EXPECT_EQ(L"Velmora", VersionValue(strExe, L"CompanyName"));
        EXPECT_EQ(L"Velmora SW Upgrade for KRT-P940", VersionValue(strExe, L"ProductName"));
        EXPECT_NE(std::wstring::npos, VersionValue(strExe, L"LegalCopyright").find(L"Velmora"));
        EXPECT_EQ(strExe.substr(strExe.find_last_of(L"/\\") + 1), VersionValue(strExe, L"OriginalFilename"));
    }
    // The manifest's assembly version is the same one.
    HMODULE hWizard = LoadLibraryExW(strWizard.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, hWizard);
    HRSRC hManifest = FindResourceW(hWizard, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, hManifest);
    const std::string strManifest(static_cast<const char*>(LockResource(LoadResource(hWizard, hManifest))),
                                  SizeofResource(hWizard, hManifest));
    EXPECT_NE(std::string::npos, strManifest.find("SwUpgrade\" version=\"1.0.19.0\"")) << strManifest;
    FreeLibrary(hWizard);
    EXPECT_EQ(L"Velmora SW Upgrade for KRT-P940", VersionValue(m_session.WizardExe(), L"FileDescription"));
    EXPECT_EQ(L"KRT-P940 command-line flasher", VersionValue(strFlash, L"FileDescription"));
}

// The About item of the system menu (command ids 16 to 31), then Escape ends the wizard.
TEST_F(WizardShell, AboutBoxFromSystemMenuThenEscapeEnds)
{
    StartWizard(false, false);
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));

    // As a user: Alt+Space opens the system menu; its last item is "Velmora SW Upgrade (&A)..." (Up from
    // the first item wraps round to it; the A key could reach Wine's own "About Wine" first).
    Ui().PressKey(VK_SPACE, VK_MENU);
    auto menuOpen = [] {
        HWND hMenu = FindWindowW(L"#32768", nullptr);
        return hMenu != nullptr && IsWindowVisible(hMenu);
    };
    ASSERT_TRUE(WaitUntil(menuOpen, 5000)) << "Alt+Space opened no system menu";
    Sleep(200);
    Ui().PressKeyHere(VK_UP);
    Sleep(300);
    ASSERT_TRUE(menuOpen());
    Ui().PressKeyHere(VK_RETURN);
    HWND hAbout = WaitForAbout(m_session.Process(), 5000);
    ASSERT_NE(nullptr, hAbout) << "no About box from the system menu";
    m_session.ScreenshotOf(hAbout, "about_box");
    EXPECT_TRUE(HasStaticText(hAbout, ABOUT_TEXT));
    HWND hOk = GetDlgItem(hAbout, IDOK);
    ASSERT_NE(nullptr, hOk);
    Ui().ClickWindow(hOk);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hAbout); }, 5000)) << "OK did not close the About box";

    // Every id from 16 to 31 opens it; the low four bits do not matter.
    for (WPARAM nCommand : {16, 23, 31}) {
        PostMessageW(Ui().Dialog(), WM_SYSCOMMAND, nCommand, 0);
        hAbout = WaitForAbout(m_session.Process(), 5000);
        ASSERT_NE(nullptr, hAbout) << "command " << nCommand;
        SetForegroundWindow(hAbout);
        Sleep(100);
        PostMessageW(hAbout, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hAbout); }, 5000));
    }
    // 32 and 15 are not the About item.
    for (WPARAM nCommand : {15, 32}) {
        PostMessageW(Ui().Dialog(), WM_SYSCOMMAND, nCommand, 0);
        Sleep(700);
        EXPECT_EQ(nullptr, WaitForAbout(m_session.Process(), 0)) << "command " << nCommand;
    }
    EXPECT_TRUE(m_session.Process().IsRunning());

    // Escape on the licence page ends the wizard.
    Ui().Click(ID_NEXT);
    ASSERT_TRUE(m_session.WaitForPage(1, PAGE_TIMEOUT_MS));
    Ui().PressKey(VK_ESCAPE);
    EXPECT_TRUE(m_session.Process().WaitForExit(10000)) << "Escape did not end the wizard";
}

}  // namespace

// A release as scripts/release.sh makes it (run by the release test with KRT_WIZARD_EXE naming it): it
// opens its first page, carries its version, and reads no test switch: with KRT_TIME_SCALE=1000 in its
// environment a page change still takes its half second, not 500 s.
using WizardRelease = WizardTest;

TEST_F(WizardRelease, OpensWithItsVersionAndIgnoresTheTimeScale)
{
    ASSERT_EQ(std::wstring(L"1000"), EnvVar(L"KRT_TIME_SCALE")) << "the release test sets KRT_TIME_SCALE=1000";
    StartWizard(true, false);
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));
    EXPECT_EQ(L"1.0.019", VersionValue(m_session.WizardExe(), L"ProductVersion"));
    EXPECT_EQ(L"Velmora", VersionValue(m_session.WizardExe(), L"CompanyName"));
    const ULONGLONG nStart = GetTickCount64();
    Ui().Click(ID_NEXT);
    EXPECT_TRUE(m_session.WaitForPage(1, 2000)) << "Next did not change the page within 2 s";
    EXPECT_LT(GetTickCount64() - nStart, 2000u);
    m_session.Screenshot("release_page1");
}
