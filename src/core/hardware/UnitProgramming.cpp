#include "hardware/UnitProgramming.h"

#include "archive/FileProblems.h"
#include "model/CConfiguration.h"
#include "ui/IMessageBox.h"
#include "ui/ISettings.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace kv {
namespace {

constexpr const char* kOutOfMemory = "Out of memory ! \n\nClose some programs...";
constexpr const char* kOpenFailed = "Failed to open COM port ! ";
constexpr const char* kProgramFailed = "Failed to program the HMQ27 ! ";
constexpr const char* kNoUnit = "There is no HMQ27 connected to the COM port ! ";
constexpr const char* kNoUnitCaption = "Kestrelvane";
constexpr int kFirstPort = 1;
constexpr std::string_view kComPrefix = "COM";
// COM255 is the highest port Windows names.
constexpr std::size_t kMaxPortDigits = 3;

// What went wrong with a transfer that failed, how far it got and what the
// user can check.
std::string WhyNotProgrammed(const ProgramResult& result) {
    const std::string sofar = std::to_string(result.blocksAcknowledged) + " of " +
                              std::to_string(result.blocks) + " blocks";
    switch (result.outcome) {
    case ProgramOutcome::ImageRefused:
        return "The EEPROM image does not fit the unit, so nothing was sent.";
    case ProgramOutcome::NotStarted:
        return "The unit answered but did not accept the start of the transfer. Switch the unit "
               "off and on again, then program it again.";
    case ProgramOutcome::PortFailed:
        return "The connection through the port was lost after " + sofar +
               ". Check the cable (a USB adapter may have come loose) and the port, then program "
               "the unit again.";
    case ProgramOutcome::BlockNotAcknowledged:
        return "The unit stopped answering after " + sofar +
               ". Check the cable, that the unit is powered, and that the chosen port is the "
               "unit's, then program it again.";
    case ProgramOutcome::EndNotAcknowledged:
        return "All " + std::to_string(result.blocks) +
               " blocks were acknowledged, but the unit did not confirm the end of the transfer. "
               "Program it again to be sure it holds this design.";
    case ProgramOutcome::Programmed:
    case ProgramOutcome::NoUnit:
        break;
    }
    return {};
}

// One message for a transfer that failed, however it failed.
void TellFailure(const ProgramResult& result, IMessageBox& messages) {
    switch (result.outcome) {
    case ProgramOutcome::Programmed:
        return;
    case ProgramOutcome::NoUnit:
        messages.Show(kNoUnit, kNoUnitCaption, IMessageBox::Icon::Error);
        return;
    case ProgramOutcome::ImageRefused:
    case ProgramOutcome::NotStarted:
    case ProgramOutcome::PortFailed:
    case ProgramOutcome::BlockNotAcknowledged:
    case ProgramOutcome::EndNotAcknowledged:
        break;
    }
    messages.ShowError(WithReason(kProgramFailed, WhyNotProgrammed(result)));
}

bool ProgramThrough(const CConfiguration& design, const UnitLink& link,
                    const std::function<bool(CMC24LC64&)>& openPort) {
    CTAS3103 tas;
    const CTAS3103::Image image = BuildUnitImage(design, tas, link.messages);
    if (image.empty()) {
        return false;
    }
    // Closes the port when it goes, whatever happened.
    CMC24LC64 programmer(link.port, link.timing);
    if (!openPort(programmer)) {
        const std::string why = link.port.WhyNotOpen();
        link.messages.ShowError(why.empty() ? kOpenFailed : WithReason(kOpenFailed, why));
        return false;
    }
    const ProgramResult result = programmer.Program(image, link.progress);
    TellFailure(result, link.messages);
    return result.Succeeded();
}

} // namespace

int ProgrammingPortNumber(int given, const ISettings& settings) {
    return given > 0 ? given : settings.GetInt(kPortSection, kPortNumberName, kFirstPort);
}

std::optional<int> PortNumberOf(std::string_view port) {
    const auto blank = [](char c) { return c == ' '; };
    while (!port.empty() && blank(port.front())) {
        port.remove_prefix(1);
    }
    while (!port.empty() && blank(port.back())) {
        port.remove_suffix(1);
    }
    if (port.size() <= kComPrefix.size() || port.size() > kComPrefix.size() + kMaxPortDigits ||
        !std::equal(kComPrefix.begin(), kComPrefix.end(), port.begin(), [](char a, char b) {
            return a == std::toupper(static_cast<unsigned char>(b));
        })) {
        return std::nullopt;
    }
    int number = 0;
    for (const char c : port.substr(kComPrefix.size())) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    return number >= kFirstPort ? std::optional<int>(number) : std::nullopt;
}

// A port and its number are written together; an earlier version writes
// only the number, which then no longer matches the port.
std::string ReadPort(const ISettings& settings, const PortSettingNames& names) {
    const int number = settings.GetInt(names.section, names.number, 0);
    const std::string port = settings.GetString(names.section, names.port, "");
    if (!port.empty() && PortNumberOf(port).value_or(0) == number) {
        return port;
    }
    return number >= kFirstPort ? std::string(kComPrefix) + std::to_string(number) : std::string();
}

void WritePort(ISettings& settings, const PortSettingNames& names, const std::string& port) {
    settings.SetInt(names.section, names.number, PortNumberOf(port).value_or(0));
    settings.SetString(names.section, names.port, port);
}

CTAS3103::Image BuildUnitImage(const CConfiguration& design, CTAS3103& tas, IMessageBox& messages) {
    const std::vector<std::string> problems = CTAS3103::CheckConfiguration(design);
    for (const std::string& problem : problems) {
        messages.ShowError(problem);
    }
    if (!problems.empty()) {
        return {};
    }
    CTAS3103::Image image = tas.BuildImage(design);
    if (image.empty()) {
        messages.ShowError(kOutOfMemory);
    }
    return image;
}

bool ProgramUnit(const CConfiguration& design, int portNumber, ISettings& settings,
                 const UnitLink& link) {
    return ProgramUnit(design, std::string(kComPrefix) + std::to_string(portNumber), settings,
                       link);
}

bool ProgramUnit(const CConfiguration& design, const std::string& portName, const UnitLink& link) {
    return ProgramThrough(design, link,
                          [&](CMC24LC64& programmer) { return programmer.OpenByName(portName); });
}

bool ProgramUnit(const CConfiguration& design, const std::string& chosenPort, ISettings& settings,
                 const UnitLink& link) {
    const std::optional<int> number = PortNumberOf(chosenPort);
    return ProgramThrough(design, link, [&](CMC24LC64& programmer) {
        if (!(number ? programmer.Open(*number) : programmer.OpenByName(chosenPort))) {
            return false;
        }
        WritePort(settings, kDialogPort, chosenPort);
        return true;
    });
}

bool WriteUnitCfgFile(const CConfiguration& design, const std::filesystem::path& file,
                      int portNumber, ISettings& settings, IMessageBox& messages) {
    settings.SetInt(kPortSection, kPortNumberName, portNumber);
    CTAS3103 tas;
    const CTAS3103::Image image = BuildUnitImage(design, tas, messages);
    if (image.empty()) {
        return false;
    }
    const std::string problem = tas.WriteCfgFile(file, design.title, image);
    if (!problem.empty()) {
        messages.ShowError(WithReason(kCannotCreateFile, problem));
        return false;
    }
    return true;
}

} // namespace kv
