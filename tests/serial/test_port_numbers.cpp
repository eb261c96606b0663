// Port numbers on Linux: a tty keeps its number while ttys come and go, and no number is handed out
// that the port object could not open.
#include <gtest/gtest.h>

#include "platform/posix/tty_numbers.h"
#include "platform/serial_port_map.h"

using Platform::CTtyNumbers;
using Platform::NumberedTty;
using Platform::SystemTty;

namespace {

std::vector<std::pair<int, std::string>> Numbers(const std::vector<NumberedTty>& ttys)
{
    std::vector<std::pair<int, std::string>> numbers;
    for (const NumberedTty& entry : ttys) {
        numbers.emplace_back(entry.nPort, entry.tty.strName);
    }
    return numbers;
}

}  // namespace

TEST(TtyNumbers, ATtyKeepsItsNumberWhileOthersComeAndGo)
{
    CTtyNumbers numbers(63);
    using List = std::vector<std::pair<int, std::string>>;
    // The first search numbers in name order, as before.
    EXPECT_EQ(Numbers(numbers.Update({{"ttyUSB0", "qzcdserd"}, {"ttyS0", "serial8250"}})),
              (List{{1, "ttyS0"}, {2, "ttyUSB0"}}));
    // A tty that sorts first arrives: the device stays COM2 and the newcomer gets the next number.
    EXPECT_EQ(Numbers(numbers.Update({{"ttyACM0", "cdc_acm"}, {"ttyS0", "serial8250"}, {"ttyUSB0", "qzcdserd"}})),
              (List{{1, "ttyS0"}, {2, "ttyUSB0"}, {3, "ttyACM0"}}));
    EXPECT_EQ(numbers.NameOf(2), "ttyUSB0");
    // ttyS0 goes: COM1 now names nothing, rather than the tty that moved up to the first position.
    EXPECT_EQ(Numbers(numbers.Update({{"ttyACM0", "cdc_acm"}, {"ttyUSB0", "qzcdserd"}})),
              (List{{2, "ttyUSB0"}, {3, "ttyACM0"}}));
    EXPECT_EQ(numbers.NameOf(1), "");
    EXPECT_EQ(numbers.NameOf(2), "ttyUSB0");
    // The device is unplugged and comes back: its number is still its own.
    numbers.Update({{"ttyACM0", "cdc_acm"}});
    EXPECT_EQ(numbers.NameOf(2), "");
    EXPECT_EQ(Numbers(numbers.Update({{"ttyUSB0", "qzcdserd"}, {"ttyS0", "serial8250"}})),
              (List{{1, "ttyS0"}, {2, "ttyUSB0"}}));
}

TEST(TtyNumbers, NumbersEndBelowTheRegisteredPorts)
{
    CTtyNumbers numbers(2);
    numbers.Update({{"ttyS0", "a"}, {"ttyS1", "a"}});
    // A third tty gets no number at all instead of one that belongs to a registered port.
    EXPECT_EQ(Numbers(numbers.Update({{"ttyS0", "a"}, {"ttyS1", "a"}, {"ttyS2", "a"}})).size(), 2u);
    EXPECT_EQ(numbers.NameOf(3), "");
}

TEST(RegisteredPorts, NoNumberAboveTheLastOpenablePort)
{
    std::vector<int> ports;
    for (int i = 0; i < 100; ++i) {
        const int nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", "/dev/null");
        if (nPort == 0) {
            break;
        }
        ports.push_back(nPort);
    }
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports.front(), 64);
    EXPECT_EQ(ports.back(), 128);
    for (int nPort : ports) {
        Platform::UnregisterSerialPort(nPort);
    }
}
