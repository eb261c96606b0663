// The dialog base and window wrapper in a real dialog: what reaches which handler, what the
// default handling does, and that a throwing handler leaves the program running.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "framework/button.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "framework/gdi.h"
#include "framework/rich_edit.h"
#include "framework/status_bar.h"
#include "tests/framework/gui_test_support.h"

namespace {

const UINT IDD_TEST = 200;
const int IDC_FIRST = 101;
const int IDC_SECOND = 102;
const int IDC_DRAWN = 103;
const int IDC_RICH = 104;
const UINT IDB_RED = 300;
const UINT WM_TEST_SUM = WM_USER + 7;
const UINT WM_TEST_THROW = WM_USER + 8;
const UINT WM_PROBE_THROW = WM_USER + 1;
const COLORREF CLR_DRAWN = RGB(0, 0, 255);
const COLORREF CLR_BACKGROUND = RGB(0, 255, 0);

class CProbeButton : public CButton {
public:
    bool m_bHadWindowAtAttach = false;
    int m_nSetText = 0;
    int m_nDraws = 0;

protected:
    void PreSubclassWindow() override { m_bHadWindowAtAttach = m_hWnd != nullptr; }
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == WM_PROBE_THROW)
            throw std::runtime_error("handler failed");
        if (nMsg == WM_SETTEXT)
            ++m_nSetText;
        return CButton::WindowProc(nMsg, wParam, lParam);
    }
    void DrawItem(DRAWITEMSTRUCT* pDis) override
    {
        ++m_nDraws;
        CDC(pDis->hDC).FillSolidRect(pDis->rcItem, CLR_DRAWN);
    }
};

class CTestDlg : public CDialog {
public:
    CTestDlg() : CDialog(IDD_TEST) {}

    CProbeButton m_btnDrawn;
    CRichEditCtrl m_richText;
    int m_nFirst = 0;
    int m_nFirstDoubleClicked = 0;
    int m_nSecond = 0;
    int m_nTimer = 0;
    UINT_PTR m_nTimerId = 0;
    int m_nCancel = 0;
    UINT m_nSysCommand = 0;
    HICON m_hDragIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));

protected:
    void DoDataExchange() override
    {
        BindControl(IDC_DRAWN, m_btnDrawn);
        BindControl(IDC_RICH, m_richText);
    }
    std::span<const MessageEntry> GetMessageTable() const override
    {
        static const MessageEntry s_table[] = {
            OnCommand<&CTestDlg::OnFirst>(IDC_FIRST),
            OnCommand<&CTestDlg::OnFirstDoubleClicked>(IDC_FIRST, BN_DOUBLECLICKED),
            OnCommand<&CTestDlg::OnSecond>(IDC_SECOND),
            OnMessage<&CTestDlg::OnTimer>(WM_TIMER),
            OnMessage<&CTestDlg::OnSum>(WM_TEST_SUM),
            OnMessage<&CTestDlg::OnThrow>(WM_TEST_THROW),
            OnMessage<&CTestDlg::OnEraseBkgnd>(WM_ERASEBKGND),
            OnMessage<&CTestDlg::OnSysCommand>(WM_SYSCOMMAND),
            OnMessage<&CTestDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        };
        return s_table;
    }
    void OnCancel() override { ++m_nCancel; }

private:
    void OnFirst() { ++m_nFirst; }
    void OnFirstDoubleClicked() { ++m_nFirstDoubleClicked; }
    void OnSecond() { ++m_nSecond; }
    void OnTimer(UINT_PTR nId)
    {
        ++m_nTimer;
        m_nTimerId = nId;
        KillTimer(nId);
    }
    LRESULT OnSum(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) + lParam; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    BOOL OnEraseBkgnd(CDC& dc)
    {
        RECT rc;
        GetClientRect(&rc);
        dc.FillSolidRect(rc, CLR_BACKGROUND);
        return TRUE;
    }
    void OnSysCommand(UINT nId, LPARAM)
    {
        m_nSysCommand = nId;
        Default();
    }
    HICON OnQueryDragIcon() { return m_hDragIcon; }
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CRichEditCtrl::LoadClass());
        ASSERT_TRUE(m_dlg.Create());
        GuiTest::MakeForeground(m_dlg);
        GuiTest::PumpMessages(100);
    }
    LRESULT Command(int nId, WORD nCode)
    {
        return m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(nId, nCode), reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(nId)));
    }
    CTestDlg m_dlg;
};

