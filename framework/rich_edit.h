#pragma once
// CRichEditCtrl: the rich edit 2.0 control ("RichEdit20A"); LoadClass must run before a dialog that
// holds one is made.
#include <windows.h>
#include <richedit.h>

#include "framework/wnd.h"

class CRichEditCtrl : public CWnd {
public:
    // Loads "riched20.dll", which registers the control's window class. False if it is missing.
    static bool LoadClass();

    void SetSel(LONG nStart, LONG nEnd) const
    {
        CHARRANGE range{nStart, nEnd};
        SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    DWORD GetDefaultCharFormat(CHARFORMATA& cf) const
    {
        cf.cbSize = sizeof(cf);
        return static_cast<DWORD>(SendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf)));
    }
    BOOL SetSelectionCharFormat(CHARFORMATA& cf) const
    {
        cf.cbSize = sizeof(cf);
        return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
    }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) const { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(bReadOnly))); }
};
