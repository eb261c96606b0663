#include "tests/controls/controls_test_dialog.h"

#include "framework/common_controls.h"

namespace ControlsTest {

void CControlsDlg::DoDataExchange()
{
    for (int nId = IDC_PUSH; nId <= IDC_SPARE; ++nId)
        BindControl(nId, Button(nId));
    BindControl(IDC_PROGRESS, m_progress);
    BindControl(IDC_PROGRESS2, m_progress2);
}

BOOL CControlsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 0, 900, 560, SWP_NOZORDER | SWP_NOMOVE);
    for (int nId = IDC_PUSH; nId <= IDC_SPARE; ++nId) {
        int nIndex = nId - IDC_PUSH;
        Button(nId).MoveWindow(10 + (nIndex % 4) * 150, 10 + (nIndex / 4) * 80, BUTTON_CX, BUTTON_CY);
        Button(nId).SetSkin(IDB_NORMAL, IDB_HOVER, IDB_PRESSED, IDB_DISABLED, IDB_CHECKED_DISABLED, IDB_FOCUS, 0, 1, 0, 0);
    }
    m_progress.MoveWindow(10, 400, 404, 24);
    m_progress2.MoveWindow(10, 440, 404, 24);
    return TRUE;
}

std::span<const MessageEntry> CControlsDlg::GetMessageTable() const
{
    static const MessageEntry s_table[] = {
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_PUSH),
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_CHECK),
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_RADIO1),
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_RADIO1 + 1),
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_RADIO1 + 2),
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_RADIO4),
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_AFTER),
        OnCommand<&CControlsDlg::OnCommandMessage>(IDC_SPARE),
        OnMessage<&CControlsDlg::OnEraseBkgnd>(WM_ERASEBKGND),
    };
    return s_table;
}

LRESULT CControlsDlg::OnCommandMessage(WPARAM wParam, LPARAM)
{
    ++m_clicks[LOWORD(wParam)];
    return 0;
}

BOOL CControlsDlg::OnEraseBkgnd(CDC& dc)
{
    RECT rc;
    GetClientRect(&rc);
    dc.FillSolidRect(rc, CLR_BACKGROUND);
    return TRUE;
}

}  // namespace ControlsTest
