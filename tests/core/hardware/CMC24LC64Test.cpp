#include "hardware/CMC24LC64.h"

#include "FirmwarePort.h"
#include "support/ProgrammingTiming.h"
#include "ui/IProgressBar.h"

#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace kv {

struct CMC24LC64Probe {
    static bool WaitAck(CMC24LC64& unit) { return unit.WaitAck(); }
};

namespace {

using test::UnitFaults;

class RecordingProgressBar : public IProgressBar {
public:
    void SetRange(int newLower, int newUpper) override {
        lower = newLower;
        upper = newUpper;
    }
    void SetPosition(int newPosition) override { position = newPosition; }
    void Step() override { position = std::min(position + 1, upper); }

    int lower = -1;
    int upper = -1;
    int position = -1;
};

std::vector<std::uint8_t> RandomImage(std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::vector<std::uint8_t> image(size);
    for (auto& byte : image) {
        byte = static_cast<std::uint8_t>(random());
    }
    return image;
}

std::vector<int> BlockOrder(int guard, int blocks) {
    std::vector<int> order(static_cast<std::size_t>(blocks) + 1);
    std::iota(order.begin() + 1, order.end(), 0);
    order[0] = guard;
    return order;
}

// The byte ranges the unit ever wrote, as [begin, end) pairs.
std::vector<std::pair<std::size_t, std::size_t>> WrittenRanges(const std::vector<bool>& written) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] && (i == 0 || !written[i - 1])) {
            ranges.push_back({i, i});
        }
        if (written[i]) {
            ranges.back().second = i + 1;
        }
    }
    return ranges;
}

struct Session {
    explicit Session(const UnitFaults& faults = {}) : port(faults), unit(port, test::kShortTiming) {
        unit.OpenByName("sim");
    }
    ProgramResult Program(const std::vector<std::uint8_t>& image) {
        return unit.Program(image, &progress);
    }

    test::FirmwarePort port;
    RecordingProgressBar progress;
    CMC24LC64 unit;
};

TEST(CMC24LC64, CheckByteIsTheSecondOfTwoRunningSumsModulo255) {
    EXPECT_EQ(CMC24LC64::BlockChecksum(std::vector<std::uint8_t>{0x01, 0x02, 0x03}), 0x0A);
    EXPECT_EQ(CMC24LC64::BlockChecksum({}), 0);
    // 0xFF wraps the first sum to 0; without the modulo the result would be 0x01 + 0xFF.
    EXPECT_EQ(CMC24LC64::BlockChecksum(std::vector<std::uint8_t>{0xFF, 0x01}), 0x01);
    EXPECT_EQ(CMC24LC64::BlockChecksum(std::vector<std::uint8_t>(128, 0xFF)), 0x00);
}

TEST(CMC24LC64, ImageGoesOutGuardBlockFirstThenInOrderAndEndsWithEndOfTransfer) {
    Session session;
    const auto image = RandomImage(2368);
    const ProgramResult result = session.Program(image);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(result.blocksAcknowledged, 20);
    EXPECT_EQ(result.blocks, 20);

    const auto& unit = session.port.firmware;
    std::vector<std::uint8_t> expectedCommands{0x80, 0x81};
    expectedCommands.insert(expectedCommands.end(), 20, 0x83);
    expectedCommands.push_back(0x82);
    EXPECT_EQ(unit.commands, expectedCommands);
    EXPECT_EQ(unit.blockNumbers, BlockOrder(18, 19));

    // The first packet on the wire: block 0x12, length 128, blank data.
    const std::vector<std::uint8_t> header(session.port.sent.begin() + 2,
                                           session.port.sent.begin() + 5);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0x83, 0x12, 0x80}));

    EXPECT_TRUE(std::equal(image.begin(), image.end(), unit.eeprom.begin()));
    EXPECT_TRUE(std::all_of(unit.eeprom.begin() + 2368, unit.eeprom.begin() + 2432,
                            [](std::uint8_t byte) { return byte == 0xFF; }));
    using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(WrittenRanges(unit.written), (Ranges{{0, 2432}}));

    EXPECT_EQ(session.progress.lower, 0);
    EXPECT_EQ(session.progress.upper, 20);
    EXPECT_EQ(session.progress.position, 20);
    EXPECT_EQ(session.port.baud, 38400);
}

