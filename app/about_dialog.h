#pragma once
// The About box of the system menu: icon, tool name and version, OK.
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "framework/gdi.h"

class CAboutDlg : public CDialog {
public:
    // nDpi: the scale the wizard is laid out at, which the box follows.
    explicit CAboutDlg(HWND hParent = nullptr, int nDpi = BASE_DPI);

protected:
    BOOL OnInitDialog() override;

private:
    int m_nDpi;
    CGdiObject<HFONT> m_font;
};
