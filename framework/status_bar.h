#pragma once
// CStatusBarCtrl: the common status bar ("msctls_statusbar32"), made as a child of a window.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/wnd.h"
#include "platform/win32/utf16.h"

class CStatusBarCtrl : public CWnd {
public:
    // Makes the bar; it docks itself at the parent's bottom edge. False on failure.
    bool Create(DWORD dwStyle, HWND hParent, UINT nId)
    {
        m_hWnd = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", dwStyle, 0, 0, 0, 0, hParent,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nId)), GetResourceInstance(), nullptr);
        return m_hWnd != nullptr;
    }
    // Takes effect at once: the bar lays itself out again.
    void SetMinHeight(int nHeight) const
    {
        SendMessage(SB_SETMINHEIGHT, static_cast<WPARAM>(nHeight));
        SendMessage(WM_SIZE);
    }
    BOOL SetParts(int nParts, const int* pRightEdges) const { return static_cast<BOOL>(SendMessage(SB_SETPARTS, static_cast<WPARAM>(nParts), reinterpret_cast<LPARAM>(pRightEdges))); }
    BOOL SetText(const char* pszText, int nPart, int nType = 0) const
    {
        const std::wstring strText = Platform::Utf16(pszText);
        return static_cast<BOOL>(SendMessage(SB_SETTEXTW, static_cast<WPARAM>(nPart | nType), reinterpret_cast<LPARAM>(strText.c_str())));
    }
    // The text is in the bar at once but not painted now (some bars paint inside SB_SETTEXT); the
    // caller invalidates the bar when the screen should catch up.
    BOOL SetTextUnpainted(const char* pszText, int nPart) const
    {
        SendMessage(WM_SETREDRAW, FALSE);
        BOOL bDone = SetText(pszText, nPart);
        SendMessage(WM_SETREDRAW, TRUE);
        return bDone;
    }
    std::string GetText(int nPart) const
    {
        std::wstring strText(LOWORD(SendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(nPart))) + 1u, L'\0');
        strText.resize(LOWORD(SendMessage(SB_GETTEXTW, static_cast<WPARAM>(nPart), reinterpret_cast<LPARAM>(strText.data()))));
        return Platform::Utf8(strText);
    }
};