TEST(CMC24LC64, ImageSizesAtTheEdges) {
    for (const std::size_t refused : {std::size_t{0}, std::size_t{8193}}) {
        test::FirmwarePort port;
        CMC24LC64 unit(port, test::kShortTiming);
        EXPECT_EQ(unit.Program(RandomImage(refused), nullptr).outcome, ProgramOutcome::ImageRefused)
            << refused;
        EXPECT_FALSE(port.Touched()) << refused;
    }

    Session full;
    const auto whole = RandomImage(8192);
    ASSERT_TRUE(full.Program(whole).Succeeded());
    EXPECT_EQ(full.port.firmware.blockNumbers, BlockOrder(18, 64));
    EXPECT_EQ(full.port.firmware.eeprom, whole);

    // A whole number of blocks needs no fill; the guard block stays blank.
    Session even;
    const auto twoBlocks = RandomImage(256);
    ASSERT_TRUE(even.Program(twoBlocks).Succeeded());
    const auto& unit = even.port.firmware;
    EXPECT_EQ(unit.blockNumbers, BlockOrder(18, 2));
    EXPECT_TRUE(std::equal(twoBlocks.begin(), twoBlocks.end(), unit.eeprom.begin()));
    using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(WrittenRanges(unit.written), (Ranges{{0, 256}, {2304, 2432}}));
    EXPECT_EQ(std::count(unit.eeprom.begin(), unit.eeprom.end(), 0xFF),
              8192 - 256 + std::count(twoBlocks.begin(), twoBlocks.end(), 0xFF));
}

TEST(CMC24LC64, WrongHandshakeReplyMeansNoUnitAfterSixAttempts) {
    Session session(UnitFaults{.wrongHandshake = true});
    const ProgramResult result = session.Program(RandomImage(2368));
    EXPECT_EQ(result.outcome, ProgramOutcome::NoUnit);
    EXPECT_EQ(result.blocksAcknowledged, 0);
    EXPECT_EQ(session.port.firmware.commands, std::vector<std::uint8_t>(6, 0x80));
    // A reply of the right length ends the attempt; it is not read again.
    EXPECT_EQ(session.port.reads, 6);
}

TEST(CMC24LC64, AcknowledgementMustBeBothBytesInOneRead) {
    Session session;
    const std::vector<std::uint8_t> half{0x8F};
    session.port.Arrive(half);
    const int readsBefore = session.port.reads;
    EXPECT_FALSE(CMC24LC64Probe::WaitAck(session.unit));
    EXPECT_EQ(session.port.reads - readsBefore, 1);

    const std::vector<std::uint8_t> ack{0x8F, 0x01};
    session.port.Arrive(ack);
    EXPECT_TRUE(CMC24LC64Probe::WaitAck(session.unit));
    const std::vector<std::uint8_t> wrong{0x8F, 0x00};
    session.port.Arrive(wrong);
    EXPECT_FALSE(CMC24LC64Probe::WaitAck(session.unit));
}

TEST(CMC24LC64, MissingAcknowledgementGivesUpAtTheDeadline) {
    Session session;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CMC24LC64Probe::WaitAck(session.unit));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(test::kShortTiming.ackDeadlineMs));
    EXPECT_LT(session.port.reads, 1001);
}

