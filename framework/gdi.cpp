#include "framework/gdi.h"

#include "framework/artwork_set.h"
#include "framework/wnd.h"

void CDC::FillSolidRect(const RECT& rect, COLORREF clr) const
{
    // ExtTextOut with an opaque rectangle fills without a brush to create and delete.
    COLORREF clrOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, clrOld);
}

bool CBitmap::LoadBitmap(UINT nId, int nDpi)
{
    Attach(LoadArtworkBitmap(GetResourceInstance(), nId, nDpi));
    return !IsNull();
}

bool CBitmap::CreateCompatibleBitmap(HDC hDC, int cx, int cy)
{
    Attach(::CreateCompatibleBitmap(hDC, cx, cy));
    return !IsNull();
}

SIZE CBitmap::GetSize() const
{
    BITMAP bm{};
    if (!m_hObject || !::GetObjectA(m_hObject, sizeof(bm), &bm))
        return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}
