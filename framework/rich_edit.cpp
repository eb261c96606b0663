#include "framework/rich_edit.h"

bool CRichEditCtrl::LoadClass()
{
    // Loaded once for the life of the process: the class must outlive every control of it.
    static const HMODULE s_hRichEdit = ::LoadLibraryA("riched20.dll");
    return s_hRichEdit != nullptr;
}