TEST(CMC24LC64, PacketIsResentAfterPurgingUpToThreeTimes) {
    // Packet 5 is block 4: the guard block and blocks 0 to 3 came first.
    Session recovers(UnitFaults{.packet = 5, .lostAcks = 3});
    const auto image = RandomImage(2368);
    ASSERT_TRUE(recovers.Program(image).Succeeded());
    EXPECT_EQ(std::count(recovers.port.firmware.blockNumbers.begin(),
                         recovers.port.firmware.blockNumbers.end(), 4),
              4);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), recovers.port.firmware.eeprom.begin()));

    Session fails(UnitFaults{.packet = 5, .lostAcks = 4});
    const ProgramResult result = fails.Program(image);
    EXPECT_EQ(result.outcome, ProgramOutcome::BlockNotAcknowledged);
    EXPECT_EQ(result.blocksAcknowledged, 5);
    EXPECT_EQ(result.blocks, 20);
    const auto& unit = fails.port.firmware;
    EXPECT_EQ(unit.blockNumbers, (std::vector<int>{18, 0, 1, 2, 3, 4, 4, 4, 4}));
    EXPECT_EQ(unit.commands.back(), 0x82);
    EXPECT_TRUE(std::all_of(unit.eeprom.begin() + 2304, unit.eeprom.begin() + 2432,
                            [](std::uint8_t byte) { return byte == 0xFF; }));
    EXPECT_EQ(fails.progress.position, 5);
}

TEST(CMC24LC64, StrayByteCostsOneResendNotTheTransfer) {
    // Left in the input, the byte would shift every acknowledgement after it.
    Session session(UnitFaults{.packet = 2, .strayBytes = {0x55}});
    ASSERT_TRUE(session.Program(RandomImage(2368)).Succeeded());
    EXPECT_EQ(session.port.firmware.blockNumbers.size(), 21u);
}

TEST(CMC24LC64, AnswerThatCouldBelongToAnotherPacketIsNotTakenForAnAcknowledgement) {
    const struct {
        const char* name;
        UnitFaults faults;
    } cases[] = {
        // Packet 19 is block 18, the last of the image: it would stay blank.
        {"duplicated acknowledgement, then a refusal",
         {.packet = 18, .duplicatedAck = true, .refusedPacket = 19}},
        {"stray acknowledgement ahead of a refusal",
         {.packet = 6, .strayBytes = {0x8F, 0x01}, .strayDelayMs = 30, .refusedPacket = 7}},
        {"noise ahead of an acknowledgement",
         {.packet = 6, .strayBytes = {0x55}, .strayDelayMs = 30}},
    };
    const auto image = RandomImage(2368);
    for (const auto& c : cases) {
        Session session(c.faults);
        EXPECT_TRUE(session.Program(image).Succeeded()) << c.name;
        const auto& unit = session.port.firmware;
        EXPECT_TRUE(std::equal(image.begin(), image.end(), unit.eeprom.begin())) << c.name;
        using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;
        EXPECT_EQ(WrittenRanges(unit.written), (Ranges{{0, 2432}})) << c.name;
        EXPECT_EQ(unit.commands.back(), 0x82) << c.name;
    }
}

TEST(CMC24LC64, PacketThatGoesOutOnlyInPartIsAFailedWrite) {
    Session session;
    session.port.writeLimit = 100;
    EXPECT_EQ(session.Program(RandomImage(2368)).outcome, ProgramOutcome::PortFailed);
    EXPECT_TRUE(session.port.firmware.blockNumbers.empty());
    EXPECT_EQ(session.port.sent.size(), 2u + 100u + 1u) << "no resend of a packet cut short";
}

TEST(CMC24LC64, DamagedPacketIsResentAndStoredIntact) {
    Session session(UnitFaults{.packet = 2, .corruptedPackets = 2});
    const auto image = RandomImage(2368);
    ASSERT_TRUE(session.Program(image).Succeeded());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), session.port.firmware.eeprom.begin()));
    EXPECT_EQ(session.port.firmware.blockNumbers.size(), 22u);
}

} // namespace
} // namespace kv