TEST_F(FrameworkTest, CommandsReachTheHandlerOfTheirIdAndCode)
{
    Command(IDC_FIRST, BN_CLICKED);
    Command(IDC_FIRST, BN_DOUBLECLICKED);
    Command(IDC_FIRST, BN_SETFOCUS);  // in no entry
    Command(IDC_SECOND, BN_CLICKED);
    EXPECT_EQ(m_dlg.m_nFirst, 1);
    EXPECT_EQ(m_dlg.m_nFirstDoubleClicked, 1);
    EXPECT_EQ(m_dlg.m_nSecond, 1);

    // A user's click on the second button.
    GuiTest::Click(m_dlg.GetDlgItem(IDC_SECOND), GuiTest::Centre(m_dlg.GetDlgItem(IDC_SECOND)));
    EXPECT_TRUE(GuiTest::PumpUntil([&] { return m_dlg.m_nSecond == 2; }));
    EXPECT_EQ(m_dlg.m_nFirst, 1);
}

TEST_F(FrameworkTest, MessagesCarryTheirParametersAndResults)
{
    EXPECT_EQ(m_dlg.SendMessage(WM_TEST_SUM, 40, 2), 42);
    EXPECT_EQ(reinterpret_cast<HICON>(m_dlg.SendMessage(WM_QUERYDRAGICON)), m_dlg.m_hDragIcon);
    m_dlg.SetTimer(77, 10);
    EXPECT_TRUE(GuiTest::PumpUntil([&] { return m_dlg.m_nTimer > 0; }));
    EXPECT_EQ(m_dlg.m_nTimerId, 77u);

    // The background handler paints the dialog where no control covers it.
    m_dlg.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GuiTest::PumpMessages(50);
    GuiTest::CPixels pixels = GuiTest::CaptureClient(m_dlg);
    EXPECT_EQ(pixels.At(pixels.m_nWidth - 5, pixels.m_nHeight - 5), CLR_BACKGROUND);
}

