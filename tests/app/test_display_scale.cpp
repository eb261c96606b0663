// The wizard's scale on a monitor: the monitor's own where the window fits the work area, else the
// largest artwork set's that fits; the frame around the scaled client area is the system's.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/display_scale.h"

namespace {

// The main dialog's styles, as its template gives them.
constexpr DWORD STYLE = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD EX_STYLE = WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME;

int LayoutOn(int nMonitorDpi, int cxWork, int cyWork)
{
    return ChooseLayoutDpi(nMonitorDpi, SIZE{cxWork, cyWork}, STYLE, EX_STYLE, nMonitorDpi);
}

TEST(DisplayScale, TheLayoutIsTheLargestThatFitsTheWorkArea)
{
    // A 1366 x 768 laptop at 150 % with its task bar: neither 150 % nor 125 % fit, 100 % does.
    EXPECT_EQ(96, LayoutOn(144, 1366, 728));
    // Full HD at 150 %, 175 % (too tall: the 150 % set) and an odd 110 % (fits: its own scale).
    EXPECT_EQ(144, LayoutOn(144, 1920, 1040));
    EXPECT_EQ(144, LayoutOn(168, 1920, 1040));
    EXPECT_EQ(106, LayoutOn(106, 1920, 1040));
    // 4K at 200 % and beyond.
    EXPECT_EQ(192, LayoutOn(192, 3840, 2120));
    EXPECT_EQ(288, LayoutOn(288, 3840, 2120));
    // Nothing fits: 100 % all the same.
    EXPECT_EQ(96, LayoutOn(192, 800, 600));
}

TEST(DisplayScale, TheClientAreaGrowsWithTheScaleInsideTheSystemsFrame)
{
    // At 100 % the window is the design's 1024 pixels wide and 625 plus a caption high; with the dialog's
    // frame of 3 pixels a side the client area is 1018 x 619, and every scale shows that area larger.
    ASSERT_EQ(3, GetSystemMetrics(SM_CXDLGFRAME)) << "the numbers below are for a 3-pixel dialog frame";
    ASSERT_EQ(3, GetSystemMetrics(SM_CYDLGFRAME));
    const SIZE window96 = CDisplayScale(96).WindowSize(STYLE, EX_STYLE, 96);
    EXPECT_EQ(1024, window96.cx);
    EXPECT_EQ(625 + GetSystemMetrics(SM_CYCAPTION), window96.cy);
    struct Expected {
        int nDpi, cx, cy;
    };
    const Expected expected[] = {
        {96, 1018, 619}, {120, 1273, 774}, {144, 1527, 929}, {168, 1782, 1083}, {192, 2036, 1238},
    };
    for (const Expected& e : expected) {
        const SIZE client = CDisplayScale(e.nDpi).ClientSize(STYLE, EX_STYLE);
        EXPECT_EQ(e.cx, client.cx) << e.nDpi;
        EXPECT_EQ(e.cy, client.cy) << e.nDpi;
        // The frame around it is the system's at the window's own scale.
        const SIZE window = CDisplayScale(e.nDpi).WindowSize(STYLE, EX_STYLE, e.nDpi);
        RECT rcFrame = {0, 0, 0, 0};
        AdjustWindowRectForDpi(&rcFrame, STYLE, EX_STYLE, e.nDpi);
        EXPECT_EQ(e.cx + (rcFrame.right - rcFrame.left), window.cx) << e.nDpi;
        EXPECT_EQ(e.cy + (rcFrame.bottom - rcFrame.top), window.cy) << e.nDpi;
    }
}

}  // namespace
