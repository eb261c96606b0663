#pragma once
// What the machine around the wizard holds: the device's port in the serial-port map (plugging and
// unplugging it as its USB driver would), the driver package's traces, and files in a folder.
#include <string>
#include <vector>

namespace HostState {

constexpr const char* SERIAL_MAP_KEY = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const char* DEVICE_PORT_NAME = "\\Device\\qzcdserd0";
constexpr const char* DRIVER_KEY =
    "SOFTWARE\\VELMORA\\USB_DRIVER\\{5A3C9E17-42B8-4f6d-9C21-7B04E6A1D3F8}\\03_Kestrelwing";
constexpr const char* DRIVER_FOLDER = "C:\\Program Files\\VELMORA\\USB Drivers\\03_Kestrelwing";
constexpr const char* DRIVER_FILE = "C:\\Program Files\\VELMORA\\USB Drivers\\03_Kestrelwing\\qzcdbus.sys";

bool PlugDevice(int nPort);
bool UnplugDevice();

// The traces the installed driver package leaves: the "Version" value (in the 32-bit registry view, where
// the 32-bit package writes it and where both builds of the wizard read it) and the driver file.
bool DriverVersion(std::string* pstrVersion);
bool DriverFilePresent();
// Leaves both traces, as an earlier installation would have.
bool MarkDriverInstalled();

// Makes opening an installer package with the shell run a command that installs nothing.
bool BreakInstallerAssociation();

// On a bare X display (no window manager) Wine draws the title bars of the programs started after this
// itself, so that screenshots show them; Windows has no such setting and ignores it.
void LetWineDrawWindowFrames();

// The display scale programs started after this lay themselves out for (Wine reads the user's LogPixels
// when a program starts), in dots per inch: 96 is 100 %.
bool SetDisplayDpi(int nDpi);

// Files (not folders) under a folder, with their paths relative to it.
std::vector<std::string> FilesUnder(const std::string& strFolder);
bool CreateFolder(const std::string& strFolder);
void RemoveFolder(const std::string& strFolder);

}  // namespace HostState
