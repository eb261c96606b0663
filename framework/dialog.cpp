#include "framework/dialog.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT nMsg)
{
    switch (nMsg) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

}  // namespace

CDialog::~CDialog()
{
    // A modeless dialog still open when its object goes must not call into a dead object.
    if (IsWindow() && !m_bModal) {
        ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        ::DestroyWindow(m_hWnd);
    }
    m_hWnd = nullptr;
}

INT_PTR CDialog::DoModal()
{
    m_bModal = true;
    INT_PTR nResult = ::DialogBoxParamW(GetResourceInstance(), MAKEINTRESOURCEW(m_nIdTemplate), m_hParent,
                                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return nResult;
}

bool CDialog::Create(HWND hParent)
{
    m_bModal = false;
    if (hParent)
        m_hParent = hParent;
    HWND hDlg = ::CreateDialogParamW(GetResourceInstance(), MAKEINTRESOURCEW(m_nIdTemplate), m_hParent,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hDlg != nullptr;
}

void CDialog::EndDialog(INT_PTR nResult)
{
    if (m_bModal)
        ::EndDialog(m_hWnd, nResult);
    else
        DestroyWindow();
}

BOOL CDialog::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CDialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg;
    if (nMsg == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
        pDlg->m_hWnd = hDlg;
    } else {
        pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hDlg, DWLP_USER));
    }
    if (!pDlg)
        return FALSE;
    if (nMsg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hDlg, DWLP_USER, 0);
        pDlg->m_hWnd = nullptr;
        return FALSE;
    }
    // No exception may unwind through user32: a throwing handler counts as unhandled.
    try {
        return pDlg->HandleMessage(nMsg, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

bool CDialog::ReflectToChild(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    HWND hChild = nullptr;
    if (nMsg == WM_DRAWITEM && wParam != 0)
        hChild = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    else if (nMsg == WM_MEASUREITEM && wParam != 0)
        hChild = GetDlgItem(static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID));
    CWnd* pChild = CWnd::FromHandlePermanent(hChild);
    return pChild && pChild->OnChildNotify(nMsg, wParam, lParam, pResult);
}

INT_PTR CDialog::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_INITDIALOG)
        return OnInitDialog();

    LRESULT nResult = 0;
    if (ReflectToChild(nMsg, wParam, lParam, &nResult)) {
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, nResult);
        return TRUE;
    }

    for (const MessageEntry& entry : GetMessageTable()) {
        if (entry.nMessage != nMsg)
            continue;
        if (nMsg == WM_COMMAND && (LOWORD(wParam) != entry.nId || HIWORD(wParam) != entry.nCode))
            continue;
        // A handler may send the dialog further messages, or throw: keep the outer handler's flag.
        struct RestoreFlag {
            bool& rFlag;
            bool bSaved;
            ~RestoreFlag() { rFlag = bSaved; }
        } restore{m_bDefault, m_bDefault};
        m_bDefault = false;
        HWND hDlg = m_hWnd;
        nResult = entry.pfnHandler(*this, wParam, lParam);
        bool bDefault = m_bDefault;
        if (bDefault)
            return FALSE;
        if (ReturnsResultDirectly(nMsg))
            return static_cast<INT_PTR>(nResult);
        if (::IsWindow(hDlg))
            ::SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, nResult);
        return TRUE;
    }

    if (nMsg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}
