#pragma once
// CCaptionedPicture: a picture control that answers for its text with the words its picture shows, so
// that a screen reader can say what the picture says. The picture is the template's until SetPicture.
#include <string>

#include "framework/gdi.h"
#include "framework/static_ctrl.h"
#include "platform/win32/utf16.h"

class CCaptionedPicture : public CStatic {
public:
    void SetCaption(const char* pszCaption) { m_strCaption = Platform::Utf16(pszCaption); }
    // Shows bitmap nId of the artwork set of a scale (dots per inch); the control sizes itself to it.
    void SetPicture(UINT nId, int nDpi);

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring m_strCaption;
    CBitmap m_bmpPicture;
};
