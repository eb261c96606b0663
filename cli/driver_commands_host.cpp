#include <cstdio>
#include <string>

#include "cli/driver_commands.h"
#include "cli/exit_codes.h"
#include "host/host_os.h"
#include "host/usb_driver.h"

int RunDriverCommand(bool bInstall)
{
    const int32_t nHostOs = IdentifyHostOs();
    const char* pszTest = IsHostOs64(nHostOs) ? "file test" : "registry test";
    if (!bInstall) {
        const bool bPresent = CheckUsbDriverPresent(nHostOs);
        std::printf("USB driver %s (host OS code %d, %s)\n", bPresent ? "present" : "not found",
                    static_cast<int>(nHostOs), pszTest);
        return bPresent ? EXIT_FLASH_OK : EXIT_FLASH_DRIVER;
    }
    const UsbDriverOutcome nOutcome = RunUsbDriverCheck(nHostOs, nullptr);
    switch (nOutcome) {
    case USB_DRIVER_PRESENT:
        std::printf("USB driver already present (host OS code %d, %s)\n", static_cast<int>(nHostOs), pszTest);
        return EXIT_FLASH_OK;
    case USB_DRIVER_INSTALLED:
        std::printf("USB driver installed (host OS code %d, %s)\n", static_cast<int>(nHostOs), pszTest);
        return EXIT_FLASH_OK;
    default:
        return EXIT_FLASH_DRIVER;
    }
}
