#include "hardware/UnitProgramming.h"

#include "archive/FileProblems.h"
#include "model/CConfiguration.h"
#include "ui/IMessageBox.h"
#include "ui/ISettings.h"

#include <functional>

namespace kv {
namespace {

constexpr const char* kOutOfMemory = "Out of memory ! \n\nClose some programs...";
constexpr const char* kOpenFailed = "Failed to open COM port ! ";
constexpr const char* kProgramFailed = "Failed to program the HMQ27 ! ";
constexpr const char* kNoUnit = "There is no HMQ27 connected to the COM port ! ";
constexpr const char* kNoUnitCaption = "Kestrelvane";
constexpr int kFirstPort = 1;

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
    return ProgramThrough(design, link, [&](CMC24LC64& programmer) {
        if (!programmer.Open(portNumber)) {
            return false;
        }
        settings.SetInt(kPortSection, kPortNumberName, portNumber);
        return true;
    });
}

bool ProgramUnit(const CConfiguration& design, const std::string& portName, const UnitLink& link) {
    return ProgramThrough(design, link,
                          [&](CMC24LC64& programmer) { return programmer.OpenByName(portName); });
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
