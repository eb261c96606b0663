// The page switch, Back/Next/Exit, the licence and notice choices and the driver check.
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "app/upgrade_dialog.h"
#include "host/usb_driver.h"
#include "platform/clock.h"

CWnd* CVelmoraEUT_KRT_P940Dlg::ControlById(int nId)
{
    switch (nId) {
    case IDC_BTN_START: return &m_btnStart;
    case IDC_IMG_PRESS_START: return &m_imgPressStart;
    case IDC_IMG_SUCCESS: return &m_imgSuccess;
    case IDC_IMG_FAILED: return &m_imgFailed;
    case IDC_IMG_UPDATING: return &m_imgUpdating;
    case IDC_IMG_CABLE_LARGE: return &m_imgCableLarge;
    case IDC_IMG_CONNECTED: return &m_imgConnected;
    case IDC_IMG_CABLE_SMALL: return &m_imgCableSmall;
    case IDC_PROGRESS: return &m_progress;
    case IDC_RICH_LICENSE: return &m_richLicense;
    default: return SkinButtonById(nId);
    }
}

CSkinButton* CVelmoraEUT_KRT_P940Dlg::SkinButtonById(int nId)
{
    switch (nId) {
    case IDC_BTN_START: return &m_btnStart;
    case IDC_BTN_BACK: return &m_btnBack;
    case IDC_BTN_NEXT: return &m_btnNext;
    case IDC_BTN_EXIT: return &m_btnExit;
    case IDC_RADIO_LICENSE_ACCEPT: return &m_radioLicenseAccept;
    case IDC_RADIO_LICENSE_DECLINE: return &m_radioLicenseDecline;
    case IDC_RADIO_NOTICE_ACCEPT: return &m_radioNoticeAccept;
    case IDC_RADIO_NOTICE_DECLINE: return &m_radioNoticeDecline;
    default: return nullptr;
    }
}

void CVelmoraEUT_KRT_P940Dlg::ShowPage()
{
    const PageLayout* pLayout = GetPageLayout(m_nPage);
    if (pLayout != nullptr) {
        if (m_nPage == PAGE_DOWNLOAD_MODE) {
            KillTimer(DETECT_PORT_TIMER);
        } else if (m_nPage == PAGE_CONNECT) {
            SetTimer(DETECT_PORT_TIMER, Platform::ScaledMs(DETECT_PORT_PERIOD_MS));
        }
        Platform::SleepMs(PAGE_CHANGE_PAUSE_MS);
        m_bmpBackground.LoadBitmap(pLayout->nBackground);

        const int nChoice = m_nPage == PAGE_LICENSE ? m_nLicenseChoice : m_nNoticeChoice;
        for (const PageControlRule& rule : pLayout->rules) {
            CWnd* pControl = ControlById(rule.nControlId);
            if (pControl == nullptr) {
                continue;
            }
            const ControlPlace* pPlace = FindControlPlace(rule.nControlId);
            CSkinButton* pButton = SkinButtonById(rule.nControlId);
            if (rule.bSkin && pButton != nullptr && pPlace != nullptr) {
                SkinControl(*pButton, pPlace->nNormal, pPlace->nPressed, pPlace->nDisabled);
                pButton->SetWindowText(pPlace->pszCaption);
            }
            if (rule.bMove && pPlace != nullptr) {
                PlaceControl(rule.nControlId, rule.bOwnPlace ? rule.nX : pPlace->nX,
                             rule.bOwnPlace ? rule.nY : pPlace->nY, pPlace->nWidth, pPlace->nHeight);
            }
            if (rule.nShow != SHOW_KEEP) {
                pControl->ShowWindow(rule.nShow == SHOW_ON ? SW_SHOW : SW_HIDE);
            }
            switch (rule.nEnable) {
            case ENABLE_ON: pControl->EnableWindow(TRUE); break;
            case ENABLE_OFF: pControl->EnableWindow(FALSE); break;
            case ENABLE_BY_CHOICE: pControl->EnableWindow(nChoice == 1); break;
            default: break;
            }
        }

        if (m_nPage == PAGE_LICENSE) {
            (m_nLicenseChoice == 1 ? m_radioLicenseAccept : m_radioLicenseDecline).SendMessage(BM_SETCHECK, 1);
            m_richLicense.SetSel(1, 1);
            m_richLicense.SendMessage(EM_SCROLLCARET);
            m_richLicense.UpdateWindow();
        } else if (m_nPage == PAGE_NOTICE) {
            (m_nNoticeChoice == 1 ? m_radioNoticeAccept : m_radioNoticeDecline).SendMessage(BM_SETCHECK, 1);
        } else if (m_nPage == PAGE_DOWNLOAD_MODE) {
            SetStatus(0, " Ready");
            SetStatus(3, " ");
        }
        FocusPageTarget();
        // Assistive technology learns that the page's controls changed; the focus event follows by itself.
        NotifyWinEvent(EVENT_OBJECT_REORDER, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
        Invalidate(TRUE);
    }
    if (m_bmpBackground.IsNull()) {
        return;  // no page picture (no such page): the window keeps its size
    }
    SizeWindow();
}

void CVelmoraEUT_KRT_P940Dlg::SetControlTexts()
{
    // Every skinned control is named by its caption, though its face shows the caption as a picture.
    for (int nId : {IDC_BTN_START, IDC_BTN_BACK, IDC_BTN_NEXT, IDC_BTN_EXIT, IDC_RADIO_LICENSE_ACCEPT,
                    IDC_RADIO_LICENSE_DECLINE, IDC_RADIO_NOTICE_ACCEPT, IDC_RADIO_NOTICE_DECLINE}) {
        CSkinButton* pButton = SkinButtonById(nId);
        const ControlPlace* pPlace = FindControlPlace(nId);
        pButton->SetCaptionInArtwork(true);
        pButton->SetFocusRing(FOCUS_RING_COLOUR);
        pButton->SetWindowText(pPlace->pszCaption);
    }
    for (int nId : {IDC_IMG_PRESS_START, IDC_IMG_SUCCESS, IDC_IMG_FAILED, IDC_IMG_UPDATING, IDC_IMG_CABLE_LARGE,
                    IDC_IMG_CONNECTED, IDC_IMG_CABLE_SMALL}) {
        static_cast<CCaptionedPicture*>(ControlById(nId))->SetCaption(PictureCaption(nId));
    }
}

CSkinButton* CVelmoraEUT_KRT_P940Dlg::ForwardButton()
{
    CSkinButton* pButton = nullptr;
    if (m_nPage >= PAGE_INTRO && m_nPage <= PAGE_CONNECT) {
        pButton = &m_btnNext;
    } else if (m_nPage == PAGE_DOWNLOAD) {
        pButton = &m_btnStart;
    }
    return pButton != nullptr && pButton->IsWindowVisible() && pButton->IsWindowEnabled() ? pButton : nullptr;
}

HWND CVelmoraEUT_KRT_P940Dlg::PageFocusTarget()
{
    // Where the user goes next: forward when that is possible, else the page's content.
    if (CSkinButton* pForward = ForwardButton()) {
        return pForward->m_hWnd;
    }
    switch (m_nPage) {
    case PAGE_LICENSE: return m_richLicense.m_hWnd;
    case PAGE_NOTICE: return (m_nNoticeChoice == 1 ? m_radioNoticeAccept : m_radioNoticeDecline).m_hWnd;
    case PAGE_COMPLETE: return m_btnExit.m_hWnd;
    default: return ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);  // the connect page waits on Back
    }
}

