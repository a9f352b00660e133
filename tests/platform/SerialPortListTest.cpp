#include "platform/SerialPortList.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace kv {
namespace {

QStringList Texts(const std::vector<PortEntry>& entries) {
    QStringList texts;
    for (const PortEntry& entry : entries) {
        texts.push_back(entry.text);
    }
    return texts;
}

// A PC lists /dev/ttyS0 to /dev/ttyS31 before any adapter; the unit hangs
// on the adapter.
TEST(SerialPortList, AdaptersComeFirstByDescriptionThenThePortsInNumberOrder) {
    std::vector<PortDescription> ports;
    for (int n = 31; n >= 0; --n) {
        ports.push_back({QStringLiteral("/dev/ttyS%1").arg(n), QString(), false});
    }
    ports.push_back({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"), true});
    ports.push_back({QStringLiteral("/dev/ttyACM0"), QString(), true});
    ports.push_back({QStringLiteral("/dev/ttyAMA0"), QStringLiteral("PL011 UART"), false});

    const std::vector<PortEntry> entries = OrderedPortEntries(ports);
    ASSERT_EQ(entries.size(), 35u);
    EXPECT_EQ(Texts(entries).mid(0, 6),
              (QStringList{"USB serial adapter (/dev/ttyACM0)", "FT232R USB UART (/dev/ttyUSB0)",
                           "PL011 UART (/dev/ttyAMA0)", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2"}));
    EXPECT_EQ(entries[1].device, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(entries[12].text, QStringLiteral("/dev/ttyS9"));
    EXPECT_EQ(entries[13].text, QStringLiteral("/dev/ttyS10"));
    EXPECT_EQ(entries.back().device, QStringLiteral("/dev/ttyS31"));
}

TEST(SerialPortList, WindowsNamesKeepTheirNumberOrder) {
    const std::vector<PortEntry> entries =
        OrderedPortEntries({{QStringLiteral("COM10"), QString(), false},
                            {QStringLiteral("COM2"), QStringLiteral("Communications Port"), false},
                            {QStringLiteral("COM7"), QStringLiteral("USB Serial Port"), true}});
    EXPECT_EQ(Texts(entries),
              (QStringList{"USB Serial Port (COM7)", "Communications Port (COM2)", "COM10"}));
    EXPECT_TRUE(OrderedPortEntries({}).empty());
}

} // namespace
} // namespace kv
