// Finding the device's port in a serial-port map.
#include <gtest/gtest.h>

#include "serial/port_discovery.h"

namespace {
using Ports = std::vector<Platform::SerialPortEntry>;
}

TEST(PortDiscovery, DiagnosticPortWinsWhateverTheOrder)
{
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdmdm0", "COM3"}, {"\\Device\\qzcdserd0", "COM7"}}), 7);
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "COM7"}, {"\\Device\\qzcdmdm0", "COM3"}}), 7);
    // The first match in the map's order wins within a pass.
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd1", "COM9"}, {"\\Device\\qzcdserd0", "COM7"}}), 9);
}

TEST(PortDiscovery, ModemPortAndNumbers)
{
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\Serial0", "COM1"}, {"\\Device\\qzcdmdm0", "COM3"}}), 3);
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "COM12"}}), 12);
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "COM255"}}), 255);
}

TEST(PortDiscovery, NoMatch)
{
    EXPECT_EQ(FindDevicePortIn(Ports{}), 0);
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\Serial0", "COM1"}, {"\\Device\\ProlificSerial0", "COM4"}}), 0);
    // The driver names match case-sensitively.
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\QZCDSERD0", "COM5"}, {"\\Device\\QzcdMdm0", "COM6"}}), 0);
    // Data that is not "COM" and digits gives no port; nothing is read past a short value.
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "COM"}}), 0);
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "CO"}}), 0);
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "COMX1"}}), 0);
}

TEST(PortDiscovery, PortsBeyondEightBitsAreNotTaken)
{
    // COM260 would reach the port opener as COM4; it is skipped, and a later usable port still counts.
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "COM260"}}), 0);
    EXPECT_EQ(FindDevicePortIn(Ports{{"\\Device\\qzcdserd0", "COM260"}, {"\\Device\\qzcdmdm0", "COM8"}}), 8);
}

#if !defined(_WIN32)
TEST(PortDiscovery, RegisteredPortsAreInTheSystemMap)
{
    const int nPort = Platform::RegisterSerialPort("\\Device\\qzcdmdm3", "/dev/null-not-a-tty");
    ASSERT_GE(nPort, 64);
    EXPECT_EQ(FindDevicePort(), nPort);
    const int nDiag = Platform::RegisterSerialPort("\\Device\\qzcdserd3", "/dev/null-not-a-tty");
    EXPECT_EQ(FindDevicePort(), nDiag);
    Platform::UnregisterSerialPort(nDiag);
    Platform::UnregisterSerialPort(nPort);
    EXPECT_EQ(FindDevicePort(), 0);
}
#endif
