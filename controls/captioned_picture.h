#pragma once
// CCaptionedPicture: a picture control (a banner, a drawing) that paints its bitmap and, over it, its
// window text: a banner's words, drawn at the window's scale in the user's language. The text may end
// with a second line in a look of its own (a banner's advice under its title). A drawing's window text
// is its name for screen readers; without a look it is not drawn.
#include <string>

#include "controls/text_look.h"
#include "framework/gdi.h"
#include "framework/static_ctrl.h"

class CCaptionedPicture : public CStatic {
public:
    // Shows bitmap nId of the artwork set of a scale (dots per inch); the control sizes itself to it.
    void SetPicture(UINT nId, int nDpi);
    // The looks of the title and the second line, and the box they share (pixels inside the picture);
    // a title look without a font draws nothing.
    void SetTextLooks(const TextLook& title, const TextLook& detail, const RECT& rcBox);
    // The window text's second line: the text is "<title>. <detail>" (as a screen reader says it), drawn
    // as two. Empty: the whole text is the title.
    void SetDetail(const std::wstring& strDetail);
    // The window text for a title and a second line.
    static std::wstring JoinedText(const std::wstring& strTitle, const std::wstring& strDetail);
    // A drawing of the device keeps its sides in a mirrored (right-to-left) layout.
    void SetKeepSides(bool bKeep) { m_bKeepSides = bKeep; }

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    // The title and the second line of the window text.
    void SplitText(std::wstring* pTitle, std::wstring* pDetail) const;
    // Fonts that let the words fit the box: the looks' own, or smaller copies of them.
    void FitFonts(HDC hDC, const std::wstring& strTitle, const std::wstring& strDetail);

    CBitmap m_bmpPicture;
    TextLook m_title;
    TextLook m_detail;
    RECT m_rcBox{};
    std::wstring m_strDetail;
    int m_nFitPercent = 100;
    CGdiObject<HFONT> m_fontTitleFitted;
    CGdiObject<HFONT> m_fontDetailFitted;
    std::wstring m_strFittedFor;
    bool m_bKeepSides = false;
};
