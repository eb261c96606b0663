#pragma once
// CDialog: a dialog from a template in the executable's resources, run modally (DoModal) or
// modeless (Create). One static dialog procedure finds the object and dispatches through the
// message table of its class; messages the table does not name get the dialog's default handling.
//
// How a dialog declares its message table and binds its controls:
//
//   class CMyDlg : public CDialog {
//   public:
//       CMyDlg() : CDialog(IDD_MY) {}
//   protected:
//       void DoDataExchange() override
//       {
//           BindControl(IDC_NEXT, m_btnNext);       // m_btnNext's window messages now reach m_btnNext
//           BindControl(IDC_PROGRESS, m_progress);
//       }
//       BOOL OnInitDialog() override
//       {
//           CDialog::OnInitDialog();                // binds the controls (DoDataExchange)
//           ...
//           return TRUE;                            // the framework sets the focus
//       }
//       std::span<const MessageEntry> GetMessageTable() const override
//       {
//           static const MessageEntry s_table[] = {
//               OnMessage<&CMyDlg::OnSysCommand>(WM_SYSCOMMAND),    // void OnSysCommand(UINT nId, LPARAM)
//               OnMessage<&CMyDlg::OnPaint>(WM_PAINT),              // void OnPaint()
//               OnMessage<&CMyDlg::OnQueryDragIcon>(WM_QUERYDRAGICON), // HICON OnQueryDragIcon()
//               OnMessage<&CMyDlg::OnEraseBkgnd>(WM_ERASEBKGND),    // BOOL OnEraseBkgnd(CDC& dc)
//               OnMessage<&CMyDlg::OnTimer>(WM_TIMER),              // void OnTimer(UINT_PTR nIdEvent)
//               OnMessage<&CMyDlg::OnNotify>(WM_USER + 503),        // LRESULT OnNotify(WPARAM, LPARAM)
//               OnCommand<&CMyDlg::OnNext>(IDC_NEXT),               // void OnNext(), on BN_CLICKED
//           };
//           return s_table;
//       }
//   private:
//       CSkinButton m_btnNext;
//       CTextProgressCtrl m_progress;
//   };
//
// IDOK and IDCANCEL end the dialog through OnOK/OnCancel unless the table names them. A handler can
// call Default() to have the dialog's default handling run after it as well (WM_PAINT, WM_SYSCOMMAND).
// Owner-draw messages (WM_DRAWITEM, WM_MEASUREITEM) go to the bound control's own object first.
// No exception leaves a handler into user32: a throwing handler counts as unhandled.
#include <windows.h>

#include <span>

#include "framework/gdi.h"
#include "framework/wnd.h"

class CDialog;

// One row of a message table: the message, and for WM_COMMAND the control id and notification code.
struct MessageEntry {
    UINT nMessage;
    UINT nId;
    UINT nCode;
    LRESULT (*pfnHandler)(CDialog& dlg, WPARAM wParam, LPARAM lParam);
};

namespace DialogDispatch {
// One overload per handler shape; each turns the message's parameters into the handler's.
template <class T>
LRESULT Invoke(CDialog& dlg, void (T::*pfn)(), WPARAM, LPARAM)
{
    (static_cast<T&>(dlg).*pfn)();
    return 0;
}
template <class T>
LRESULT Invoke(CDialog& dlg, void (T::*pfn)(UINT_PTR), WPARAM wParam, LPARAM)
{
    (static_cast<T&>(dlg).*pfn)(static_cast<UINT_PTR>(wParam));
    return 0;
}
template <class T>
LRESULT Invoke(CDialog& dlg, void (T::*pfn)(UINT, LPARAM), WPARAM wParam, LPARAM lParam)
{
    (static_cast<T&>(dlg).*pfn)(static_cast<UINT>(wParam), lParam);
    return 0;
}
template <class T>
LRESULT Invoke(CDialog& dlg, BOOL (T::*pfn)(CDC&), WPARAM wParam, LPARAM)
{
    CDC dc(reinterpret_cast<HDC>(wParam));
    return (static_cast<T&>(dlg).*pfn)(dc);
}
template <class T>
LRESULT Invoke(CDialog& dlg, HICON (T::*pfn)(), WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((static_cast<T&>(dlg).*pfn)());
}
template <class T>
LRESULT Invoke(CDialog& dlg, LRESULT (T::*pfn)(WPARAM, LPARAM), WPARAM wParam, LPARAM lParam)
{
    return (static_cast<T&>(dlg).*pfn)(wParam, lParam);
}
template <auto pfn>
LRESULT Thunk(CDialog& dlg, WPARAM wParam, LPARAM lParam)
{
    return Invoke(dlg, pfn, wParam, lParam);
}
}  // namespace DialogDispatch

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIdTemplate, HWND hParent = nullptr) : m_nIdTemplate(nIdTemplate), m_hParent(hParent) {}
    ~CDialog() override;

    // Runs the dialog modally; the value given to EndDialog, or -1 if it could not be made.
    INT_PTR DoModal();
    // Makes the dialog modeless (the template decides whether it is visible); false on failure.
    bool Create(HWND hParent = nullptr);
    void EndDialog(INT_PTR nResult);
    BOOL DestroyWindow();

protected:
    template <auto pfn>
    static constexpr MessageEntry OnMessage(UINT nMessage) { return {nMessage, 0, 0, &DialogDispatch::Thunk<pfn>}; }
    template <auto pfn>
    static constexpr MessageEntry OnCommand(UINT nId, UINT nCode = BN_CLICKED) { return {WM_COMMAND, nId, nCode, &DialogDispatch::Thunk<pfn>}; }

    virtual std::span<const MessageEntry> GetMessageTable() const { return {}; }
    // Binds the member controls to the template's controls (BindControl).
    virtual void DoDataExchange() {}
    // The base binds the controls; return TRUE to let the framework set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // Attaches a member control to the template control nId (its messages reach the object first).
    bool BindControl(int nId, CWnd& control) { return control.SubclassDlgItem(nId, m_hWnd); }
    // From inside a handler: let the dialog's default handling run as well.
    void Default() { m_bDefault = true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT nMsg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    UINT m_nIdTemplate;
    HWND m_hParent;
    bool m_bModal = false;
    bool m_bDefault = false;
};
