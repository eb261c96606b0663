// The text progress bar as the download screen shows it: the bar's width, the caption and its two
// colours, and how often it repaints.
#include <gtest/gtest.h>

#include <string>

#include "tests/controls/controls_test_dialog.h"
#include "tests/framework/gui_test_support.h"

namespace {

using namespace ControlsTest;

const COLORREF CLR_BAR = ::GetSysColor(COLOR_HIGHLIGHT);
const COLORREF CLR_TRACK = ::GetSysColor(COLOR_WINDOW);

class TextProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dlg.Create());
        GuiTest::MakeForeground(m_dlg);
        GuiTest::PumpMessages(50);
        // Client areas of 400 pixels, whatever the frame takes.
        for (CCountingProgress* pProgress : {&m_dlg.m_progress, &m_dlg.m_progress2}) {
            RECT rcWindow, rcClient;
            pProgress->GetWindowRect(&rcWindow);
            pProgress->GetClientRect(&rcClient);
            pProgress->SetWindowPos(nullptr, 0, 0, 400 + (rcWindow.right - rcWindow.left) - rcClient.right,
                                    rcWindow.bottom - rcWindow.top, SWP_NOMOVE | SWP_NOZORDER);
            pProgress->GetClientRect(&rcClient);
            m_nWidth = rcClient.right;
            m_nHeight = rcClient.bottom;
        }
        GuiTest::PumpMessages(20);
    }
    // What the bar shows after every pending paint.
    GuiTest::CPixels Shown(CCountingProgress& progress)
    {
        progress.UpdateWindow();
        GuiTest::PumpMessages(20);
        return GuiTest::CaptureClient(progress);
    }
    int PaintsAfterPump(const CCountingProgress& progress)
    {
        GuiTest::PumpMessages(50);
        return progress.m_nPaints;
    }
    // The column where the bar ends, read on the top row (no caption there).
    static int BarEnd(const GuiTest::CPixels& pixels)
    {
        int x = 0;
        while (x < pixels.m_nWidth && pixels.At(x, 0) == CLR_BAR)
            ++x;
        return x;
    }

    CControlsDlg m_dlg;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

TEST_F(TextProgressTest, QuarterOfTheRangeShowsAQuarterBarAndItsPercentage)
{
    ASSERT_EQ(m_nWidth, 400);
    CCountingProgress& progress = m_dlg.m_progress;
    progress.SetRange(0, 200);
    EXPECT_EQ(progress.SetPos(50), 0);
    GuiTest::CPixels pixels = Shown(progress);
    EXPECT_EQ(BarEnd(pixels), 100);
    EXPECT_EQ(pixels.At(m_nWidth - 1, 0), CLR_TRACK);
    EXPECT_EQ(pixels.At(99, m_nHeight - 1), CLR_BAR);

    // The caption is the percentage: the same picture as the text "25%", not as "24%".
    m_dlg.m_progress2.SetRange(0, 200);
    m_dlg.m_progress2.SetPos(50);
    m_dlg.m_progress2.SetWindowText("25%");
    EXPECT_EQ(Shown(m_dlg.m_progress2).m_pixels, pixels.m_pixels);
    m_dlg.m_progress2.SetWindowText("24%");
    EXPECT_NE(Shown(m_dlg.m_progress2).m_pixels, pixels.m_pixels);
}

TEST_F(TextProgressTest, CaptionColoursMeetAtTheBarsEdge)
{
    const char* pszCaption = "Elapsed time : 12 sec - 50%";
    CCountingProgress& empty = m_dlg.m_progress;  // no bar: the whole caption over the track
    empty.SetWindowText(pszCaption);
    GuiTest::CPixels reference = Shown(empty);
    CCountingProgress& half = m_dlg.m_progress2;
    half.SetWindowText(pszCaption);
    half.SetPos(50);
    GuiTest::CPixels pixels = Shown(half);
    ASSERT_EQ(BarEnd(pixels), m_nWidth / 2);

    // Every caption pixel of the reference shows in the bar's contrast colour left of the edge
    // and in the track's right of it; every other pixel is bar or track.
    int nLeft = 0, nRight = 0, nWrong = 0;
    for (int y = 0; y < m_nHeight; ++y) {
        for (int x = 0; x < m_nWidth; ++x) {
            bool bCaption = reference.At(x, y) != CLR_TRACK;
            COLORREF clrExpected;
            if (x < m_nWidth / 2) {
                clrExpected = bCaption ? CLR_TRACK : CLR_BAR;
                nLeft += bCaption;
            } else {
                clrExpected = bCaption ? CLR_BAR : CLR_TRACK;
                nRight += bCaption;
            }
            if (bCaption && reference.At(x, y) != CLR_BAR)
                continue;  // a blended edge pixel of a glyph
            nWrong += pixels.At(x, y) != clrExpected;
        }
    }
    EXPECT_GT(nLeft, 20);
    EXPECT_GT(nRight, 20);
    EXPECT_EQ(nWrong, 0);
}

