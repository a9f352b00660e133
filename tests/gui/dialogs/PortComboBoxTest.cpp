#include "dialogs/PortComboBox.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace kv {
namespace {

// A system whose ports come and go between two looks at the list.
class PortBox : public ::testing::Test {
protected:
    std::vector<PortEntry> ports;
    PortComboBox box{nullptr, [this] { return ports; }};

    QStringList Texts() const {
        QStringList texts;
        for (int i = 0; i < box.count(); ++i) {
            texts.push_back(box.itemText(i));
        }
        return texts;
    }
};

TEST_F(PortBox, OpeningTheListReadsThePortsAgainAndKeepsTheChoice) {
    ports = {{"/dev/ttyS0", "/dev/ttyS0"}};
    box.Refresh();
    box.SetChoice(QStringLiteral("/dev/ttyS0"));
    const QSignalSpy changes(&box, &QComboBox::currentTextChanged);

    // An adapter plugged in while the window was open.
    ports = {{"/dev/ttyUSB0", "FT232R USB UART (/dev/ttyUSB0)"}, {"/dev/ttyS0", "/dev/ttyS0"}};
    box.showPopup();
    EXPECT_EQ(Texts(), (QStringList{"FT232R USB UART (/dev/ttyUSB0)", "/dev/ttyS0"}));
    EXPECT_EQ(box.Choice(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(box.currentText(), QStringLiteral("/dev/ttyS0"));
    box.hidePopup();

    EXPECT_EQ(changes.count(), 0) << "a refill is no change of port";
    box.setCurrentIndex(0);
    EXPECT_EQ(box.Choice(), QStringLiteral("/dev/ttyUSB0")) << "the device, not the text";

    // Unplugged: the port stays chosen, written as it is.
    ports = {{"/dev/ttyS0", "/dev/ttyS0"}};
    box.Refresh();
    EXPECT_EQ(box.Choice(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(box.currentText(), QStringLiteral("/dev/ttyUSB0"));
}

TEST_F(PortBox, APortCanBeTypedOrKeptFromEarlierVersions) {
    const QSignalSpy changes(&box, &QComboBox::currentTextChanged);
    ports = {{"/dev/ttyUSB0", "USB serial adapter (/dev/ttyUSB0)"}};
    box.Refresh();
    EXPECT_EQ(box.Choice(), QStringLiteral("/dev/ttyUSB0")) << "nothing chosen: the first port";
    EXPECT_EQ(changes.count(), 1) << "the first port listed became the choice";

    box.SetChoice(QStringLiteral("COM3"));
    EXPECT_EQ(box.currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(box.Choice(), QStringLiteral("COM3"));

    box.lineEdit()->selectAll();
    QTest::keyClicks(box.lineEdit(), QStringLiteral(" /dev/pts/7 "));
    EXPECT_EQ(box.Choice(), QStringLiteral("/dev/pts/7"));
    // No completion turns a typed port into a listed one.
    box.lineEdit()->selectAll();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("/dev/ttyUSB"));
    EXPECT_EQ(box.Choice(), QStringLiteral("/dev/ttyUSB"));
    box.Refresh();
    EXPECT_EQ(box.currentText(), QStringLiteral("/dev/ttyUSB"));
    EXPECT_EQ(box.count(), 1) << "a typed port is not added to the list";
}

} // namespace
} // namespace kv
