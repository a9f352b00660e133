#include "platform/CComPort.h"
#include "support/ProgrammingTiming.h"
#include "support/PtyUnit.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace kv {
namespace {

using Clock = std::chrono::steady_clock;
using test::PtyUnit;
using test::UnitFaults;

// Scheduling and the transfer itself (20 packets of 132 bytes through a
// pseudo-terminal) on top of the protocol's own waits.
constexpr std::chrono::milliseconds kSlack{500};

std::vector<std::uint8_t> TestImage() {
    std::mt19937 random(2368);
    std::vector<std::uint8_t> image(2368);
    std::generate(image.begin(), image.end(), [&] { return static_cast<std::uint8_t>(random()); });
    return image;
}

struct Outcome {
    ProgramResult result;
    Clock::duration took{};
    bool portOpenAfter = false;
    test::Hmq27Firmware unit;
};

Outcome Program(const UnitFaults& faults, const MC24LC64Timing& timing = test::kShortTiming) {
    PtyUnit device(faults);
    CComPort port;
    CMC24LC64 programmer(port, timing);
    Outcome run;
    if (!programmer.OpenByName(device.DeviceName())) {
        ADD_FAILURE() << "cannot open " << device.DeviceName();
        return run;
    }
    const auto start = Clock::now();
    run.result = programmer.Program(TestImage(), nullptr);
    run.took = Clock::now() - start;
    run.portOpenAfter = port.IsOpen();
    run.unit = device.Firmware();
    return run;
}

bool HoldsImageAndNothingElse(const test::Hmq27Firmware& unit) {
    const auto image = TestImage();
    const auto fill = unit.eeprom.begin() + 2368;
    return std::equal(image.begin(), image.end(), unit.eeprom.begin()) &&
           std::all_of(fill, fill + 64, [](std::uint8_t byte) { return byte == 0xFF; }) &&
           std::all_of(unit.written.begin(), unit.written.begin() + 2432, std::identity{}) &&
           std::none_of(unit.written.begin() + 2432, unit.written.end(), std::identity{});
}

// The last command byte the unit received; -1 when it received none (the
// pseudo-terminal could not be opened, say).
int LastCommand(const test::Hmq27Firmware& unit) {
    return unit.commands.empty() ? -1 : unit.commands.back();
}

bool GuardBlockBlank(const test::Hmq27Firmware& unit) {
    const auto guard = unit.eeprom.begin() + 2304;
    return std::all_of(guard, guard + 128, [](std::uint8_t byte) { return byte == 0xFF; });
}

std::vector<int> WithoutResends(std::vector<int> blocks) {
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    return blocks;
}

TEST(ProgrammingOverPty, UnitThatStumblesStillGetsTheWholeImage) {
    const std::vector<int> order{18, 0,  1,  2,  3,  4,  5,  6,  7,  8,
                                 9,  10, 11, 12, 13, 14, 15, 16, 17, 18};
    const struct {
        const char* name;
        UnitFaults faults;
        std::size_t packets;
    } cases[] = {
        {"clean line", {}, 20},
        {"reply in a burst", {.splitReplyGapMs = 3}, 20},
        {"three acknowledgements lost", {.packet = 7, .lostAcks = 3}, 23},
        {"half an acknowledgement", {.packet = 3, .oneByteAck = true}, 21},
        {"damaged in transit", {.packet = 10, .corruptedPackets = 2}, 22},
    };
    for (const auto& c : cases) {
        const Outcome run = Program(c.faults);
        EXPECT_TRUE(run.result.Succeeded()) << c.name;
        EXPECT_TRUE(HoldsImageAndNothingElse(run.unit)) << c.name;
        EXPECT_EQ(run.unit.blockNumbers.size(), c.packets) << c.name;
        EXPECT_EQ(WithoutResends(run.unit.blockNumbers), order) << c.name;
        EXPECT_EQ(LastCommand(run.unit), 0x82) << c.name;
    }
}

TEST(ProgrammingOverPty, RefusedBlockIsSentAgainWhateverArrivedAheadOfTheRefusal) {
    const struct {
        const char* name;
        UnitFaults faults;
    } cases[] = {
        {"duplicated acknowledgement", {.packet = 18, .duplicatedAck = true, .refusedPacket = 19}},
        {"stray acknowledgement",
         {.packet = 6, .strayBytes = {0x8F, 0x01}, .strayDelayMs = 30, .refusedPacket = 7}},
    };
    for (const auto& c : cases) {
        const Outcome run = Program(c.faults);
        EXPECT_TRUE(run.result.Succeeded()) << c.name;
        EXPECT_TRUE(HoldsImageAndNothingElse(run.unit)) << c.name;
        EXPECT_EQ(LastCommand(run.unit), 0x82) << c.name;
    }
}

TEST(ProgrammingOverPty, NoUnitIsReportedWithinSixHandshakes) {
    const struct {
        const char* name;
        UnitFaults faults;
    } cases[] = {
        {"no answer", {.silent = true}},
        {"wrong reply", {.wrongHandshake = true}},
        {"reply split past the time-out", {.splitReplyGapMs = 60}},
    };
    for (const auto& c : cases) {
        const Outcome run = Program(c.faults);
        EXPECT_EQ(run.result.outcome, ProgramOutcome::NoUnit) << c.name;
        EXPECT_LE(run.took, test::NoUnitBound(test::kShortTiming) + kSlack) << c.name;
        EXPECT_EQ(run.unit.commands, std::vector<std::uint8_t>(6, 0x80)) << c.name;
    }
}

TEST(ProgrammingOverPty, BrokenTransferIsEndedAndLeavesTheUnitUnbootable) {
    const struct {
        const char* name;
        UnitFaults faults;
        std::size_t packets;
    } cases[] = {
        {"four acknowledgements lost", {.packet = 7, .lostAcks = 4}, 11},
        {"cable pulled", {.packet = 12, .silentFromPacket = true}, 16},
    };
    for (const auto& c : cases) {
        const Outcome run = Program(c.faults);
        EXPECT_EQ(run.result.outcome, ProgramOutcome::BlockNotAcknowledged) << c.name;
        EXPECT_EQ(run.result.blocksAcknowledged, c.faults.packet) << c.name;
        EXPECT_LE(run.took, test::BlockFailureBound(test::kShortTiming) + kSlack) << c.name;
        EXPECT_EQ(run.unit.blockNumbers.size(), c.packets) << c.name;
        EXPECT_EQ(LastCommand(run.unit), 0x82) << c.name;
        EXPECT_TRUE(GuardBlockBlank(run.unit)) << c.name;
    }
}

TEST(ProgrammingOverPty, DeviceThatDisappearsEndsTheTransferAtOnce) {
    const Outcome run = Program(UnitFaults{.packet = 5, .vanishAtPacket = true});
    EXPECT_EQ(run.result.outcome, ProgramOutcome::PortFailed);
    EXPECT_EQ(run.result.blocksAcknowledged, 5);
    EXPECT_FALSE(run.portOpenAfter);
    EXPECT_LT(run.took, test::AckBound(test::kShortTiming));
    EXPECT_TRUE(GuardBlockBlank(run.unit));
}

TEST(ProgrammingOverPty, NoUnitAtTheUnitsOwnTimingsTakesSixHandshakes) {
    const MC24LC64Timing real;
    const Outcome run = Program(UnitFaults{.silent = true}, real);
    EXPECT_EQ(run.result.outcome, ProgramOutcome::NoUnit);
    // Every read waits out its time-out; 6 x (50 + 100 + 8 x (50 + 100)) ms.
    EXPECT_EQ(test::NoUnitBound(real), std::chrono::milliseconds(8100));
    EXPECT_GE(run.took, test::NoUnitBound(real) - kSlack);
    EXPECT_LE(run.took, test::NoUnitBound(real) + kSlack);
}

} // namespace
} // namespace kv
