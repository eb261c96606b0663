#include "controls/page_text.h"

#include "controls/uni_mem_dc.h"

void CPageText::SetLook(const TextLook& look)
{
    m_look = look;
    if (IsWindow())
        Invalidate(FALSE);
}

void CPageText::OnPaint()
{
    CPaintDC dcPaint(m_hWnd);
    CUniMemDC dc(dcPaint);
    PaintParentBackground(m_hWnd, dc);
    RECT rc = {};
    GetClientRect(&rc);
    DrawLookText(dc, WindowTextW(m_hWnd), m_look, rc);
}

LRESULT CPageText::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;  // painted whole, the page's picture included
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_look.hFont);
    case WM_SETFONT:
        m_look.hFont = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Invalidate(FALSE);
        return 0;
    case WM_SETTEXT: {
        const LRESULT nResult = CStatic::WindowProc(nMsg, wParam, lParam);
        Invalidate(FALSE);
        return nResult;
    }
    default:
        return CStatic::WindowProc(nMsg, wParam, lParam);
    }
}
