#pragma once

#include "hardware/CMC24LC64.h"
#include "hardware/CTAS3103.h"

#include <filesystem>
#include <string>

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

// Where the programming dialog remembers its port: 1-8, or negative for
// file mode.
inline constexpr const char* kPortSection = "Port";
inline constexpr const char* kPortNumberName = "Port no";

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

// "&Go" in file mode once the user has chosen the file: remembers the port
// number and writes the image as a TAS3103 configuration file.
bool WriteUnitCfgFile(const CConfiguration& design, const std::filesystem::path& file,
                      int portNumber, ISettings& settings, IMessageBox& messages);

} // namespace kv
