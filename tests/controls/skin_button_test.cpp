// The skin button as a user meets it: faces by their pixels, clicks, check states, the shape a
// mask gives it, and no GDI objects lost however often it is reskinned.
#include <gtest/gtest.h>

#include "tests/controls/controls_test_dialog.h"
#include "tests/framework/gui_test_support.h"

namespace {

using namespace ControlsTest;

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dlg.Create());
        GuiTest::MakeForeground(m_dlg);
        ::SetFocus(Item(IDC_AFTER));  // no face under test starts with the focus
        Park();
    }
    HWND Item(int nId) { return m_dlg.GetDlgItem(nId); }
    // The mouse rests on the dialog's empty background.
    void Park() { GuiTest::MouseMove(m_dlg, POINT{850, 500}); }
    COLORREF FaceAt(int nId, int x = 4, int y = 4)
    {
        GuiTest::PumpMessages(30);
        return GuiTest::CaptureClient(Item(nId)).At(x, y);
    }
    void Redraw(int nId)
    {
        ::RedrawWindow(Item(nId), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GuiTest::PumpMessages(30);
    }
    int Check(int nId) { return static_cast<int>(::SendMessageA(Item(nId), BM_GETCHECK, 0, 0)); }
    int Clicks(int nId) { return m_dlg.m_clicks[nId]; }
    void Press(int nId)
    {
        GuiTest::MouseMove(Item(nId), GuiTest::Centre(Item(nId)));
        GuiTest::MouseButton(true);
    }

    CControlsDlg m_dlg;
};

TEST_F(SkinButtonTest, EachStateShowsItsFace)
{
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_NORMAL);

    GuiTest::MouseMove(Item(IDC_PUSH), POINT{10, 10});
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_HOVER);
    Park();  // leave tracking ends the hover face
    EXPECT_TRUE(GuiTest::PumpUntil([&] { return FaceAt(IDC_PUSH) == CLR_NORMAL; }));

    ::SetFocus(Item(IDC_PUSH));
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_FOCUS);
    ::SetFocus(Item(IDC_AFTER));
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_NORMAL);

    Press(IDC_PUSH);
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_PRESSED);
    GuiTest::MouseButton(false);
    Park();
    EXPECT_EQ(Clicks(IDC_PUSH), 1);

    ::SendMessageA(Item(IDC_CHECK), BM_SETCHECK, 1, 0);
    EXPECT_EQ(FaceAt(IDC_CHECK), CLR_PRESSED);  // checked looks pressed

    ::EnableWindow(Item(IDC_PUSH), FALSE);
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_DISABLED);
    ::EnableWindow(Item(IDC_CHECK), FALSE);
    EXPECT_EQ(FaceAt(IDC_CHECK), CLR_CHECKED_DISABLED);
}

TEST_F(SkinButtonTest, DisabledCaptionIsEngraved)
{
    ::SetWindowTextA(Item(IDC_PUSH), "WWWWWW");
    GuiTest::PumpMessages(30);
    GuiTest::CPixels enabled = GuiTest::CaptureClient(Item(IDC_PUSH));
    EXPECT_GT(enabled.Count(::GetSysColor(COLOR_BTNTEXT)), 20);
    EXPECT_EQ(enabled.Count(::GetSysColor(COLOR_GRAYTEXT)), 0);

    ::EnableWindow(Item(IDC_PUSH), FALSE);
    GuiTest::PumpMessages(30);
    GuiTest::CPixels disabled = GuiTest::CaptureClient(Item(IDC_PUSH));
    EXPECT_EQ(disabled.Count(::GetSysColor(COLOR_BTNTEXT)), 0);
    EXPECT_GT(disabled.Count(::GetSysColor(COLOR_GRAYTEXT)), 20);
    EXPECT_GT(disabled.Count(::GetSysColor(COLOR_BTNHIGHLIGHT)), 0);  // the light copy beside it
    EXPECT_GT(disabled.Count(CLR_DISABLED), BUTTON_CX * BUTTON_CY / 2);
}

