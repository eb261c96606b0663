// The skin button releases every GDI object it makes, however often it is reskinned.
#include <gtest/gtest.h>

#include <vector>

#include "tests/controls/controls_test_dialog.h"
#include "tests/framework/gui_test_support.h"

namespace {

using namespace ControlsTest;

// How many more GDI objects the process could still make (up to a ceiling).
int FreeGdiSlots()
{
    std::vector<HRGN> regions;
    for (int i = 0; i < 80000; ++i) {
        HRGN hRgn = ::CreateRectRgn(0, 0, 1, 1);
        if (!hRgn)
            break;
        regions.push_back(hRgn);
    }
    for (HRGN hRgn : regions)
        ::DeleteObject(hRgn);
    return static_cast<int>(regions.size());
}

TEST(SkinButtonGdi, ReskinningLosesNoGdiObjects)
{
    CControlsDlg dlg;
    ASSERT_TRUE(dlg.Create());
    GuiTest::MakeForeground(dlg);
    CSkinButton& button = dlg.Button(IDC_SPARE);
    auto redraw = [&] {
        button.RedrawWindow(RDW_INVALIDATE | RDW_UPDATENOW);
        GuiTest::PumpMessages(10);
    };
    button.SetSkin(IDB_NORMAL, IDB_HOVER, IDB_PRESSED, IDB_DISABLED, IDB_CHECKED_DISABLED, IDB_FOCUS, IDB_MASK, 1, 1, 3);
    redraw();
    const DWORD nObjectsBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    const int nFreeBefore = FreeGdiSlots();
    for (int i = 0; i < 10000; ++i) {
        button.SetSkin(IDB_NORMAL, IDB_HOVER, IDB_PRESSED, IDB_DISABLED, IDB_CHECKED_DISABLED, IDB_FOCUS, IDB_MASK,
                       static_cast<short>(i % 3), 1, 3);
        if (i % 500 == 0)
            redraw();
    }
    redraw();
    const int nFreeAfter = FreeGdiSlots();
    EXPECT_GT(nFreeBefore, 1000);
    EXPECT_GE(nFreeAfter, nFreeBefore - 20);
    if (nObjectsBefore) {  // where the system counts them
        EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), nObjectsBefore + 20);
    }
    EXPECT_EQ(GuiTest::CaptureClient(button).At(60, 20), CLR_NORMAL);  // still skinned
}

}  // namespace
