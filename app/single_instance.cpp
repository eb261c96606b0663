#include "app/single_instance.h"

#include "platform/win32/utf16.h"

CSingleInstance::~CSingleInstance()
{
    if (m_hMutex != nullptr) {
        CloseHandle(m_hMutex);
    }
}

bool CSingleInstance::Claim(const char* pszMutexName)
{
    if (m_hMutex != nullptr) {
        return true;
    }
    HANDLE hMutex = CreateMutexA(nullptr, FALSE, pszMutexName);
    if (hMutex == nullptr) {
        // Without the mutex nothing can be told apart; better to run than to refuse.
        return true;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(hMutex);
        return false;
    }
    m_hMutex = hMutex;
    return true;
}

bool ActivateWindowByTitle(const char* pszTitle)
{
    HWND hWnd = FindWindowW(reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(32770)), Platform::Utf16(pszTitle).c_str());
    if (hWnd == nullptr) {
        return false;
    }
    // A modal box of the wizard (the About box, a question) is what should come forward.
    HWND hPopup = GetLastActivePopup(hWnd);
    if (IsIconic(hWnd)) {
        ShowWindow(hWnd, SW_RESTORE);
    }
    SetForegroundWindow(hPopup != nullptr ? hPopup : hWnd);
    return true;
}