TEST_F(SkinButtonTest, CaptionStandsInItsBoxInTheColourOfTheStateWithTheAccessKeyUnderlinedAfterAKey)
{
    const COLORREF CLR_CAPTION = RGB(0, 160, 0), CLR_CAPTION_PRESSED = RGB(160, 0, 160), CLR_CAPTION_OFF = RGB(0, 0, 160);
    CSkinButton::CaptionLook look;
    look.text.clrText = CLR_CAPTION;
    look.text.nFormat = DT_LEFT;
    look.rcInset = RECT{BUTTON_CX / 2, 0, 0, 0};  // the right half of the face
    look.clrPressed = CLR_CAPTION_PRESSED;
    look.clrDisabled = CLR_CAPTION_OFF;
    m_dlg.Button(IDC_PUSH).SetCaptionLook(look);
    ::SetWindowTextW(Item(IDC_PUSH), L"&Wo");
    GuiTest::PumpMessages(30);
    const RECT rcLeft{0, 0, BUTTON_CX / 2, BUTTON_CY};
    const RECT rcRight{BUTTON_CX / 2, 0, BUTTON_CX, BUTTON_CY};
    // The lowest row the caption reaches: an underline lies below the letters.
    auto lowestRow = [&](const GuiTest::CPixels& pixels, COLORREF clr) {
        for (int y = pixels.m_nHeight - 1; y >= 0; --y) {
            if (pixels.Count(clr, RECT{0, y, pixels.m_nWidth, y + 1}) > 0)
                return y;
        }
        return -1;
    };
    const GuiTest::CPixels plain = GuiTest::CaptureClient(Item(IDC_PUSH));
    EXPECT_EQ(plain.Count(CLR_CAPTION, rcLeft), 0);
    EXPECT_GT(plain.Count(CLR_CAPTION, rcRight), 20);
    const int nPlainBottom = lowestRow(plain, CLR_CAPTION);

    // Keyboard cues as Windows shows them: from the first key on, the access key is underlined.
    GuiTest::Key(VK_SHIFT, true);
    GuiTest::Key(VK_SHIFT, false);
    EXPECT_TRUE(GuiTest::PumpUntil([&] { return lowestRow(GuiTest::CaptureClient(Item(IDC_PUSH)), CLR_CAPTION) > nPlainBottom; }));

    Press(IDC_PUSH);
    EXPECT_GT(GuiTest::CaptureClient(Item(IDC_PUSH)).Count(CLR_CAPTION_PRESSED, rcRight), 20);
    GuiTest::MouseButton(false);
    Park();
    ::EnableWindow(Item(IDC_PUSH), FALSE);
    GuiTest::PumpMessages(30);
    const GuiTest::CPixels disabled = GuiTest::CaptureClient(Item(IDC_PUSH));
    EXPECT_GT(disabled.Count(CLR_CAPTION_OFF, rcRight), 20);  // flat in its own colour, not engraved
    EXPECT_EQ(disabled.Count(::GetSysColor(COLOR_GRAYTEXT)), 0);
}

TEST_F(SkinButtonTest, MissingBitmapsFallBack)
{
    // No checked-disabled bitmap: the face drawn before stays.
    m_dlg.Button(IDC_CHECK).SetSkin(IDB_NORMAL, 0, IDB_PRESSED, IDB_DISABLED, 0, 0, 0, 1, 0, 0);
    ::SendMessageA(Item(IDC_CHECK), BM_SETCHECK, 1, 0);
    EXPECT_EQ(FaceAt(IDC_CHECK), CLR_PRESSED);
    ::EnableWindow(Item(IDC_CHECK), FALSE);
    Redraw(IDC_CHECK);
    EXPECT_EQ(FaceAt(IDC_CHECK), CLR_PRESSED);

    // Without a disabled bitmap the normal one serves; without any, the button face colour.
    m_dlg.Button(IDC_PUSH).SetSkin(IDB_NORMAL, 0, 0, 0, 0, 0, 0, 1, 0, 0);
    ::EnableWindow(Item(IDC_PUSH), FALSE);
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_NORMAL);
    m_dlg.Button(IDC_PUSH).SetSkin(999, 0, 0, 0, 0, 0, 0, 1, 0, 0);  // no such resource
    Redraw(IDC_PUSH);
    EXPECT_EQ(FaceAt(IDC_PUSH), ::GetSysColor(COLOR_BTNFACE));
    ::EnableWindow(Item(IDC_PUSH), TRUE);
    Press(IDC_PUSH);
    EXPECT_EQ(FaceAt(IDC_PUSH), ::GetSysColor(COLOR_BTNFACE));  // no pressed bitmap either
    GuiTest::MouseButton(false);
}

