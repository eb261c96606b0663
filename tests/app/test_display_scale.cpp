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
    // At 100 % the window is the design's 1024 pixels wide and 625 plus a caption high.
    const SIZE window96 = CDisplayScale(96).WindowSize(STYLE, EX_STYLE, 96);
    EXPECT_EQ(1024, window96.cx);
    EXPECT_EQ(625 + GetSystemMetrics(SM_CYCAPTION), window96.cy);
    const SIZE client96 = CDisplayScale(96).ClientSize(STYLE, EX_STYLE);
    for (int nDpi : {120, 144, 168, 192}) {
        const SIZE client = CDisplayScale(nDpi).ClientSize(STYLE, EX_STYLE);
        EXPECT_EQ(MulDiv(client96.cx, nDpi, 96), client.cx) << nDpi;
        EXPECT_EQ(MulDiv(client96.cy, nDpi, 96), client.cy) << nDpi;
        RECT rcFrame = {0, 0, client.cx, client.cy};
        AdjustWindowRectForDpi(&rcFrame, STYLE, EX_STYLE, nDpi);
        const SIZE window = CDisplayScale(nDpi).WindowSize(STYLE, EX_STYLE, nDpi);
        EXPECT_EQ(rcFrame.right - rcFrame.left, window.cx) << nDpi;
        EXPECT_EQ(rcFrame.bottom - rcFrame.top, window.cy) << nDpi;
    }
}

}  // namespace
