#pragma once
// CWnd: a window by its handle. It does not own the window; most members forward in one line.
// A control class derived from CWnd can subclass its window (SubclassWindow / SubclassDlgItem):
// from then on the window's messages reach the object's WindowProc first.
#include <windows.h>

#include <string>
#include <string_view>

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    // The object of a window subclassed by a CWnd, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Attaches the object to the window and routes its messages here. PreSubclassWindow runs first.
    bool SubclassWindow(HWND hWnd);
    bool SubclassDlgItem(int nId, HWND hParent) { return SubclassWindow(::GetDlgItem(hParent, nId)); }
    // Gives the window back its own procedure and forgets it.
    HWND UnsubclassWindow();

    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageW(m_hWnd, nMsg, wParam, lParam); }
    BOOL PostMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::PostMessageW(m_hWnd, nMsg, wParam, lParam); }

    HWND GetDlgItem(int nId) const { return ::GetDlgItem(m_hWnd, nId); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    BOOL EnableWindow(BOOL bEnable = TRUE) const { return ::EnableWindow(m_hWnd, bEnable); }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }

    // Window texts are UTF-8 here and UTF-16 in the window.
    void SetWindowText(std::string_view strText) const;
    std::string GetWindowText() const;

    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    void ScreenToClient(POINT* pPoint) const { ::ScreenToClient(m_hWnd, pPoint); }
    void ClientToScreen(POINT* pPoint) const { ::ClientToScreen(m_hWnd, pPoint); }
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) const { return ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint); }
    BOOL SetWindowPos(HWND hAfter, int x, int y, int cx, int cy, UINT nFlags) const { return ::SetWindowPos(m_hWnd, hAfter, x, y, cx, cy, nFlags); }
    // The window takes the region over; hRgn must not be used or deleted afterwards.
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) const { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }

    void Invalidate(BOOL bErase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(const RECT* pRect, BOOL bErase = TRUE) const { ::InvalidateRect(m_hWnd, pRect, bErase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(UINT nFlags, const RECT* pRect = nullptr, HRGN hRgn = nullptr) const { return ::RedrawWindow(m_hWnd, pRect, hRgn, nFlags); }

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    void ModifyStyle(DWORD dwRemove, DWORD dwAdd) const { ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((GetStyle() & ~dwRemove) | dwAdd)); }

    UINT_PTR SetTimer(UINT_PTR nId, UINT nElapse) const { return ::SetTimer(m_hWnd, nId, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nId) const { return ::KillTimer(m_hWnd, nId); }
    HWND SetCapture() const { return ::SetCapture(m_hWnd); }
    bool HasCapture() const { return m_hWnd && ::GetCapture() == m_hWnd; }

protected:
    // Runs as the object is attached to its window, before any message reaches it.
    virtual void PreSubclassWindow() {}
    // Every message of a subclassed window arrives here; the default passes it on.
    virtual LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) { return DefWindowProc(nMsg, wParam, lParam); }
    // The window's own procedure (the one before subclassing).
    LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);

public:
    // A message the parent reflects to this control (owner drawing); true when the control handled it.
    virtual bool OnChildNotify(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    WNDPROC m_pfnSuper = nullptr;
};

// The module whose resources (dialogs, bitmaps) the program uses.
inline HINSTANCE GetResourceInstance() { return ::GetModuleHandleW(nullptr); }
