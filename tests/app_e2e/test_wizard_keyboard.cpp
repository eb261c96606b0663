// The whole upgrade by keyboard alone, as a user who cannot use the mouse or uses a screen reader goes
// through it: Tab, arrows, Space, Enter and access keys only, a real flash into the simulated device.
// On the way: where the focus is, the focus ring in pixels, the access keys underlined from the first
// key on (not before), the controls' names, what assistive technology reads of the choices, and that
// Enter ends the wizard only on Exit.
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/app_e2e/wizard_test.h"

using namespace WizardUi;

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 15000;
constexpr DWORD FLASH_TIMEOUT_MS = 240000;
constexpr uint32_t RING_COLOUR = 0x1F7BD8;

// Events a screen reader listens to, as they reach this process.
std::vector<DWORD> g_events;
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD dwEvent, HWND, LONG, LONG, DWORD, DWORD)
{
    g_events.push_back(dwEvent);
}

class WizardKeyboard : public WizardTest {
protected:
    void Key(WORD nKey, WORD nModifier = 0)
    {
        Ui().PressKey(nKey, nModifier);
        Sleep(150);
        Ui().AnswerTimeMs(5000);
    }
    bool FocusOn(int nId) { return WaitUntil([&] { return Ui().FocusedId() == nId; }, 3000); }
    // The ring's colour at the corner of the control's face, as the screen shows it.
    bool RingShown(int nId)
    {
        RECT rect = {};
        GetWindowRect(Ui().Control(nId), &rect);
        rect.right = rect.left + 2;
        rect.bottom = rect.top + 2;
        return WaitUntil([&] { return CaptureScreen(rect).At(1, 1) == RING_COLOUR; }, 2000);
    }
    // The caption now shows a line under one letter that it did not show before: what changed is a band
    // at most three pixels high (at 100 %) and as wide as a letter.
    bool UnderlineAdded(const CScreenImage& before, int nId)
    {
        const CScreenImage after = m_session.CaptureControl(nId);
        if (before.Empty() || after.m_nWidth != before.m_nWidth || after.m_nHeight != before.m_nHeight)
            return false;
        RECT rcChanged = {after.m_nWidth, after.m_nHeight, 0, 0};
        for (int y = 0; y < after.m_nHeight; ++y) {
            for (int x = 0; x < after.m_nWidth; ++x) {
                if (after.At(x, y) != before.At(x, y)) {
                    rcChanged = {std::min<LONG>(rcChanged.left, x), std::min<LONG>(rcChanged.top, y),
                                 std::max<LONG>(rcChanged.right, x + 1), std::max<LONG>(rcChanged.bottom, y + 1)};
                }
            }
        }
        return rcChanged.bottom - rcChanged.top > 0 && rcChanged.bottom - rcChanged.top <= m_session.Px(3) &&
               rcChanged.right - rcChanged.left >= m_session.Px(6) && rcChanged.right - rcChanged.left <= m_session.Px(16);
    }
    // What another process gets for a choice: under Wine the object does not cross processes (no proxy
    // for IAccessible), so the role and state are checked in-process by the dialog tests.
    void ReportChoiceObject(int nId)
    {
        IAccessible* pAcc = nullptr;
        const HRESULT hr = AccessibleObjectFromWindow(Ui().Control(nId), OBJID_CLIENT, __uuidof(IAccessible),
                                                      reinterpret_cast<void**>(&pAcc));
        std::printf("AccessibleObjectFromWindow across processes: 0x%08lx\n", static_cast<unsigned long>(hr));
        if (pAcc != nullptr)
            pAcc->Release();
    }
    // Lets the events of the hook arrive (they come as messages to this thread).
    static void PumpEvents(DWORD nMs)
    {
        const ULONGLONG nEnd = GetTickCount64() + nMs;
        MSG msg;
        while (GetTickCount64() < nEnd) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Sleep(10);
        }
    }
};

