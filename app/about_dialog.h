#pragma once
// The About box of the system menu: icon, tool name and version, OK.
#include "framework/dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(HWND hParent = nullptr);
};
