#include "framework/gdi.h"

#include "framework/artwork_set.h"
#include "framework/wnd.h"
#include "platform/win32/utf16.h"

void CDC::FillSolidRect(const RECT& rect, COLORREF clr) const
{
    // ExtTextOut with an opaque rectangle fills without a brush to create and delete.
    COLORREF clrOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
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

int CDC::DrawText(const std::string& strText, RECT* pRect, UINT nFormat) const
{
    const std::wstring strWide = Platform::Utf16(strText);
    return ::DrawTextW(m_hDC, strWide.c_str(), static_cast<int>(strWide.size()), pRect, nFormat);
}
