#pragma once
// CPageText: words on a page, the window's own text drawn with DrawTextW over what the parent shows
// under the window (the page's picture), so no box of another colour shows round them. The look says
// the font, colour, alignment and whether the words wrap inside the window.
#include "controls/text_look.h"
#include "framework/static_ctrl.h"

class CPageText : public CStatic {
public:
    void SetLook(const TextLook& look);
    const TextLook& Look() const { return m_look; }

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();

    TextLook m_look;
};
