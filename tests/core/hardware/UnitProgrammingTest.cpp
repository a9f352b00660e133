#include "hardware/UnitProgramming.h"

#include "FirmwarePort.h"
#include "model/CConfiguration.h"
#include "support/ProgrammingTiming.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using test::MemorySettings;
using test::UnitFaults;
using Texts = std::vector<std::string>;

Texts Shown(const test::RecordingMessageBox& messages) {
    Texts texts;
    for (const auto& message : messages.shown) {
        texts.push_back(message.text);
    }
    return texts;
}

struct Go {
    explicit Go(const UnitFaults& faults = {}, bool opens = true) : port(faults, opens) {
        design.New(2, kDesignSampleRate);
    }
    bool Run(int portNumber) {
        return ProgramUnit(design, portNumber, settings,
                           {port, messages, nullptr, test::kShortTiming});
    }

    CConfiguration design;
    test::FirmwarePort port;
    test::RecordingMessageBox messages;
    MemorySettings settings;
};

TEST(UnitProgramming, ProgramsTheDesignsImageAndRemembersThePort) {
    Go go;
    ASSERT_TRUE(go.Run(3)) << testing::PrintToString(Shown(go.messages));
    CTAS3103 tas;
    const CTAS3103::Image image = tas.BuildImage(go.design);
    ASSERT_EQ(image.size(), CTAS3103::kImageSize);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), go.port.firmware.eeprom.begin()));
    EXPECT_EQ(go.port.openedNumber, 3);
    EXPECT_EQ(go.settings.GetInt("Port", "Port no", 0), 3);
    EXPECT_EQ(go.settings.GetString("Port", "Serial Port", ""), "COM3");
    EXPECT_FALSE(go.port.IsOpen());
    EXPECT_TRUE(go.messages.shown.empty());

    Go byName;
    const UnitLink link{byName.port, byName.messages, nullptr, test::kShortTiming};
    EXPECT_TRUE(ProgramUnit(byName.design, std::string("/dev/ttyUSB0"), link));
    EXPECT_EQ(byName.port.openedName, "/dev/ttyUSB0");
    EXPECT_FALSE(byName.port.IsOpen());
    EXPECT_TRUE(byName.settings.values.empty()) << "a port by name alone is not remembered";
}

// In the dialog the user picks or types a port: a "COMn" still goes through
// the numbering of earlier versions, a device by its name, and either is
// remembered once it opened.
TEST(UnitProgramming, AChosenPortOpensByNumberOrNameAndIsRemembered) {
    Go typed;
    const UnitLink link{typed.port, typed.messages, nullptr, test::kShortTiming};
    ASSERT_TRUE(ProgramUnit(typed.design, std::string("/dev/ttyACM0"), typed.settings, link));
    EXPECT_EQ(typed.port.openedName, "/dev/ttyACM0");
    EXPECT_EQ(typed.port.openedNumber, 0);
    EXPECT_EQ(typed.settings.values["Port/Serial Port"], "/dev/ttyACM0");
    EXPECT_EQ(typed.settings.values["Port/Port no"], "0");

    Go numbered;
    const UnitLink numberedLink{numbered.port, numbered.messages, nullptr, test::kShortTiming};
    ASSERT_TRUE(ProgramUnit(numbered.design, std::string("com5"), numbered.settings, numberedLink));
    EXPECT_EQ(numbered.port.openedNumber, 5);
    EXPECT_TRUE(numbered.port.openedName.empty());
    EXPECT_EQ(numbered.settings.values["Port/Port no"], "5");

    Go missing({}, false);
    const UnitLink missingLink{missing.port, missing.messages, nullptr, test::kShortTiming};
    EXPECT_FALSE(
        ProgramUnit(missing.design, std::string("/dev/ttyUSB7"), missing.settings, missingLink));
    EXPECT_TRUE(missing.settings.values.empty()) << "a port that did not open is not remembered";
}