TEST_F(TextProgressTest, RepaintsOnlyWhenSomethingVisibleChanges)
{
    CCountingProgress& progress = m_dlg.m_progress;
    progress.SetRange(0, 4000);  // ten positions to a pixel column
    progress.SetPos(10);
    int nPaints = PaintsAfterPump(progress);
    for (int nPos = 11; nPos < 20; ++nPos)
        progress.SetPos(nPos);
    EXPECT_EQ(PaintsAfterPump(progress), nPaints);
    progress.SetPos(20);  // the next column: painted at once
    EXPECT_EQ(progress.m_nPaints, nPaints + 1);
    EXPECT_EQ(BarEnd(Shown(progress)), 2);

    progress.SetRange(0, 100);  // the range alone repaints nothing
    EXPECT_EQ(PaintsAfterPump(progress), nPaints + 1);

    progress.SetWindowText("Ready...");
    EXPECT_EQ(PaintsAfterPump(progress), nPaints + 2);
    progress.SetWindowText("Ready...");
    EXPECT_EQ(PaintsAfterPump(progress), nPaints + 2);
}

TEST_F(TextProgressTest, PaintChangesPaintsOnlyWhatACaptionLeftUnpainted)
{
    CCountingProgress& progress = m_dlg.m_progress;
    wchar_t szOwn[64];
    // The window's own text follows the caption, also an empty one over the template's text.
    progress.SetWindowText("");
    EXPECT_EQ(::InternalGetWindowText(progress, szOwn, 64), 0);
    progress.SetPos(30);
    int nPaints = PaintsAfterPump(progress);
    progress.SetWindowText("Elapsed time : 3 sec - 1%");
    progress.PaintChanges();
    EXPECT_EQ(progress.m_nPaints, nPaints + 1);  // at once, not on the next pump
    progress.SetWindowText("Elapsed time : 3 sec - 1%");
    progress.SetPos(30);
    progress.PaintChanges();
    EXPECT_EQ(PaintsAfterPump(progress), nPaints + 1);
    ::InternalGetWindowText(progress, szOwn, 64);
    EXPECT_STREQ(szOwn, L"Elapsed time : 3 sec - 1%");
    EXPECT_EQ(progress.GetWindowText(), "Elapsed time : 3 sec - 1%");
}

TEST_F(TextProgressTest, TextIsTheCaption)
{
    CCountingProgress& progress = m_dlg.m_progress;
    EXPECT_EQ(progress.GetWindowText(), "");  // not the template's "Progress1"
    progress.SetWindowText("Upgrade failed...");
    EXPECT_EQ(progress.GetWindowText(), "Upgrade failed...");
    wchar_t szBuffer[8] = L"xxxxxxx";
    EXPECT_EQ(progress.SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(szBuffer)), 3);
    EXPECT_STREQ(szBuffer, L"Upg");
    EXPECT_EQ(progress.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(szBuffer)), 0);
    EXPECT_STREQ(szBuffer, L"Upg");
    // Words of any script come back as they were given.
    progress.SetWindowText("\xE6\x9B\xB4\xE6\x96\xB0\xE5\xA4\xB1\xE6\x95\x97");
    EXPECT_EQ(progress.GetWindowText(), "\xE6\x9B\xB4\xE6\x96\xB0\xE5\xA4\xB1\xE6\x95\x97");
    progress.SendMessage(WM_SETTEXT, 0, 0);  // no text: the percentage again
    EXPECT_EQ(progress.GetWindowText(), "");
}

TEST_F(TextProgressTest, EmptyRangePaintsNothing)
{
    CCountingProgress& progress = m_dlg.m_progress;
    progress.SetPos(50);
    GuiTest::CPixels before = Shown(progress);
    for (int nUpper : {5, 2}) {  // equal bounds, then upper below lower
        progress.SetRange(5, nUpper);
        EXPECT_EQ(progress.SetPos(70), 50);  // no division by an empty range
        int nPaints = PaintsAfterPump(progress);
        progress.Invalidate(TRUE);
        progress.UpdateWindow();
        EXPECT_EQ(progress.m_nPaints, nPaints + 1);
        RECT rcUpdate;
        EXPECT_FALSE(::GetUpdateRect(progress, &rcUpdate, FALSE));  // the request was completed
        EXPECT_EQ(Shown(progress).m_pixels, before.m_pixels);
        progress.SetPos(50);
    }
}

TEST_F(TextProgressTest, PositionsOutsideTheRange)
{
    CCountingProgress& progress = m_dlg.m_progress;
    CCountingProgress& reference = m_dlg.m_progress2;
    progress.SetRange(10, 110);
    progress.SetPos(-1000000);  // below: an empty bar at 0%
    reference.SetRange(10, 110);
    reference.SetWindowText("0%");
    EXPECT_EQ(Shown(progress).m_pixels, Shown(reference).m_pixels);
    EXPECT_EQ(BarEnd(Shown(progress)), 0);

    progress.SetPos(160);  // above: a full bar and the percentage past 100
    reference.SetPos(160);
    reference.SetWindowText("150%");
    EXPECT_EQ(Shown(progress).m_pixels, Shown(reference).m_pixels);
    EXPECT_EQ(BarEnd(Shown(progress)), m_nWidth);

    progress.SetPos(2147483647);  // far past the end: no overflow
    EXPECT_EQ(BarEnd(Shown(progress)), m_nWidth);
}

TEST(TextProgressWithoutWindow, SetPosReturnsMinusOneAndKeepsThePosition)
{
    CTextProgressCtrl progress;
    EXPECT_EQ(progress.SetPos(5), -1);
    EXPECT_EQ(progress.GetPos(), 0);
}

}  // namespace