TEST_F(WizardKeyboard, WholeUpgradeByKeyboardAlone)
{
    StartWizard(true, true);
    CoInitialize(nullptr);
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(Ui().Dialog(), &dwProcess);
    HWINEVENTHOOK hHook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnWinEvent, dwProcess, 0,
                                          WINEVENT_OUTOFCONTEXT);
    EXPECT_NE(nullptr, hHook);

    // Page 0 opens on Next, with its ring and today's face; the first key underlines the access keys,
    // and changes nothing else of the captions. Enter goes on (it used to end the wizard).
    EXPECT_TRUE(FocusOn(ID_NEXT));
    EXPECT_TRUE(RingShown(ID_NEXT));
    const CScreenImage nextBefore = m_session.CaptureControl(ID_NEXT);
    const CScreenImage exitBefore = m_session.CaptureControl(ID_EXIT);
    Key(VK_TAB);
    EXPECT_TRUE(FocusOn(ID_EXIT));
    // Each compared in the same state as before (Next in the focus, Exit not).
    Key(VK_TAB, VK_SHIFT);
    EXPECT_TRUE(FocusOn(ID_NEXT));
    EXPECT_TRUE(WaitUntil([&] { return UnderlineAdded(nextBefore, ID_NEXT); }, 2000));
    EXPECT_TRUE(UnderlineAdded(exitBefore, ID_EXIT));
    EXPECT_EQ("&Next", Ui().Text(ID_NEXT));
    EXPECT_EQ("E&xit", Ui().Text(ID_EXIT));
    Key(VK_RETURN);
    ASSERT_TRUE(m_session.WaitForPage(1, PAGE_TIMEOUT_MS));
    PumpEvents(500);

    // Page 1: the licence text first; its own Enter changes nothing. Tab: the checked choice, Back, Exit
    // (Next is off), then round to the text.
    EXPECT_TRUE(FocusOn(ID_LICENSE_TEXT));
    Key(VK_RETURN);
    EXPECT_EQ(1, m_session.ShownPage());
    EXPECT_EQ("I &accept the terms in the license agreement.", Ui().Text(ID_LICENSE_ACCEPT));
    EXPECT_EQ("I &do not accept the terms in the license agreement.", Ui().Text(ID_LICENSE_DECLINE));
    ReportChoiceObject(ID_LICENSE_DECLINE);
    Key(VK_TAB);
    EXPECT_TRUE(FocusOn(ID_LICENSE_DECLINE));
    EXPECT_TRUE(RingShown(ID_LICENSE_DECLINE));
    m_session.Screenshot("keyboard_page1_focus");
    // Enter on a choice while Next is off: nothing.
    Key(VK_RETURN);
    EXPECT_EQ(1, m_session.ShownPage());
    Key(VK_UP);
    EXPECT_TRUE(WaitUntil([&] { return Ui().Checked(ID_LICENSE_ACCEPT) && Ui().Enabled(ID_NEXT); }, 2000));
    EXPECT_TRUE(FocusOn(ID_LICENSE_ACCEPT));
    EXPECT_FALSE(Ui().Checked(ID_LICENSE_DECLINE));
    Key(VK_TAB);
    EXPECT_TRUE(FocusOn(ID_BACK));
    EXPECT_TRUE(RingShown(ID_BACK));
    Key(VK_TAB);
    EXPECT_TRUE(FocusOn(ID_NEXT));
    Key(VK_TAB);
    EXPECT_TRUE(FocusOn(ID_EXIT));
    EXPECT_TRUE(RingShown(ID_EXIT));
    Key(VK_TAB, VK_SHIFT);
    Key(VK_TAB, VK_SHIFT);
    EXPECT_TRUE(FocusOn(ID_BACK));
    // Enter on Back goes back; page 0 again, then forward with the licence accepted: focus on Next.
    Key(VK_RETURN);
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));
    Key(VK_RETURN);
    ASSERT_TRUE(m_session.WaitForPage(1, PAGE_TIMEOUT_MS));
    EXPECT_TRUE(FocusOn(ID_NEXT));
    Key(VK_RETURN);
    ASSERT_TRUE(m_session.WaitForPage(2, PAGE_TIMEOUT_MS));

    // Page 2: on the declined choice; access keys, arrows and Space choose.
    EXPECT_TRUE(FocusOn(ID_NOTICE_DECLINE));
    EXPECT_EQ("&Accept", Ui().Text(ID_NOTICE_ACCEPT));
    EXPECT_EQ("&Decline", Ui().Text(ID_NOTICE_DECLINE));
    Key('A', VK_MENU);
    EXPECT_TRUE(WaitUntil([&] { return Ui().Checked(ID_NOTICE_ACCEPT) && Ui().Enabled(ID_NEXT); }, 2000));
    Key(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return Ui().Checked(ID_NOTICE_DECLINE) && !Ui().Enabled(ID_NEXT); }, 2000));
    EXPECT_TRUE(FocusOn(ID_NOTICE_DECLINE));
    Key('A', VK_MENU);
    Key('D', VK_MENU);
    EXPECT_TRUE(WaitUntil([&] { return Ui().Checked(ID_NOTICE_DECLINE); }, 2000));
    Key(VK_LEFT);
    Key(VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return Ui().Checked(ID_NOTICE_ACCEPT) && Ui().Enabled(ID_NEXT); }, 2000));
    EXPECT_FALSE(Ui().Checked(ID_NOTICE_DECLINE));
    EXPECT_TRUE(RingShown(ID_NOTICE_ACCEPT));
    EXPECT_GE(m_session.FaceMatch(ID_NOTICE_ACCEPT, BMP_NOTICE_ACCEPT_CHECKED), 0.95);
    m_session.Screenshot("keyboard_page2_focus");
    // Enter on a choice: Next.
    Key(VK_RETURN);
    ASSERT_TRUE(m_session.WaitForPage(3, PAGE_TIMEOUT_MS));

    // Page 3: Alt+B back, Alt+N on, Enter on to page 4.
    EXPECT_TRUE(FocusOn(ID_NEXT));
    Key('B', VK_MENU);
    ASSERT_TRUE(m_session.WaitForPage(2, PAGE_TIMEOUT_MS));
    Key('N', VK_MENU);
    ASSERT_TRUE(m_session.WaitForPage(3, PAGE_TIMEOUT_MS));
    Key(VK_RETURN);
    ASSERT_TRUE(m_session.WaitForPage(4, PAGE_TIMEOUT_MS));

    // Page 4: the device is there; the focus goes to Next once the port timer enables it.
    ASSERT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT); }, TimerBudgetMs() + 2000));
    EXPECT_TRUE(FocusOn(ID_NEXT));
    EXPECT_EQ("Your device is connected. Press Next to continue.", Ui().Text(ID_IMG_CONNECTED));
    Key(VK_RETURN);
    ASSERT_TRUE(m_session.WaitForPage(5, PAGE_TIMEOUT_MS));

    // Page 5: on Start; Enter starts the flash.
    ExpectReadyToStart();
    EXPECT_TRUE(FocusOn(ID_START));
    EXPECT_TRUE(RingShown(ID_START));
    EXPECT_EQ("&Start Software Download", Ui().Text(ID_START));
    EXPECT_EQ("Please press the button below to start the software download.", Ui().Text(ID_IMG_PRESS_START));
    m_session.Screenshot("keyboard_page5_focus");
    Key(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Ui().Visible(ID_IMG_UPDATING); }, PAGE_TIMEOUT_MS));
    EXPECT_EQ("Updating. Do Not Disconnect!", Ui().Text(ID_IMG_UPDATING));
    ASSERT_TRUE(WaitUntil([&] { return Ui().Visible(ID_EXIT) && m_session.ShownPage() == 6; }, FLASH_TIMEOUT_MS))
        << "no page 6; status: " << Ui().StatusPart(0);
    EXPECT_EQ(STATUS_COMPLETE, Ui().StatusPart(0));

    // Page 6: on Exit; Enter there ends the wizard.
    EXPECT_TRUE(FocusOn(ID_EXIT));
    EXPECT_TRUE(RingShown(ID_EXIT));
    PumpEvents(500);
    std::printf("WinEvents seen:");
    for (DWORD dwEvent : {EVENT_OBJECT_FOCUS, EVENT_OBJECT_REORDER, EVENT_SYSTEM_ALERT, EVENT_OBJECT_SHOW})
        std::printf(" 0x%04lx x%zu", dwEvent, static_cast<size_t>(std::count(g_events.begin(), g_events.end(), dwEvent)));
    std::printf("\n");
    // Wine delivers the page changes (at least the six forward ones) and the outcome's alert.
    const auto Seen = [](DWORD dwEvent) { return std::count(g_events.begin(), g_events.end(), dwEvent); };
    EXPECT_GE(Seen(EVENT_OBJECT_REORDER), 6);
    EXPECT_EQ(1, Seen(EVENT_SYSTEM_ALERT));
    EXPECT_GE(Seen(EVENT_OBJECT_FOCUS), 6);
    if (hHook != nullptr)
        UnhookWinEvent(hHook);
    Key(VK_RETURN);
    EXPECT_TRUE(m_session.Process().WaitForExit(10000)) << "Enter on Exit did not end the wizard";
    CoUninitialize();
}

}  // namespace
