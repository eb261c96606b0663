#include "framework/common_controls.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/rich_edit.h"

bool RegisterControlClasses()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    bool bCommon = ::InitCommonControlsEx(&icc) != FALSE;
    return CRichEditCtrl::LoadClass() && bCommon;
}
