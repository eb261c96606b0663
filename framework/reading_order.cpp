#include "framework/reading_order.h"

#include <vector>

namespace {

struct ChildPlace {
    HWND hWnd;
    int nLeading;  // distance from the parent's leading edge
    int nTop;
};

BOOL CALLBACK CollectChild(HWND hChild, LPARAM lParam)
{
    auto* pChildren = reinterpret_cast<std::vector<HWND>*>(lParam);
    pChildren->push_back(hChild);
    return TRUE;
}

void SetLayoutStyle(HWND hWnd, bool bRightToLeft)
{
    const LONG_PTR nExStyle = ::GetWindowLongPtrW(hWnd, GWL_EXSTYLE);
    const LONG_PTR nNew = bRightToLeft ? (nExStyle | WS_EX_LAYOUTRTL) : (nExStyle & ~static_cast<LONG_PTR>(WS_EX_LAYOUTRTL));
    if (nNew != nExStyle)
        ::SetWindowLongPtrW(hWnd, GWL_EXSTYLE, nNew);
}

}  // namespace

bool IsRightToLeftLayout(HWND hWnd)
{
    return (::GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
}

void SetReadingOrder(HWND hWnd, bool bRightToLeft, KeepOrientation pfnKeep, void* pContext)
{
    if (hWnd == nullptr || IsRightToLeftLayout(hWnd) == bRightToLeft)
        return;
    // Only the direct children: EnumChildWindows walks every descendant.
    std::vector<HWND> all;
    ::EnumChildWindows(hWnd, CollectChild, reinterpret_cast<LPARAM>(&all));
    WINDOWINFO info = {};
    info.cbSize = sizeof(info);
    ::GetWindowInfo(hWnd, &info);
    const RECT& rcClient = info.rcClient;  // on the screen, left to right whatever the layout
    const bool bWasRightToLeft = !bRightToLeft;
    std::vector<ChildPlace> places;
    for (HWND hChild : all) {
        if (::GetParent(hChild) != hWnd)
            continue;
        RECT rc = {};
        ::GetWindowRect(hChild, &rc);
        const int nLeading = bWasRightToLeft ? rcClient.right - rc.right : rc.left - rcClient.left;
        places.push_back({hChild, nLeading, static_cast<int>(rc.top - rcClient.top)});
    }
    SetLayoutStyle(hWnd, bRightToLeft);
    for (const ChildPlace& place : places) {
        const bool bKeep = pfnKeep != nullptr && pfnKeep(place.hWnd, pContext);
        SetLayoutStyle(place.hWnd, bRightToLeft && !bKeep);
        ::SetWindowPos(place.hWnd, nullptr, place.nLeading, place.nTop, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}
