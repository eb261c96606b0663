#include "app/about_dialog.h"

#include "app/resource_ids.h"

CAboutDlg::CAboutDlg(HWND hParent) : CDialog(IDD_ABOUTBOX, hParent)
{
}
