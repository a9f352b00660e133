#include "platform/CComPort.h"

#include "support/PtyUnit.h"

#include <array>
#include <chrono>
#include <gtest/gtest.h>

namespace kv {
namespace {

using Clock = std::chrono::steady_clock;
using test::PtyUnit;
using test::UnitFaults;

const std::array<std::uint8_t, 1> kHandshakeRequest{0x80};

TEST(CComPort, OpensOnePortByNameAndNothingThatIsNoPort) {
    PtyUnit unit;
    ASSERT_FALSE(unit.DeviceName().empty());
    CComPort port;
    EXPECT_FALSE(port.Open(0));
    EXPECT_FALSE(port.Open(100000));
#ifndef Q_OS_WIN
    EXPECT_EQ(port.WhyNotOpen().rfind("COM100000 stands for no serial port", 0), 0u)
        << port.WhyNotOpen();
#endif
    EXPECT_FALSE(port.OpenByName("/nonexistent/ttyKV0"));
    EXPECT_EQ(port.WhyNotOpen(), "/nonexistent/ttyKV0: there is no such device. Plug in the "
                                 "adapter, or choose another port.");
    EXPECT_FALSE(port.OpenByName(""));
    EXPECT_FALSE(port.WhyNotOpen().empty());
    EXPECT_FALSE(port.IsOpen());

    ASSERT_TRUE(port.OpenByName(unit.DeviceName()));
    EXPECT_EQ(port.WhyNotOpen(), "");
    port.Configure(38400, Parity::None, 8, StopBits::One);
    EXPECT_FALSE(port.OpenByName(unit.DeviceName()));
    EXPECT_TRUE(port.Purge());

    // Another program (here another port object) holding the device.
    CComPort other;
    EXPECT_FALSE(other.OpenByName(unit.DeviceName()));
    EXPECT_EQ(other.WhyNotOpen().rfind(unit.DeviceName() + ": ", 0), 0u) << other.WhyNotOpen();
    EXPECT_NE(other.WhyNotOpen().find("Close any other program that uses the port."),
              std::string::npos)
        << other.WhyNotOpen();

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    std::array<std::uint8_t, 4> reply{};
    EXPECT_EQ(port.Write(kHandshakeRequest), 0u);
    EXPECT_EQ(port.Read(reply, 10), 0u);
    EXPECT_FALSE(port.Purge());
}

std::size_t ReadHandshakeReply(PtyUnit& unit, int timeoutMs, Clock::duration& took) {
    CComPort port;
    if (!port.OpenByName(unit.DeviceName())) {
        return 0;
    }
    port.Configure(38400, Parity::None, 8, StopBits::One);
    EXPECT_EQ(port.Write(kHandshakeRequest), 1u);
    std::array<std::uint8_t, 4> reply{};
    const auto start = Clock::now();
    const std::size_t received = port.Read(reply, timeoutMs);
    took = Clock::now() - start;
    return received;
}

TEST(CComPort, ReadCollectsABurstAndStopsAtItsTimeOut) {
    Clock::duration took{};
    PtyUnit burst(UnitFaults{.splitReplyGapMs = 10});
    EXPECT_EQ(ReadHandshakeReply(burst, 200, took), 4u);
    EXPECT_LT(took, std::chrono::milliseconds(200));

    PtyUnit late(UnitFaults{.splitReplyGapMs = 400});
    EXPECT_EQ(ReadHandshakeReply(late, 100, took), 2u);
    EXPECT_GE(took, std::chrono::milliseconds(100));
    EXPECT_LT(took, std::chrono::milliseconds(400));

    PtyUnit silent(UnitFaults{.silent = true});
    EXPECT_EQ(ReadHandshakeReply(silent, 100, took), 0u);
    EXPECT_GE(took, std::chrono::milliseconds(100));
}

TEST(CComPort, DeviceThatDisappearsClosesThePort) {
    PtyUnit unit(UnitFaults{.packet = 0, .vanishAtPacket = true});
    CComPort port;
    ASSERT_TRUE(port.OpenByName(unit.DeviceName()));
    const std::array<std::uint8_t, 4> packet{0x83, 0x00, 0x00, 0x00};
    EXPECT_EQ(port.Write(packet), packet.size());

    std::array<std::uint8_t, 2> reply{};
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(reply, 5000), 0u);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_FALSE(port.IsOpen());
}

} // namespace
} // namespace kv
