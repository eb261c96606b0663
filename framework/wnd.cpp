#include "framework/wnd.h"

namespace {
// The window property that leads from a subclassed window to its object.
const char OBJECT_PROPERTY[] = "KrtWndObject";
}  // namespace

CWnd::~CWnd()
{
    if (m_pfnSuper && IsWindow())
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? static_cast<CWnd*>(::GetPropA(hWnd, OBJECT_PROPERTY)) : nullptr;
}

bool CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return false;
    m_hWnd = hWnd;
    PreSubclassWindow();
    if (!::SetPropA(hWnd, OBJECT_PROPERTY, this)) {
        m_hWnd = nullptr;
        return false;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    return true;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd && m_pfnSuper) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::RemovePropA(hWnd, OBJECT_PROPERTY);
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

std::string CWnd::GetWindowText() const
{
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    std::string strText(static_cast<size_t>(nLength > 0 ? nLength : 0) + 1, '\0');
    int nCopied = ::GetWindowTextA(m_hWnd, strText.data(), static_cast<int>(strText.size()));
    strText.resize(static_cast<size_t>(nCopied > 0 ? nCopied : 0));
    return strText;
}

LRESULT CWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, nMsg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, nMsg, wParam, lParam);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd || pWnd->m_hWnd != hWnd)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    if (nMsg == WM_NCDESTROY) {
        // The window goes; hand it back its own procedure for its last message.
        WNDPROC pfnSuper = pWnd->m_pfnSuper;
        pWnd->UnsubclassWindow();
        return ::CallWindowProcA(pfnSuper, hWnd, nMsg, wParam, lParam);
    }
    // No exception may unwind through user32: a throwing handler counts as unhandled.
    try {
        return pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (...) {
    }
    try {
        return pWnd->DefWindowProc(nMsg, wParam, lParam);
    } catch (...) {
        return 0;
    }
}
