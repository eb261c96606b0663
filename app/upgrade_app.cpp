#include "app/upgrade_app.h"

#include <windows.h>

#include <ole2.h>

#include <cstdlib>
#include <string>

#include "app/resource_ids.h"
#include "app/single_instance.h"
#include "app/upgrade_dialog.h"
#include "framework/common_controls.h"
#include "framework/rich_edit.h"
#include "platform/clock.h"

CVelmoraEUT_KRT_P940App theApp;

namespace {

std::string WindowTitle()
{
    char szModel[64] = {};
    char szVersion[64] = {};
    LoadStringA(GetResourceInstance(), IDS_DEVICE_MODEL, szModel, sizeof(szModel));
    LoadStringA(GetResourceInstance(), IDS_TOOL_VERSION, szVersion, sizeof(szVersion));
    return std::string(" SW Upgrade - [ ") + szModel + " ] - " + szVersion;
}

// Test runs against the simulated device set KRT_TIME_SCALE to run every pause, time-out and the port
// timer faster, as they do for the command-line flasher. Anything but a number above 0 is ignored.
void ApplyTestTimeScale()
{
    const char* pszScale = std::getenv("KRT_TIME_SCALE");
    if (pszScale == nullptr || *pszScale == '\0') {
        return;
    }
    char* pszEnd = nullptr;
    const double dScale = std::strtod(pszScale, &pszEnd);
    if (pszEnd != nullptr && *pszEnd == '\0' && dScale > 0.0) {
        Platform::SetTimeScale(dScale);
    }
}

}  // namespace

bool CVelmoraEUT_KRT_P940App::InitInstance()
{
    CSingleInstance instance;
    if (!instance.Claim()) {
        ActivateWindowByTitle(WindowTitle().c_str());
        return false;
    }
    ApplyTestTimeScale();
    RegisterControlClasses();
    CRichEditCtrl::LoadClass();
    // The task-bar progress is a COM object of the shell.
    const bool bOle = SUCCEEDED(OleInitialize(nullptr));
    {
        CVelmoraEUT_KRT_P940Dlg dlg;
        dlg.DoModal();
    }
    if (bOle) {
        OleUninitialize();
    }
    return false;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    theApp.InitInstance();
    return 0;
}
