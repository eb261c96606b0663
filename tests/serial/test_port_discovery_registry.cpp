// Discovery against the real registry under Wine: values written with `reg add` as a driver would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "serial/port_discovery.h"

namespace {

const char* KEY = "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";

void RegAdd(const std::string& strName, const std::string& strData)
{
    const std::string strCommand =
        std::string("reg add ") + KEY + " /v \"" + strName + "\" /t REG_SZ /d " + strData + " /f >nul 2>&1";
    ASSERT_EQ(std::system(strCommand.c_str()), 0) << strCommand;
}

void RegDelete(const std::string& strName)
{
    const std::string strCommand = std::string("reg delete ") + KEY + " /v \"" + strName + "\" /f >nul 2>&1";
    std::system(strCommand.c_str());
}

}  // namespace

TEST(PortDiscoveryRegistry, FindsTheDevicePortsInTheSerialPortMap)
{
    const int nBefore = FindDevicePort();
    EXPECT_EQ(nBefore, 0);  // a fresh prefix has no device
    RegAdd("\\Device\\qzcdmdm0", "COM3");
    EXPECT_EQ(FindDevicePort(), 3);
    RegAdd("\\Device\\qzcdserd0", "COM12");
    EXPECT_EQ(FindDevicePort(), 12);
    RegDelete("\\Device\\qzcdserd0");
    RegAdd("\\Device\\QZCDSERD1", "COM5");  // upper case: not the driver's name
    EXPECT_EQ(FindDevicePort(), 3);

    // A port named on the command line wins over the registry's.
    RegAdd("\\Device\\qzcdserd0", "COM12");
    const int nNamed = Platform::RegisterSerialPort("\\Device\\qzcdserd (--port)", "COM9");
    EXPECT_EQ(nNamed, 9);
    EXPECT_EQ(FindDevicePort(), 9);
    Platform::UnregisterSerialPort(nNamed);
    EXPECT_EQ(FindDevicePort(), 12);
    EXPECT_EQ(Platform::RegisterSerialPort("\\Device\\qzcdserd (--port)", "/dev/ttyS0"), 0);

    RegDelete("\\Device\\qzcdserd0");
    RegDelete("\\Device\\qzcdmdm0");
    RegDelete("\\Device\\QZCDSERD1");
    EXPECT_EQ(FindDevicePort(), 0);
}
