#include "app/display_scale.h"

#include "app/page_layout.h"
#include "framework/artwork_set.h"

SIZE CDisplayScale::ClientSize(DWORD dwStyle, DWORD dwExStyle) const
{
    RECT rcFrame = {};
    AdjustWindowRectForDpi(&rcFrame, dwStyle, dwExStyle, BASE_DPI);
    const int nCaption = SystemMetricForDpi(SM_CYCAPTION, BASE_DPI);
    const int cx = PAGE_WIDTH - (rcFrame.right - rcFrame.left);
    const int cy = PAGE_HEIGHT + STATUS_BAR_HEIGHT + nCaption - (rcFrame.bottom - rcFrame.top);
    return SIZE{Px(cx), Px(cy)};
}

SIZE CDisplayScale::WindowSize(DWORD dwStyle, DWORD dwExStyle, int nWindowDpi) const
{
    const SIZE client = ClientSize(dwStyle, dwExStyle);
    RECT rcWindow = {0, 0, client.cx, client.cy};
    AdjustWindowRectForDpi(&rcWindow, dwStyle, dwExStyle, nWindowDpi);
    return SIZE{rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top};
}

int ChooseLayoutDpi(int nMonitorDpi, SIZE workArea, DWORD dwStyle, DWORD dwExStyle, int nFrameDpi)
{
    auto fnFits = [&](int nDpi) {
        const SIZE size = CDisplayScale(nDpi).WindowSize(dwStyle, dwExStyle, nFrameDpi);
        return size.cx <= workArea.cx && size.cy <= workArea.cy;
    };
    if (nMonitorDpi <= BASE_DPI || fnFits(nMonitorDpi))
        return nMonitorDpi < BASE_DPI ? BASE_DPI : nMonitorDpi;
    for (int nSet = ARTWORK_SET_COUNT - 1; nSet > 0; --nSet) {
        const int nDpi = ArtworkSetDpi(nSet);
        if (nDpi < nMonitorDpi && fnFits(nDpi))
            return nDpi;
    }
    return BASE_DPI;
}