TEST_F(FrameworkTest, UnhandledMessagesGetTheDialogsDefault)
{
    ::SendMessageA(m_dlg.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Renamed"));
    EXPECT_EQ(m_dlg.GetWindowText(), "Renamed");

    // The handler asks for the default as well: the close command becomes a Cancel.
    m_dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(m_dlg.m_nSysCommand, static_cast<UINT>(SC_CLOSE));
    EXPECT_TRUE(GuiTest::PumpUntil([&] { return m_dlg.m_nCancel == 1; }));

    // Escape is the Cancel command.
    GuiTest::Key(VK_ESCAPE, true);
    GuiTest::Key(VK_ESCAPE, false);
    EXPECT_TRUE(GuiTest::PumpUntil([&] { return m_dlg.m_nCancel == 2; }));
}

TEST_F(FrameworkTest, AThrowingHandlerDoesNotTakeTheProgramDown)
{
    EXPECT_EQ(m_dlg.SendMessage(WM_TEST_THROW, 1, 2), 0);
    EXPECT_EQ(m_dlg.SendMessage(WM_TEST_SUM, 1, 2), 3);

    CWnd button(m_dlg.GetDlgItem(IDC_DRAWN));
    button.SendMessage(WM_PROBE_THROW);
    button.SetWindowText("Still here");
    EXPECT_EQ(m_dlg.m_btnDrawn.m_nSetText, 1);
    EXPECT_EQ(button.GetWindowText(), "Still here");
}

TEST_F(FrameworkTest, BoundControlsGetTheirMessagesAndDrawThemselves)
{
    EXPECT_TRUE(m_dlg.m_btnDrawn.m_bHadWindowAtAttach);
    EXPECT_EQ(CWnd::FromHandlePermanent(m_dlg.GetDlgItem(IDC_DRAWN)), &m_dlg.m_btnDrawn);
    EXPECT_EQ(CWnd::FromHandlePermanent(m_dlg.GetDlgItem(IDC_FIRST)), nullptr);

    m_dlg.m_btnDrawn.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
    GuiTest::PumpMessages(50);
    EXPECT_GT(m_dlg.m_btnDrawn.m_nDraws, 0);
    GuiTest::CPixels pixels = GuiTest::CaptureClient(m_dlg.m_btnDrawn);
    EXPECT_EQ(pixels.Count(CLR_DRAWN), pixels.m_nWidth * pixels.m_nHeight);

    // The object lets go of the window when the window goes.
    m_dlg.DestroyWindow();
    EXPECT_EQ(m_dlg.m_btnDrawn.m_hWnd, nullptr);
    EXPECT_EQ(m_dlg.m_hWnd, nullptr);
}

TEST_F(FrameworkTest, StatusBarAndRichEditWrappers)
{
    CStatusBarCtrl statusBar;
    ASSERT_TRUE(statusBar.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, m_dlg, 0));
    statusBar.SetMinHeight(25);
    const int parts[] = {682, 0, 342, -1};
    EXPECT_TRUE(statusBar.SetParts(4, parts));
    statusBar.SetText(" Ready", 0);
    statusBar.SetText("COM8", 3);
    EXPECT_EQ(statusBar.GetText(0), " Ready");
    EXPECT_EQ(statusBar.GetText(3), "COM8");
    EXPECT_EQ(statusBar.SendMessage(SB_GETPARTS, 0, 0), 4);
    RECT rcBar, rcDialog;
    statusBar.GetWindowRect(&rcBar);
    m_dlg.GetClientRect(&rcDialog);
    POINT ptBottom{0, rcDialog.bottom};
    m_dlg.ClientToScreen(&ptBottom);
    EXPECT_EQ(rcBar.bottom, ptBottom.y);  // docked at the bottom
    EXPECT_GE(rcBar.bottom - rcBar.top, 25);

    CRichEditCtrl& rich = m_dlg.m_richText;
    rich.SetWindowText("Title\nBody text");
    CHARFORMATA cf{};
    rich.GetDefaultCharFormat(cf);
    cf.dwMask = CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    rich.SetSel(0, 5);
    EXPECT_TRUE(rich.SetSelectionCharFormat(cf));
    auto isBold = [&](LONG nStart, LONG nEnd) {
        CHARFORMATA cfRead{};
        cfRead.cbSize = sizeof(cfRead);
        rich.SetSel(nStart, nEnd);
        rich.SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cfRead));
        return (cfRead.dwMask & CFM_BOLD) && (cfRead.dwEffects & CFE_BOLD);
    };
    EXPECT_TRUE(isBold(0, 5));
    EXPECT_FALSE(isBold(6, 10));
}

// Modal runs end with the value their OK or Cancel handling gives.
class CModalDlg : public CDialog {
public:
    CModalDlg(UINT nTemplate, WPARAM nCommand, bool bOwnOk) : CDialog(nTemplate), m_nCommand(nCommand), m_bOwnOk(bOwnOk) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_COMMAND, m_nCommand);
        return TRUE;
    }
    void OnOK() override
    {
        if (m_bOwnOk)
            EndDialog(42);
        else
            CDialog::OnOK();
    }

private:
    WPARAM m_nCommand;
    bool m_bOwnOk;
};

TEST(FrameworkModal, OkAndCancelEndTheModalRun)
{
    EXPECT_EQ(CModalDlg(IDD_TEST, IDOK, false).DoModal(), IDOK);
    EXPECT_EQ(CModalDlg(IDD_TEST, IDCANCEL, false).DoModal(), IDCANCEL);
    EXPECT_EQ(CModalDlg(IDD_TEST, IDOK, true).DoModal(), 42);
    EXPECT_EQ(CModalDlg(999, IDOK, false).DoModal(), -1);  // no such template
}

TEST(FrameworkGdi, BitmapsComeFromTheResourcesById)
{
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(IDB_RED, BASE_DPI));
    EXPECT_EQ(bitmap.GetSize().cx, 20);
    EXPECT_EQ(bitmap.GetSize().cy, 10);
    CMemoryDC dc(nullptr);
    HGDIOBJ hBefore = ::GetCurrentObject(dc, OBJ_BITMAP);
    {
        CSelectObject select(dc, bitmap);
        EXPECT_EQ(::GetPixel(dc, 3, 3), RGB(255, 0, 0));
    }
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), hBefore);

    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(IDB_RED + 1, BASE_DPI));
    EXPECT_TRUE(missing.IsNull());
    EXPECT_EQ(missing.GetSize().cx, 0);
}

}  // namespace