void CVelmoraEUT_KRT_P940Dlg::FocusPageTarget()
{
    if (HWND hTarget = PageFocusTarget()) {
        ::SetFocus(hTarget);
    }
}

void CVelmoraEUT_KRT_P940Dlg::ChangePage(int nPage)
{
    m_nPage = nPage;
    m_bmpBackground.DeleteObject();
    ShowPage();
}

void CVelmoraEUT_KRT_P940Dlg::OnNext()
{
    ++m_nPage;
    if (m_nPage == PAGE_NOTICE) {
        RunDriverCheck();
    }
    ChangePage(m_nPage);
}

void CVelmoraEUT_KRT_P940Dlg::OnBack()
{
    --m_nPage;
    if (m_nPage == PAGE_NOTICE) {
        RunDriverCheck();
    }
    m_imgCableLarge.ShowWindow(SW_HIDE);
    m_imgConnected.ShowWindow(SW_HIDE);
    m_imgCableSmall.ShowWindow(SW_HIDE);
    ChangePage(m_nPage);
}

void CVelmoraEUT_KRT_P940Dlg::SetDriverCheckBusy(bool bBusy)
{
    m_btnExit.EnableWindow(!bBusy);
    m_btnNext.EnableWindow(!bBusy);
    m_radioLicenseAccept.EnableWindow(!bBusy);
    m_radioLicenseDecline.EnableWindow(!bBusy);
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CVelmoraEUT_KRT_P940Dlg::RunDriverCheck()
{
    // The failure's box goes through this window's message sink: owned by it, with its name.
    if (RunUsbDriverCheck(HostOsCode, [this](bool bBusy) { SetDriverCheckBusy(bBusy); }) == USB_DRIVER_FAILED) {
        // The dialog ends once this handler has returned.
        EndDialog(IDCANCEL);
    }
}

void CVelmoraEUT_KRT_P940Dlg::OnLicenseAccept()
{
    m_nLicenseChoice = 1;
    m_btnNext.EnableWindow(TRUE);
}

void CVelmoraEUT_KRT_P940Dlg::OnLicenseDecline()
{
    m_nLicenseChoice = 0;
    m_btnNext.EnableWindow(FALSE);
}

void CVelmoraEUT_KRT_P940Dlg::OnNoticeAccept()
{
    m_nNoticeChoice = 1;
    m_btnNext.EnableWindow(TRUE);
}

void CVelmoraEUT_KRT_P940Dlg::OnNoticeDecline()
{
    m_nNoticeChoice = 0;
    m_btnNext.EnableWindow(FALSE);
}
