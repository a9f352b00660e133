#pragma once

#include <QString>
#include <vector>

namespace kv {

// What the system tells of one serial port.
struct PortDescription {
    // What opens it: "/dev/ttyUSB0", "COM3".
    QString device;
    // "FT232R USB UART"; may be empty.
    QString description;
    // An adapter on USB, where the unit is most likely to be.
    bool usb = false;
};

// One entry of a port list: the device and the text that shows it.
struct PortEntry {
    QString device;
    QString text;
};

// The ports in the order a user looks for the unit: USB adapters first, then
// the others, each group by name with numbers in their order (ttyS2 before
// ttyS10). A port with a description shows as "FT232R USB UART
// (/dev/ttyUSB0)", one without as its device.
std::vector<PortEntry> OrderedPortEntries(std::vector<PortDescription> ports);

// The serial ports the system has now, as OrderedPortEntries lists them.
std::vector<PortEntry> AvailablePortEntries();

} // namespace kv
