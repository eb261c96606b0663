#pragma once
// The device's USB driver package: is it installed (at the required version), and installing it from
// the installer package the program carries as resource "FILE" 135.
#include <cstdint>
#include <functional>
#include <string>

constexpr const char* USB_DRIVER_REG_KEY =
    "SOFTWARE\\VELMORA\\USB_DRIVER\\{5A3C9E17-42B8-4f6d-9C21-7B04E6A1D3F8}\\03_Kestrelwing";
constexpr const char* USB_DRIVER_REG_VALUE = "Version";
// A stored version must fit this buffer, its terminating zero included.
constexpr uint32_t USB_DRIVER_VERSION_BUFFER = 10;
constexpr const char* USB_DRIVER_REQUIRED_VERSION = "5.16.0.0";
constexpr const char* USB_DRIVER_FILE_PATTERN = "\\VELMORA\\USB Drivers\\03_Kestrelwing\\qzcdbus.*";
// A 32-bit program on a 64-bit host is given the 32-bit program-files folder, which carries this suffix.
constexpr const char* PROGRAM_FILES_X86_SUFFIX = " (x86)";
constexpr const char* USB_DRIVER_RESOURCE_TYPE = "FILE";
constexpr uint16_t USB_DRIVER_RESOURCE_ID = 135;
constexpr const char* USB_DRIVER_INSTALLER_NAME = "Velmora_Mobile_USB_Driver(V5.16)_V1.2.2200.0.msi";
constexpr uint32_t INSTALLER_FIRST_POLL_MS = 3000;
constexpr uint32_t INSTALLER_POLL_MS = 500;
constexpr const char* USB_INSTALL_FAIL_TEXT = "Error Occured! USB Install Fail!";
// Path buffers of the system hold this many characters, the terminating zero included.
constexpr size_t HOST_MAX_PATH = 260;

// True when the text is a dotted number ("5.16.0.0", "5.16") at least as high as the required version,
// compared component by component; missing components count as 0. Anything else is not current.
bool IsDriverVersionCurrent(const char* pszVersion, size_t nLength);

// True when the registry holds a driver version that is current. A value that does not fit in
// USB_DRIVER_VERSION_BUFFER bytes counts as missing.
bool CheckUsbDriverRegistry();

// The native program-files folder from the one the system gives this process: the " (x86)" suffix is
// dropped when present, any other path is kept as it is.
std::string NativeProgramFilesFolder(const std::string& strFolder);

// True when a file qzcdbus.<anything> is in the driver's folder under the native program-files folder.
bool CheckUsbDriverFile();

// The presence test for the host: the file test on 64-bit Vista and 7, the registry test everywhere else.
bool CheckUsbDriverPresent(int32_t nHostOsCode);

// Writes the whole "FILE" resource to the path, replacing any file there. False when the resource is
// missing or empty, or the file cannot be created or written whole (then no file is left at the path).
bool ExtractResourceToFile(uint16_t nResourceId, const char* pszPath);

// The installer's path in the temporary folder; false when it would not fit in HOST_MAX_PATH.
bool MakeInstallerPath(const std::string& strTempFolder, std::string* pstrPath);

// Writes the installer package to the temporary folder, opens it with the shell, waits for the
// process to end (no time limit) and deletes the file. False only when the package could not be
// written; whether the driver got installed is for a second presence test to say.
bool InstallUsbDriver();

enum UsbDriverOutcome {
    USB_DRIVER_PRESENT = 0,    // the first presence test passed; nothing was done
    USB_DRIVER_INSTALLED = 1,  // installed from the package, and the second test passed
    USB_DRIVER_FAILED = 2,     // the package could not be written, or the driver is still missing
};

// The wizard's driver check on arriving at its notice page. When the driver is missing,
// fnSetBusy(true) comes before the installation (the wizard disables its buttons and repaints)
// and fnSetBusy(false) after it, whatever the outcome. On failure the message box
// "Error Occured! USB Install Fail!" is shown before fnSetBusy(false); the wizard then closes.
UsbDriverOutcome RunUsbDriverCheck(int32_t nHostOsCode, const std::function<void(bool bBusy)>& fnSetBusy);
