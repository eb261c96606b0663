#include "framework/wnd.h"

#include <mutex>
#include <unordered_map>

#include "platform/win32/utf16.h"

namespace {

// Subclassed windows and their objects. Kept in the process, not as a window property: a property
// is a round trip to the window system on every message (under Wine a call to its server).
std::mutex g_mapLock;
std::unordered_map<HWND, CWnd*>& HandleMap()
{
    static std::unordered_map<HWND, CWnd*> s_map;
    return s_map;
}

}  // namespace

CWnd::~CWnd()
{
    if (m_pfnSuper && IsWindow())
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_mapLock);
    auto it = HandleMap().find(hWnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

bool CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || !::IsWindow(hWnd))
        return false;
    {
        std::lock_guard<std::mutex> lock(g_mapLock);
        if (!HandleMap().emplace(hWnd, this).second)
            return false;
    }
    m_hWnd = hWnd;
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    if (!m_pfnSuper) {
        UnsubclassWindow();  // a window of another process cannot be subclassed
        return false;
    }
    return true;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd && m_pfnSuper) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    if (hWnd) {
        std::lock_guard<std::mutex> lock(g_mapLock);
        auto it = HandleMap().find(hWnd);
        if (it != HandleMap().end() && it->second == this)
            HandleMap().erase(it);
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::SetWindowText(std::string_view strText) const
{
    ::SetWindowTextW(m_hWnd, Platform::Utf16(strText).c_str());
}

std::string CWnd::GetWindowText() const
{
    const int nLength = ::GetWindowTextLengthW(m_hWnd);
    std::wstring strText(static_cast<size_t>(nLength > 0 ? nLength : 0) + 1, L'\0');
    const int nCopied = ::GetWindowTextW(m_hWnd, strText.data(), static_cast<int>(strText.size()));
    strText.resize(static_cast<size_t>(nCopied > 0 ? nCopied : 0));
    return Platform::Utf8(strText);
}

LRESULT CWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, nMsg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, nMsg, wParam, lParam);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd || pWnd->m_hWnd != hWnd)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    if (nMsg == WM_NCDESTROY) {
        // The window goes; hand it back its own procedure for its last message.
        WNDPROC pfnSuper = pWnd->m_pfnSuper;
        pWnd->UnsubclassWindow();
        return ::CallWindowProcW(pfnSuper, hWnd, nMsg, wParam, lParam);
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
