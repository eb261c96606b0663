// The page switch, Back/Next/Exit, the licence and notice choices and the driver check.
#include <algorithm>
#include <vector>

#include "app/dialog_controls.h"
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "app/upgrade_dialog.h"
#include "i18n/translations.h"
#include "host/usb_driver.h"
#include "platform/clock.h"

CWnd* CVelmoraEUT_KRT_P940Dlg::ControlById(int nId)
{
    const DialogControl* pControl = FindDialogControl(nId);
    return pControl != nullptr ? &pControl->pfnMember(*this) : nullptr;
}

CSkinButton* CVelmoraEUT_KRT_P940Dlg::SkinButtonById(int nId)
{
    const DialogControl* pControl = FindDialogControl(nId);
    if (pControl == nullptr || pControl->nKind != KIND_SKIN_BUTTON) {
        return nullptr;
    }
    return static_cast<CSkinButton*>(&pControl->pfnMember(*this));
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
        m_bmpBackground.LoadBitmap(pLayout->nBackground, m_scale.Dpi());
        ApplyStepText();

        const int nChoice = m_nPage == PAGE_LICENSE ? m_nLicenseChoice : m_nNoticeChoice;
        // What the page does not name goes first, then the page's own controls in its order.
        for (const DialogControl& control : DialogControls()) {
            if (FindPageRule(*pLayout, control.nId) == nullptr) {
                control.pfnMember(*this).ShowWindow(SW_HIDE);
            }
        }
        for (const PageControlRule& rule : pLayout->rules) {
            const DialogControl* pRow = FindDialogControl(rule.nControlId);
            if (pRow == nullptr) {
                continue;
            }
            CWnd& control = pRow->pfnMember(*this);
            if (rule.bSkin && pRow->nKind == KIND_SKIN_BUTTON) {
                auto& button = static_cast<CSkinButton&>(control);
                SkinControl(button, pRow->nNormal, pRow->nPressed, pRow->nDisabled);
                ApplyRowText(*pRow);  // the start button's own caption again after a restart
            }
            if (rule.bMove) {
                PlaceControl(rule.nControlId, rule.bOwnPlace ? rule.nX : pRow->nX,
                             rule.bOwnPlace ? rule.nY : pRow->nY, pRow->nWidth, pRow->nHeight);
            }
            if (rule.nShow != SHOW_KEEP) {
                control.ShowWindow(rule.nShow == SHOW_ON ? SW_SHOW : SW_HIDE);
            }
            switch (rule.nEnable) {
            case ENABLE_ON: control.EnableWindow(TRUE); break;
            case ENABLE_OFF: control.EnableWindow(FALSE); break;
            case ENABLE_BY_CHOICE: control.EnableWindow(nChoice == 1); break;
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

void CVelmoraEUT_KRT_P940Dlg::ApplyKeyboardOrder()
{
    // The table's order becomes the windows' order, which is the order Tab walks.
    std::vector<const DialogControl*> order;
    for (const DialogControl& row : DialogControls()) {
        order.push_back(&row);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const DialogControl* a, const DialogControl* b) { return a->nTabOrder < b->nTabOrder; });
    HWND hAfter = HWND_TOP;
    for (const DialogControl* pRow : order) {
        CWnd& control = pRow->pfnMember(*this);
        LONG_PTR nStyle = GetWindowLongPtrA(control.m_hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_GROUP);
        if (pRow->bGroup) {
            nStyle |= WS_GROUP;
        }
        // A choice's stop follows its check, which the skin button keeps.
        if (pRow->bTabStop) {
            nStyle |= WS_TABSTOP;
        } else if (pRow->nKind != KIND_SKIN_BUTTON) {
            nStyle &= ~static_cast<LONG_PTR>(WS_TABSTOP);
        }
        SetWindowLongPtrA(control.m_hWnd, GWL_STYLE, nStyle);
        ::SetWindowPos(control.m_hWnd, hAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        hAfter = control.m_hWnd;
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
