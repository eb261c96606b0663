#include "host/usb_driver.h"

#include "platform/message_box.h"

UsbDriverOutcome RunUsbDriverCheck(int32_t nHostOsCode, const std::function<void(bool bBusy)>& fnSetBusy)
{
    if (CheckUsbDriverPresent(nHostOsCode))
        return USB_DRIVER_PRESENT;

    if (fnSetBusy)
        fnSetBusy(true);
    bool bInstalled = InstallUsbDriver() && CheckUsbDriverPresent(nHostOsCode);
    if (!bInstalled)
        Platform::ShowMessageBox(USB_INSTALL_FAIL_TEXT, "", Platform::MESSAGE_ICON_WARNING);
    if (fnSetBusy)
        fnSetBusy(false);
    return bInstalled ? USB_DRIVER_INSTALLED : USB_DRIVER_FAILED;
}