TEST_F(SkinButtonTest, RadioGroupKeepsOneChecked)
{
    const int nRadio2 = IDC_RADIO1 + 1, nRadio3 = IDC_RADIO1 + 2;
    ::SendMessageA(Item(IDC_RADIO1), BM_SETCHECK, 1, 0);
    GuiTest::Click(Item(nRadio2), GuiTest::Centre(Item(nRadio2)));
    Park();
    EXPECT_EQ(Check(nRadio2), 1);
    EXPECT_EQ(Check(IDC_RADIO1), 0);
    EXPECT_EQ(Clicks(nRadio2), 1);

    GuiTest::Click(Item(nRadio3), GuiTest::Centre(Item(nRadio3)));
    Park();
    EXPECT_EQ(Check(nRadio3), 1);
    EXPECT_EQ(Check(nRadio2), 0);
    EXPECT_EQ(FaceAt(nRadio3), CLR_PRESSED);
    EXPECT_EQ(FaceAt(nRadio2), CLR_NORMAL);

    // Clicking the checked one keeps it checked.
    GuiTest::Click(Item(nRadio3), GuiTest::Centre(Item(nRadio3)));
    Park();
    EXPECT_EQ(Check(nRadio3), 1);
    EXPECT_EQ(FaceAt(nRadio3), CLR_PRESSED);

    // Space on a radio button checks it.
    ::SetFocus(Item(IDC_RADIO4));
    GuiTest::Key(VK_SPACE, true);
    GuiTest::Key(VK_SPACE, false);
    EXPECT_EQ(Check(IDC_RADIO4), 1);
    EXPECT_EQ(Check(nRadio3), 0);

    // A hidden radio button can be checked too: its group walk comes to an end.
    ::ShowWindow(Item(IDC_RADIO1), SW_HIDE);
    ::SendMessageA(Item(IDC_RADIO1), BM_SETCHECK, 1, 0);
    GuiTest::PumpMessages(30);
    EXPECT_EQ(Check(IDC_RADIO1), 1);
    EXPECT_EQ(Check(IDC_RADIO4), 0);
}

TEST_F(SkinButtonTest, CheckBoxTogglesOnThePressAndOnSpace)
{
    Press(IDC_CHECK);
    EXPECT_EQ(Check(IDC_CHECK), 1);  // before the release
    GuiTest::MouseButton(false);
    EXPECT_EQ(Check(IDC_CHECK), 1);
    EXPECT_EQ(Clicks(IDC_CHECK), 1);
    GuiTest::Click(Item(IDC_CHECK), GuiTest::Centre(Item(IDC_CHECK)));
    EXPECT_EQ(Check(IDC_CHECK), 0);

    ::SetFocus(Item(IDC_CHECK));
    GuiTest::Key(VK_SPACE, true);
    EXPECT_EQ(Check(IDC_CHECK), 1);
    GuiTest::Key(VK_SPACE, false);
    GuiTest::Key(VK_SPACE, true);
    GuiTest::Key(VK_SPACE, false);
    EXPECT_EQ(Check(IDC_CHECK), 0);

    // A push button is never checked; it only repaints.
    ::SendMessageA(Item(IDC_PUSH), BM_SETCHECK, 1, 0);
    EXPECT_EQ(Check(IDC_PUSH), 0);
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_NORMAL);
}

TEST_F(SkinButtonTest, DoubleClickIsTwoClicks)
{
    GuiTest::MouseMove(Item(IDC_PUSH), GuiTest::Centre(Item(IDC_PUSH)));
    GuiTest::MouseButton(true);
    GuiTest::MouseButton(false);
    GuiTest::MouseButton(true);
    GuiTest::MouseButton(false);
    Park();
    EXPECT_EQ(Clicks(IDC_PUSH), 2);

    GuiTest::MouseMove(Item(IDC_CHECK), GuiTest::Centre(Item(IDC_CHECK)));
    GuiTest::MouseButton(true);
    GuiTest::MouseButton(false);
    GuiTest::MouseButton(true);
    GuiTest::MouseButton(false);
    Park();
    EXPECT_EQ(Clicks(IDC_CHECK), 2);
    EXPECT_EQ(Check(IDC_CHECK), 0);  // toggled twice
}

