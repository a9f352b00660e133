#pragma once

#include "hardware/CMC24LC64.h"
#include "hardware/CTAS3103.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

class CConfiguration;
class IMessageBox;
class IProgressBar;
class ISerialPort;
class ISettings;

// The ports a user picks by number: COM1 to COM8, or the first eight serial
// ports the system lists.
inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 8;

// Where the programming dialog remembers its port: "Port no" holds a port
// number, 0 for a port that has none, or a negative number for file mode;
// "Serial Port" the port as the user chose or typed it ("COM3",
// "/dev/ttyUSB0").
inline constexpr const char* kPortSection = "Port";
inline constexpr const char* kPortNumberName = "Port no";
inline constexpr const char* kPortDeviceName = "Serial Port";

// What one programming run talks to. The caller owns the port; the run
// leaves it closed on every path.
struct UnitLink {
    ISerialPort& port;
    IMessageBox& messages;
    // May be null: no progress shown.
    IProgressBar* progress = nullptr;
    MC24LC64Timing timing = {};
};

// The port the programming dialog starts with: the one it was given, or,
// when that is not positive, the one it remembered (COM1 at first).
int ProgrammingPortNumber(int given, const ISettings& settings);

// The number of a port written "COMn" (n from 1, any case, blanks around
// it), as settings and the port lists of earlier versions wrote ports;
// nothing for any other name.
std::optional<int> PortNumberOf(std::string_view port);

// A port kept in two values of a settings section: its number, as earlier
// versions keep it (0 for a port that has none), and the port itself.
struct PortSettingNames {
    const char* section;
    const char* number;
    const char* port;
};
inline constexpr PortSettingNames kDialogPort{kPortSection, kPortNumberName, kPortDeviceName};

// The port kept under names; "COMn" when only the number is there, or when
// an earlier version has changed the number since; empty when neither holds
// a port (a number below 1: none, or the dialog's file mode).
std::string ReadPort(const ISettings& settings, const PortSettingNames& names);
void WritePort(ISettings& settings, const PortSettingNames& names, const std::string& port);

// The design's TAS3103 image, built by tas; empty after the user was told
// why: every hardware problem of the design, or the memory running out.
CTAS3103::Image BuildUnitImage(const CConfiguration& design, CTAS3103& tas, IMessageBox& messages);

// "&Go" of the programming dialog for port n (COMn, or the n-th port the
// system lists): builds the image, opens the port, remembers n, programs the
// unit. True when the unit acknowledged the whole image; a failure has been
// shown to the user in one message.
bool ProgramUnit(const CConfiguration& design, int portNumber, ISettings& settings,
                 const UnitLink& link);
// The same for a port given by its system name ("/dev/ttyUSB0", "COM3"),
// which the dialog has no number for and does not remember.
bool ProgramUnit(const CConfiguration& design, const std::string& portName, const UnitLink& link);
// The same for the port the user chose or typed in the dialog: "COMn" is
// port n as above, anything else a system name; once it opens, it is the
// port the dialog remembers.
bool ProgramUnit(const CConfiguration& design, const std::string& chosenPort, ISettings& settings,
                 const UnitLink& link);

// "&Go" in file mode once the user has chosen the file: remembers the port
// number and writes the image as a TAS3103 configuration file.
bool WriteUnitCfgFile(const CConfiguration& design, const std::filesystem::path& file,
                      int portNumber, ISettings& settings, IMessageBox& messages);

} // namespace kv