TEST(UnitProgramming, EveryFailureIsToldInOrderAndReleasesThePort) {
    Go refused;
    refused.design.Reset();
    EXPECT_FALSE(refused.Run(1));
    EXPECT_FALSE(refused.messages.shown.empty());
    EXPECT_FALSE(refused.port.Touched());
    EXPECT_TRUE(refused.settings.values.empty());

    Go noPort({}, false);
    EXPECT_FALSE(noPort.Run(7));
    EXPECT_EQ(Shown(noPort.messages), Texts{"Failed to open COM port ! "});
    EXPECT_TRUE(noPort.settings.values.empty());

    Go deniedPort({}, false);
    deniedPort.port.whyNotOpen = "/dev/ttyUSB0: Permission denied.";
    EXPECT_FALSE(deniedPort.Run(1));
    EXPECT_EQ(Shown(deniedPort.messages),
              Texts{"Failed to open COM port ! \n\n/dev/ttyUSB0: Permission denied."})
        << "the port's reason follows the message";

    Go noUnit(UnitFaults{.silent = true});
    EXPECT_FALSE(noUnit.Run(2));
    EXPECT_EQ(Shown(noUnit.messages), Texts{"There is no HMQ27 connected to the COM port ! "});
    EXPECT_EQ(noUnit.messages.shown[0].caption, "Kestrelvane");
    EXPECT_EQ(noUnit.messages.shown[0].icon, IMessageBox::Icon::Error);
    EXPECT_EQ(noUnit.settings.GetInt("Port", "Port no", 0), 2);
    EXPECT_FALSE(noUnit.port.IsOpen());

    Go broken(UnitFaults{.packet = 3, .lostAcks = 4});
    EXPECT_FALSE(broken.Run(2));
    EXPECT_EQ(Shown(broken.messages),
              Texts{"Failed to program the HMQ27 ! \n\nThe unit stopped answering after 3 of 20 "
                    "blocks. Check the cable, that the unit is powered, and that the chosen port "
                    "is the unit's, then program it again."})
        << "how far it got and what to check";
    EXPECT_EQ(broken.messages.shown[0].caption, "Kestrelvane (HMQ27)");
    EXPECT_EQ(broken.port.firmware.commands.back(), 0x82);
    EXPECT_FALSE(broken.port.IsOpen());
}

TEST(UnitProgramming, DialogStartsWithTheGivenOrTheRememberedPort) {
    MemorySettings settings;
    EXPECT_EQ(ProgrammingPortNumber(0, settings), 1);
    settings.SetInt("Port", "Port no", -1);
    EXPECT_EQ(ProgrammingPortNumber(4, settings), 4);
    EXPECT_EQ(ProgrammingPortNumber(0, settings), -1);
}

TEST(UnitProgramming, PortNamesOfEarlierVersionsAreNumbers) {
    EXPECT_EQ(PortNumberOf("COM3"), 3);
    EXPECT_EQ(PortNumberOf(" COM1"), 1) << "the entries of the old list began with a blank";
    EXPECT_EQ(PortNumberOf("com12 "), 12);
    EXPECT_EQ(PortNumberOf("COM255"), 255);
    for (const char* other : {"COM0", "COM", "COM1234", "COM3x", "/dev/ttyS3", "XCOM3", ""}) {
        EXPECT_EQ(PortNumberOf(other), std::nullopt) << other;
    }
}

// Earlier versions keep only a number, and may still run beside this one.
TEST(UnitProgramming, APortIsKeptWithItsNumberForEarlierVersions) {
    MemorySettings settings;
    EXPECT_EQ(ReadPort(settings, kDialogPort), "") << "nothing kept";
    settings.SetInt("Port", "Port no", 4);
    EXPECT_EQ(ReadPort(settings, kDialogPort), "COM4");

    WritePort(settings, kDialogPort, "/dev/ttyUSB0");
    EXPECT_EQ(settings.values["Port/Port no"], "0");
    EXPECT_EQ(ReadPort(settings, kDialogPort), "/dev/ttyUSB0");
    settings.SetInt("Port", "Port no", 2);
    EXPECT_EQ(ReadPort(settings, kDialogPort), "COM2") << "an earlier version chose since";

    WritePort(settings, kDialogPort, "COM7");
    EXPECT_EQ(settings.values["Port/Port no"], "7");
    EXPECT_EQ(ReadPort(settings, kDialogPort), "COM7");
    settings.SetInt("Port", "Port no", -1);
    EXPECT_EQ(ReadPort(settings, kDialogPort), "") << "file mode";
}

TEST(UnitProgramming, FileModeWritesTheCfgFileOrSaysWhyNot) {
    test::TempDir dir;
    Go go;
    go.design.SetTitle("Desk");
    ASSERT_TRUE(WriteUnitCfgFile(go.design, dir / "desk.cfg", -1, go.settings, go.messages));
    EXPECT_EQ(go.settings.GetInt("Port", "Port no", 0), -1);
    CTAS3103 tas;
    ASSERT_EQ(tas.WriteCfgFile(dir / "direct.cfg", "Desk", tas.BuildImage(go.design)), "");
    EXPECT_EQ(test::ReadBytes(dir / "desk.cfg"), test::ReadBytes(dir / "direct.cfg"));
    EXPECT_TRUE(go.messages.shown.empty());

    EXPECT_FALSE(
        WriteUnitCfgFile(go.design, dir / "missing" / "x.cfg", -1, go.settings, go.messages));
    EXPECT_EQ(Shown(go.messages), Texts{"Couldn't create the file ! \n\nThe folder \"" +
                                        (dir / "missing").string() + "\" does not exist."});

    Go refused;
    refused.design.Reset();
    EXPECT_FALSE(
        WriteUnitCfgFile(refused.design, dir / "none.cfg", -1, refused.settings, refused.messages));
    EXPECT_FALSE(refused.messages.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "none.cfg"));
}

} // namespace
} // namespace kv