TEST_F(SkinButtonTest, DraggingOffAndBack)
{
    m_dlg.Button(IDC_PUSH).SetSkin(IDB_NORMAL, 0, IDB_PRESSED, 0, 0, 0, 0, 1, 0, 0);  // the press gives it the focus
    Press(IDC_PUSH);
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_PRESSED);
    GuiTest::MouseMove(Item(IDC_PUSH), POINT{BUTTON_CX + 40, BUTTON_CY / 2});
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_NORMAL);
    GuiTest::MouseMove(Item(IDC_PUSH), POINT{20, 20});
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_PRESSED);
    GuiTest::MouseMove(Item(IDC_PUSH), POINT{BUTTON_CX + 40, BUTTON_CY / 2});
    GuiTest::MouseButton(false);
    Park();
    EXPECT_EQ(Clicks(IDC_PUSH), 0);
    EXPECT_EQ(FaceAt(IDC_PUSH), CLR_NORMAL);
}

TEST_F(SkinButtonTest, DrawModesWithoutMask)
{
    CSkinButton& button = m_dlg.Button(IDC_SPARE);
    button.SetSkin(IDB_HALVES, 0, 0, 0, 0, 0, 0, 0, 0, 0);  // copy at the bitmap's own size
    Redraw(IDC_SPARE);
    EXPECT_EQ(FaceAt(IDC_SPARE, 10, 5), CLR_HALF_LEFT);
    EXPECT_EQ(FaceAt(IDC_SPARE, 40, 5), CLR_HALF_RIGHT);
    // A face copied at its own size onto a larger button takes the mouse only where it is drawn.
    GuiTest::Click(Item(IDC_SPARE), POINT{100, 40});
    GuiTest::Click(Item(IDC_SPARE), POINT{70, 10});
    GuiTest::Click(Item(IDC_SPARE), POINT{10, 30});
    Park();
    EXPECT_EQ(Clicks(IDC_SPARE), 0);
    GuiTest::Click(Item(IDC_SPARE), POINT{60, 20});
    Park();
    EXPECT_EQ(Clicks(IDC_SPARE), 1);

    button.SetSkin(IDB_HALVES, 0, 0, 0, 0, 0, 0, 1, 0, 0);  // stretched over the button
    Redraw(IDC_SPARE);
    EXPECT_EQ(FaceAt(IDC_SPARE, 40, 5), CLR_HALF_LEFT);
    EXPECT_EQ(FaceAt(IDC_SPARE, 100, 40), CLR_HALF_RIGHT);
    GuiTest::Click(Item(IDC_SPARE), POINT{100, 40});
    Park();
    EXPECT_EQ(Clicks(IDC_SPARE), 2) << "a stretched face covers the button";

    button.SetSkin(IDB_TILE, 0, 0, 0, 0, 0, 0, 7, 0, 0);  // above 2: tiled
    Redraw(IDC_SPARE);
    GuiTest::CPixels pixels = GuiTest::CaptureClient(Item(IDC_SPARE));
    EXPECT_EQ(pixels.At(0, 0), CLR_TILE_CORNER);
    EXPECT_EQ(pixels.At(20, 40), CLR_TILE_CORNER);
    EXPECT_EQ(pixels.At(130, 0), CLR_TILE_CORNER);  // the last column is cut, not left out
    EXPECT_EQ(pixels.At(131, 45), CLR_TILE);
    EXPECT_EQ(pixels.Count(CLR_TILE_CORNER), 14 * 5);

    button.SetSkin(IDB_HALVES, 0, 0, 0, 0, 0, 0, -3, 0, 0);  // below 0: copied
    Redraw(IDC_SPARE);
    EXPECT_EQ(FaceAt(IDC_SPARE, 40, 5), CLR_HALF_RIGHT);
    RECT rc;
    ::GetWindowRect(Item(IDC_SPARE), &rc);
    EXPECT_EQ(rc.right - rc.left, BUTTON_CX);  // no mask: the size stays
}

