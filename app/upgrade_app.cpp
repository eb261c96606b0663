#include "app/upgrade_app.h"

#include <windows.h>

#include <ole2.h>

#include "app/resource_ids.h"
#include "app/single_instance.h"
#include "app/upgrade_dialog.h"
#include "framework/common_controls.h"
#include "framework/private_fonts.h"
#include "framework/rich_edit.h"
#include "i18n/translations.h"
#include "platform/clock.h"

CVelmoraEUT_KRT_P940App theApp;

bool CVelmoraEUT_KRT_P940App::InitInstance()
{
    CSingleInstance instance;
    if (!instance.Claim()) {
        ActivateWindowByTitle(WizardTitle().c_str());
        return false;
    }
    // Test runs against the simulated device run every pause, time-out and the port timer faster;
    // a value that is no scale is ignored.
    Platform::SetTimeScaleFromEnvironment();
    // The first of the user's preferred UI languages that the wizard speaks, else English.
    SetLanguage(UserLanguage());
    RegisterControlClasses();
    CPrivateFonts fonts;
    fonts.Load(GetResourceInstance());
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
