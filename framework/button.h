#pragma once
// CButton: a push button, check box or radio button control. An owner-drawn button paints itself
// in DrawItem, which the parent dialog reflects to it.
#include "framework/wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL bPushed) const { SendMessage(BM_SETSTATE, static_cast<WPARAM>(bPushed)); }

    virtual void DrawItem(DRAWITEMSTRUCT*) {}

    bool OnChildNotify(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (nMsg != WM_DRAWITEM)
            return CWnd::OnChildNotify(nMsg, wParam, lParam, pResult);
        DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *pResult = TRUE;
        return true;
    }
};
