#include "controls/uni_mem_dc.h"

CUniMemDC::CUniMemDC(CDC& target) : m_target(target), m_bMemDC(!target.IsPrinting())
{
    if (!m_bMemDC) {
        DrawDirectly();
        return;
    }
    target.GetClipBox(&m_rect);
    m_hDC = m_hAttribDC = ::CreateCompatibleDC(target);
    if (!m_hDC || !m_bitmap.CreateCompatibleBitmap(target, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top)) {
        // No memory for the picture: drawing straight to the target flickers but shows everything.
        if (m_hDC)
            ::DeleteDC(m_hDC);
        m_bMemDC = false;
        DrawDirectly();
        return;
    }
    m_hOldBitmap = SelectObject(m_bitmap);
    // A mirrored (right-to-left) target: the memory is mirrored the same way, so that its pixels are
    // the screen's and text reads right; they reach the target unreflected.
    const DWORD dwLayout = ::GetLayout(target);
    if ((dwLayout & LAYOUT_RTL) != 0) {
        ::SetLayout(m_hDC, dwLayout);
        m_bMirrored = true;
    }
    SetWindowOrg(m_rect.left, m_rect.top);
}

void CUniMemDC::DrawDirectly()
{
    m_hDC = m_target.m_hDC;
    m_hAttribDC = m_target.m_hAttribDC;
    m_bPrinting = m_target.m_bPrinting;
}

CUniMemDC::~CUniMemDC()
{
    if (m_bMemDC) {
        m_target.BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_hDC,
                        m_rect.left, m_rect.top, SRCCOPY | (m_bMirrored ? NOMIRRORBITMAP : 0));
        SelectObject(m_hOldBitmap);
        ::DeleteDC(m_hDC);
    }
    // Borrowed handles are the target's to release.
    m_hDC = m_hAttribDC = nullptr;
}
