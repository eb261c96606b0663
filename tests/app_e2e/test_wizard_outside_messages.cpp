// Another program drives the download screen with the messages WM_USER + 3000 to 3004. A text pointer
// is only good inside the wizard's process: one that points into the sender's memory must not crash it,
// while the numbers still take effect; a text placed in the wizard's memory is shown.
#include <cstring>
#include <string>

#include "tests/app_e2e/wizard_test.h"

using namespace WizardUi;

namespace {

// Text written into the wizard's own memory, for as long as this object lives.
class CRemoteText {
public:
    CRemoteText(DWORD dwProcessId, const void* pData, size_t nBytes)
    {
        m_hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, dwProcessId);
        if (m_hProcess == nullptr)
            return;
        m_pRemote = VirtualAllocEx(m_hProcess, nullptr, nBytes + 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (m_pRemote != nullptr)
            WriteProcessMemory(m_hProcess, m_pRemote, pData, nBytes, nullptr);
    }
    ~CRemoteText()
    {
        if (m_pRemote != nullptr)
            VirtualFreeEx(m_hProcess, m_pRemote, 0, MEM_RELEASE);
        if (m_hProcess != nullptr)
            CloseHandle(m_hProcess);
    }
    WPARAM Pointer() const { return reinterpret_cast<WPARAM>(m_pRemote); }

private:
    HANDLE m_hProcess = nullptr;
    void* m_pRemote = nullptr;
};

class WizardOutsideMessages : public WizardTest {
protected:
    void SetUp() override
    {
        StartWizard(true, true);
        ASSERT_EQ("", m_session.WalkToPage(5));
    }
    // Sends and waits for the answer; false if the wizard did not answer (hung or gone).
    bool Send(UINT nMessage, WPARAM wParam, LPARAM lParam)
    {
        DWORD_PTR nResult = 0;
        return SendMessageTimeoutW(Ui().Dialog(), nMessage, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &nResult) != 0;
    }
    bool SendWide(UINT nMessage, const std::wstring& strText, LPARAM lParam)
    {
        CRemoteText text(m_session.Process().ProcessId(), strText.c_str(), (strText.size() + 1) * sizeof(wchar_t));
        return Send(nMessage, text.Pointer(), lParam);
    }
    bool SendNarrow(UINT nMessage, const std::string& strText, LPARAM lParam)
    {
        CRemoteText text(m_session.Process().ProcessId(), strText.c_str(), strText.size() + 1);
        return Send(nMessage, text.Pointer(), lParam);
    }
    bool Alive() { return m_session.Process().IsRunning() && Ui().AnswerTimeMs(5000) >= 0; }
};

TEST_F(WizardOutsideMessages, AnotherProgramDrivesTheDownloadScreen)
{
    // A pointer into this process: meaningless to the wizard. The total still counts, and the port timer
    // stops: pulling the device out no longer leads back to page 4.
    static const wchar_t szForeign[] = L"text in the sender's memory";
    ASSERT_TRUE(Send(MSG_EXT_RANGE, reinterpret_cast<WPARAM>(szForeign), 200));
    ASSERT_TRUE(Alive());
    ASSERT_TRUE(HostState::UnplugDevice());
    Sleep(TimerBudgetMs(true) + PORT_TIMER_MS);
    EXPECT_EQ(5, m_session.ShownPage()) << "the port timer still runs after the range message";

    // Progress with a foreign text pointer: the count (50 of 200) and percent show, nothing crashes.
    const std::string strStatusBefore = Ui().StatusPart(0);
    ASSERT_TRUE(Send(MSG_EXT_PROGRESS, reinterpret_cast<WPARAM>(szForeign), 50));
    ASSERT_TRUE(Alive());
    EXPECT_NEAR(0.25, m_session.ProgressFillNear(0.25, 0.02), 0.02);
    int nSeconds = 0;
    int nPercent = 0;
    EXPECT_TRUE(ParseElapsed(Ui().Text(ID_PROGRESS), &nSeconds, &nPercent)) << Ui().Text(ID_PROGRESS);
    EXPECT_EQ(25, nPercent);
    EXPECT_FALSE(Ui().Enabled(ID_START));
    // A null pointer and a pointer to nowhere in particular.
    ASSERT_TRUE(Send(MSG_EXT_PROGRESS, 0, 60));
    ASSERT_TRUE(Send(MSG_EXT_PROGRESS, 0x10, 70));
    ASSERT_TRUE(Send(MSG_EXT_STATUS, 0x10, EXT_TEXT_SINGLE_BYTE));
    ASSERT_TRUE(Send(MSG_EXT_STATUS, reinterpret_cast<WPARAM>(szForeign), 0));
    ASSERT_TRUE(Alive());
    EXPECT_NEAR(0.35, m_session.ProgressFillNear(0.35, 0.02), 0.02);

    // Progress with a text in the wizard's memory: shown as it is, never used as a format.
    ASSERT_TRUE(SendWide(MSG_EXT_PROGRESS, L"Writing %s %d %n from outside", 100));
    EXPECT_EQ("Writing %s %d %n from outside", Ui().StatusPart(0));
    EXPECT_NEAR(0.5, m_session.ProgressFillNear(0.5, 0.02), 0.02);
    EXPECT_TRUE(ParseElapsed(Ui().Text(ID_PROGRESS), &nSeconds, &nPercent));
    EXPECT_EQ(50, nPercent);
    m_session.Screenshot("outside_progress");

    // Status texts: single-byte with 1234, UTF-16 otherwise; 30 characters or more are cut to 30 + "....".
    ASSERT_TRUE(SendNarrow(MSG_EXT_STATUS, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012", EXT_TEXT_SINGLE_BYTE));
    EXPECT_EQ("ABCDEFGHIJKLMNOPQRSTUVWXYZ012", Ui().StatusPart(0));
    ASSERT_TRUE(SendNarrow(MSG_EXT_STATUS, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", EXT_TEXT_SINGLE_BYTE));
    EXPECT_EQ("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123....", Ui().StatusPart(0));
    ASSERT_TRUE(SendNarrow(MSG_EXT_STATUS, std::string(300, 'x'), EXT_TEXT_SINGLE_BYTE));
    EXPECT_EQ(std::string(30, 'x') + "....", Ui().StatusPart(0));
    ASSERT_TRUE(SendWide(MSG_EXT_STATUS, L"Gr\u00f6\u00dfe \u00e9t\u00e9", 0));
    EXPECT_EQ("Gr\xc3\xb6\xc3\x9f" "e \xc3\xa9t\xc3\xa9", Ui().StatusPart(0));
    ASSERT_TRUE(SendWide(MSG_EXT_STATUS, L"", 0));
    EXPECT_EQ("Gr\xc3\xb6\xc3\x9f" "e \xc3\xa9t\xc3\xa9", Ui().StatusPart(0)) << "an empty text changed the status";
    // UTF-16 read as single bytes stops at the first zero byte: "A".
    ASSERT_TRUE(SendWide(MSG_EXT_STATUS, L"AB", EXT_TEXT_SINGLE_BYTE));
    EXPECT_EQ("A", Ui().StatusPart(0));
    EXPECT_NE(strStatusBefore, Ui().StatusPart(0));
    ASSERT_TRUE(Alive());

    // The error message shows a box; the screen stays as it was.
    PostMessageW(Ui().Dialog(), MSG_EXT_ERROR, 0, 0);
    HWND hBox = nullptr;
    ASSERT_TRUE(CWizardSession::WaitUntil([&] { return (hBox = m_session.MessageBoxWindow()) != nullptr; }, 5000));
    EXPECT_EQ(CANCEL_DOWNLOAD, m_session.MessageBoxText(hBox));
    m_session.ScreenshotOf(hBox, "outside_error_box");
    m_session.ClickMessageBoxButton(hBox, IDOK);
    ASSERT_TRUE(CWizardSession::WaitUntil([&] { return !IsWindow(hBox); }, 5000));
    ASSERT_TRUE(Alive());
    EXPECT_EQ(5, m_session.ShownPage());
    EXPECT_TRUE(Ui().Visible(ID_START));
    EXPECT_TRUE(Ui().Visible(ID_IMG_PRESS_START));
    EXPECT_EQ("A", Ui().StatusPart(0));

    // Success: the banner and Exit on the right, the other pictures gone.
    ASSERT_TRUE(Send(MSG_EXT_SUCCESS, 0, 0));
    EXPECT_TRUE(Ui().Visible(ID_IMG_SUCCESS));
    EXPECT_FALSE(Ui().Visible(ID_IMG_UPDATING) || Ui().Visible(ID_IMG_PRESS_START) || Ui().Visible(ID_IMG_FAILED));
    EXPECT_FALSE(Ui().Visible(ID_IMG_CABLE_LARGE) || Ui().Visible(ID_IMG_CONNECTED) ||
                 Ui().Visible(ID_IMG_CABLE_SMALL));
    EXPECT_TRUE(Ui().Visible(ID_EXIT));
    EXPECT_TRUE(Ui().IsAt(ID_EXIT, EXIT_RIGHT));
    m_session.Screenshot("outside_success");
    Ui().Click(ID_EXIT);
    EXPECT_TRUE(m_session.Process().WaitForExit(10000));
}

}  // namespace
