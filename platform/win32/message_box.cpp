#include <windows.h>

#include "platform/message_box.h"
#include "platform/win32/utf16.h"

namespace Platform {

void ShowSystemMessageBox(const char* pszText, const char* pszCaption, MessageIcon nIcon)
{
    UINT uType = MB_OK;
    switch (nIcon) {
    case MESSAGE_ICON_WARNING: uType |= MB_ICONWARNING; break;
    case MESSAGE_ICON_ERROR: uType |= MB_ICONERROR; break;
    case MESSAGE_ICON_INFO: uType |= MB_ICONINFORMATION; break;
    default: break;
    }
    const std::wstring strCaption = Utf16(pszCaption);
    MessageBoxW(nullptr, Utf16(pszText).c_str(), strCaption.empty() ? nullptr : strCaption.c_str(), uType);
}

}  // namespace Platform
