#pragma once
// CProgressCtrl: the common progress bar control ("msctls_progress32").
#include <windows.h>
#include <commctrl.h>

#include "framework/wnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(int nLower, int nUpper) const { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
    int SetPos(int nPos) const { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};