TEST_F(SkinButtonTest, MaskShapesTheButton)
{
    CSkinButton& button = m_dlg.Button(IDC_SPARE);
    button.MoveWindow(10, 250, 200, 60);  // clear of the other controls
    button.SetSkin(IDB_NORMAL, 0, 0, 0, 0, 0, IDB_MASK, 1, 0, 0);
    RECT rc;
    ::GetWindowRect(Item(IDC_SPARE), &rc);
    EXPECT_EQ(rc.right - rc.left, 200);  // stretched: the size stays

    CRgn rgn(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(::GetWindowRgn(Item(IDC_SPARE), rgn), SIMPLEREGION);  // one rectangle
    RECT rcBox;
    ::GetRgnBox(rgn, &rcBox);
    EXPECT_EQ(rcBox.left, 20);
    EXPECT_EQ(rcBox.top, 10);
    EXPECT_EQ(rcBox.right, 112);
    EXPECT_EQ(rcBox.bottom, 36);

    // What the user sees: the face inside the mask, the dialog behind it outside.
    POINT ptOrigin{0, 0};
    ::MapWindowPoints(Item(IDC_SPARE), m_dlg, &ptOrigin, 1);
    GuiTest::PumpUntil([&] { return GuiTest::CaptureClient(m_dlg).At(ptOrigin.x + 5, ptOrigin.y + 5) == CLR_BACKGROUND; }, 2000);
    GuiTest::CPixels dialog = GuiTest::CaptureClient(m_dlg);
    EXPECT_EQ(dialog.At(ptOrigin.x + 60, ptOrigin.y + 20), CLR_NORMAL);
    EXPECT_EQ(dialog.At(ptOrigin.x + 5, ptOrigin.y + 5), CLR_BACKGROUND);
    EXPECT_EQ(dialog.At(ptOrigin.x + 150, ptOrigin.y + 50), CLR_BACKGROUND);

    // Copy mode takes the mask's size.
    button.SetSkin(IDB_NORMAL, 0, 0, 0, 0, 0, IDB_MASK, 0, 0, 0);
    ::GetWindowRect(Item(IDC_SPARE), &rc);
    EXPECT_EQ(rc.right - rc.left, BUTTON_CX);
    EXPECT_EQ(rc.bottom - rc.top, BUTTON_CY);
}

TEST_F(SkinButtonTest, MaskLetsTheFormerPictureShowThrough)
{
    CSkinButton& button = m_dlg.Button(IDC_SPARE);
    for (short nMode : {0, 1}) {
        button.SetSkin(IDB_HOVER, 0, 0, 0, 0, 0, 0, 1, 0, 0);
        Redraw(IDC_SPARE);
        button.SetSkin(IDB_NORMAL, 0, 0, 0, 0, 0, IDB_MASK, nMode, 0, 0);
        ::SetWindowRgn(Item(IDC_SPARE), nullptr, FALSE);  // look at the drawing, not the shape
        Redraw(IDC_SPARE);
        GuiTest::CPixels pixels = GuiTest::CaptureClient(Item(IDC_SPARE));
        EXPECT_EQ(pixels.At(60, 20), CLR_NORMAL) << "mode " << nMode;
        EXPECT_EQ(pixels.At(5, 5), CLR_BACKGROUND) << "mode " << nMode;  // what the screen held there
        EXPECT_EQ(pixels.Count(CLR_NORMAL), 92 * 26) << "mode " << nMode;
    }
}

TEST_F(SkinButtonTest, EmptyMaskLeavesNothingToSeeOrClick)
{
    m_dlg.Button(IDC_SPARE).SetSkin(IDB_NORMAL, 0, 0, 0, 0, 0, IDB_EMPTY_MASK, 1, 0, 0);
    CRgn rgn(::CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(::GetWindowRgn(Item(IDC_SPARE), rgn), NULLREGION);
    GuiTest::Click(Item(IDC_SPARE), GuiTest::Centre(Item(IDC_SPARE)));
    Park();
    EXPECT_EQ(Clicks(IDC_SPARE), 0);
    GuiTest::CPixels dialog = GuiTest::CaptureClient(m_dlg);
    POINT ptCentre = GuiTest::Centre(Item(IDC_SPARE));
    ::MapWindowPoints(Item(IDC_SPARE), m_dlg, &ptCentre, 1);
    EXPECT_EQ(dialog.At(ptCentre.x, ptCentre.y), CLR_BACKGROUND);
}

}  // namespace
