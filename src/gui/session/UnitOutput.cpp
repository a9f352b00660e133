#include "session/UnitOutput.h"

#include "hardware/HardwareCheck.h"
#include "hardware/UnitProgramming.h"
#include "model/CConfiguration.h"
#include "session/FileDialogs.h"
#include "ui/IMessageBox.h"

namespace kv {

// What to change comes first; the exact reasons follow for whoever wants
// the numbers.
bool CheckProgrammable(const CConfiguration& design, IMessageBox& messages) {
    const std::vector<HardwareProblem> problems = HardwareCheck(design).Run();
    if (problems.empty()) {
        return true;
    }
    std::string text = "The HMQ27 cannot run this design as it stands, so nothing was sent or "
                       "written:\n";
    for (const HardwareProblem& problem : problems) {
        text += "\n- " + problem.advice;
    }
    text += "\n\nDetails:";
    for (const HardwareProblem& problem : problems) {
        text += "\n" + problem.text;
    }
    messages.ShowError(text);
    return false;
}

std::optional<std::filesystem::path> WriteCfgFileChosenByUser(const CConfiguration& design,
                                                              IFileChooser& files,
                                                              ISettings& settings,
                                                              IMessageBox& messages) {
    // Refused before the user picks a name for a file that will not be written.
    if (!CheckProgrammable(design, messages)) {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> path = files.ChooseFileToSave(CfgFileDialog(design.title));
    if (path && !WriteUnitCfgFile(design, *path, kCfgFilePortNumber, settings, messages)) {
        return std::nullopt;
    }
    return path;
}

} // namespace kv
