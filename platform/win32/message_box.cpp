#include <windows.h>

#include "platform/message_box.h"

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
    MessageBoxA(nullptr, pszText, pszCaption[0] != '\0' ? pszCaption : nullptr, uType);
}

}  // namespace Platform
