#include "app/about_dialog.h"

#include "app/resource_ids.h"
#include "framework/reading_order.h"
#include "i18n/translations.h"

CAboutDlg::CAboutDlg(HWND hParent, int nDpi) : CDialog(IDD_ABOUTBOX, hParent), m_nDpi(nDpi)
{
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The version line stays as it is in every language; the title and the button are translated.
    SetWindowText(Tr("About Velmora SW Upgrade for KRT-P940"));
    CWnd(GetDlgItem(IDOK)).SetWindowText(Tr("OK"));
    SetReadingOrder(m_hWnd, CurrentLanguageIsRightToLeft());
    // The dialog manager made the box for the monitor's (or the system's) scale; the wizard may be at
    // another one that fits the screen.
    HFONT hFont = nullptr;
    ScaleDialog(m_hWnd, WindowDpi(m_hWnd), m_nDpi, &hFont);
    m_font.Attach(hFont);
    return TRUE;
}
