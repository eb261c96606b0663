#include "controls/captioned_picture.h"

#include <algorithm>
#include <cwchar>
#include <utility>

void CCaptionedPicture::SetPicture(UINT nId, int nDpi)
{
    CBitmap bmpNew;
    if (!bmpNew.LoadBitmap(nId, nDpi))
        return;  // the picture shown stays
    const auto hOld = reinterpret_cast<HBITMAP>(
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmpNew.GetSafeHandle())));
    // A static deletes only the picture it holds when it goes: the template's, once replaced, is ours to
    // delete. The one we set before is released with m_bmpPicture, after the control let go of it.
    if (hOld != nullptr && hOld != m_bmpPicture.GetSafeHandle())
        ::DeleteObject(hOld);
    m_bmpPicture = std::move(bmpNew);
}

LRESULT CCaptionedPicture::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // A bitmap static keeps no text of its own (setting one would name a bitmap to load).
    switch (nMsg) {
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(m_strCaption.size());
    case WM_GETTEXT: {
        // A Unicode window: the text goes out in UTF-16.
        wchar_t* pszBuffer = reinterpret_cast<wchar_t*>(lParam);
        if (pszBuffer == nullptr || wParam == 0)
            return 0;
        const size_t nCopy = std::min<size_t>(m_strCaption.size(), wParam - 1);
        std::wmemcpy(pszBuffer, m_strCaption.data(), nCopy);
        pszBuffer[nCopy] = L'\0';
        return static_cast<LRESULT>(nCopy);
    }
    default:
        return CStatic::WindowProc(nMsg, wParam, lParam);
    }
}
